#include "framesplitter.h"

#include <algorithm>

namespace {

// Four seconds of the stream, more than a device buffers: a reader that was away that
// long still gets every frame; one that stopped taking gets the latest.
constexpr std::size_t readyFramesKept = 1024;
constexpr int framesToSettleAfterQuiet = 2;
constexpr int framesToSettleMidStream = 3;
constexpr int longRun = 1 << 20; // runs saturate here; only short ones are compared

bool fitsScale(const char *frame)
{
    return static_cast<quint8>(frame[1]) <= 3 && static_cast<quint8>(frame[3]) <= 15;
}

} // namespace

void FrameSplitter::receive(QByteArrayView bytes, qint64 msSincePrevious)
{
    if (bytes.isEmpty())
        return;
    // A pause after a whole frame of a stream may be its end: the next byte then starts
    // a frame either way. A pause inside a frame is waited out (quietToAwaitMs).
    if (m_phase >= 0 && msSincePrevious >= idleGapMs && atFrameBoundary())
        lineQuiet();
    for (const char byte : bytes)
        push(byte);
}

void FrameSplitter::lineQuiet()
{
    if (m_phase < 0 && !m_stream && !m_burst.isEmpty()) {
        // Quiet follows a whole frame: a stream joined in the middle whose phase was
        // still unclear is settled by its end; anything else is one frame.
        const int endPhase = static_cast<int>(m_position % 4);
        if (m_position >= 8 && m_runs[endPhase] >= framesToSettleAfterQuiet)
            reportRun(endPhase);
        else
            makeReady(m_burst);
    }
    endBurst(true);
}

void FrameSplitter::restart()
{
    m_ready.clear();
    endBurst(false);
}

int FrameSplitter::quietToAwaitMs() const
{
    if (m_phase >= 0)
        return atFrameBoundary() ? 0 : streamPauseMs;
    // Frames that fit in a row make a stream even while its phase is unclear (an empty
    // scale fits two phases): a short pause there is a reader's or a writer's hiccup
    // more often than its end, and ending it there would cut a frame in the wrong place.
    if (*std::max_element(m_runs.begin(), m_runs.end()) >= framesToSettleAfterQuiet)
        return streamPauseMs;
    return !m_burst.isEmpty() || !m_startsFrame ? idleGapMs : 0;
}

int FrameSplitter::bytesToNextFrame() const
{
    if (m_phase < 0)
        return 0;
    return 4 - static_cast<int>((m_position - m_phase) % 4);
}

qsizetype FrameSplitter::bytesWaiting() const
{
    if (!m_ready.empty())
        return m_ready.front().size();
    return m_phase < 0 && !m_stream ? m_burst.size() : 0;
}

QByteArray FrameSplitter::take()
{
    if (!m_ready.empty()) {
        QByteArray frame = std::move(m_ready.front());
        m_ready.pop_front();
        ++m_taken;
        return frame;
    }
    if (bytesWaiting() == 0)
        return {};
    QByteArray burst = m_burst;
    endBurst(false);
    ++m_taken;
    return burst;
}

void FrameSplitter::dropFrame()
{
    if (!m_ready.empty())
        m_ready.pop_front();
}

void FrameSplitter::push(char byte)
{
    m_burst.append(byte);
    if (m_burst.size() > maxBurstBytes) // trimmed in steps, not byte by byte
        m_burst.remove(1, m_burst.size() - maxBurstBytes / 2);
    if (++m_position < 4)
        return;

    const int phase = static_cast<int>((m_position - 4) % 4);
    const char *frame = m_burst.constData() + m_burst.size() - 4;
    const bool fits = fitsScale(frame);
    int &run = m_runs[phase];
    if (fits) {
        if (run == 0)
            m_runStart[phase] = QByteArray(frame, 4);
        run = std::min(run + 1, longRun);
    } else {
        run = 0;
    }

    if (m_phase == phase) {
        if (fits) {
            makeReady(QByteArray(frame, 4));
            return;
        }
        m_phase = -1; // a byte lost or garbled: find the phase again
    } else if (m_phase < 0) {
        trySettlePhase(phase);
    }
}

void FrameSplitter::trySettlePhase(int phase)
{
    const int run = m_runs[phase];
    const bool fromStart = m_startsFrame && phase == 0 && run >= framesToSettleAfterQuiet &&
                           static_cast<qint64>(run) * 4 == m_position;
    // The other phases each had framesToSettleMidStream - 1 frames within this run; one
    // of them that fit all of those is not ruled out.
    bool othersFailed = true;
    for (int other = 0; other < 4; ++other)
        othersFailed =
            othersFailed && (other == phase || m_runs[other] < framesToSettleMidStream - 1);
    if (!fromStart && !(run >= framesToSettleMidStream && othersFailed))
        return;

    m_phase = phase;
    reportRun(phase);
}

void FrameSplitter::reportRun(int phase)
{
    m_stream = true;
    const int run = m_runs[phase];
    const int latest = std::min(run, framesToSettleMidStream);
    if (run > latest)
        makeReady(m_runStart[phase]); // the first frame after a long unclear stretch
    for (int i = latest; i > 0; --i)
        makeReady(m_burst.sliced(m_burst.size() - 4 * i, 4));
}

void FrameSplitter::makeReady(const QByteArray &frame)
{
    m_ready.push_back(frame);
    if (m_ready.size() > readyFramesKept)
        m_ready.pop_front();
}

void FrameSplitter::endBurst(bool nextStartsFrame)
{
    m_burst.truncate(0);
    m_position = 0;
    m_runs.fill(0);
    m_phase = -1;
    m_stream = false;
    m_startsFrame = nextStartsFrame;
}

bool FrameSplitter::atFrameBoundary() const
{
    return (m_position - m_phase) % 4 == 0;
}
