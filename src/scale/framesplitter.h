#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <deque>

// Splits what arrives from the scale into frames for the receive handler. The frame
// has no start mark; two rules find it:
// - A burst followed by quiet (no byte for idleGapMs) is one frame, whatever its
//   length; the handler cuts it (first byte and last three).
// - A continuous stream is split by the frames' structure: the scale sends 0..3 in
//   byte 2 and 0..15 in byte 4, so one byte phase fits a run of frames where the
//   others fail. A burst that begins after quiet begins with a frame: two fitting
//   frames settle its phase. A stream joined in the middle needs three, and every
//   other phase must have failed meanwhile; while it cannot tell (an empty scale fits
//   two phases), nothing is reported, unless quiet ends it: then its last byte ends a
//   frame. Once the phase is settled, the run's first frame and the frames that
//   settled it are ready at once, and every later frame as soon as its fourth byte is
//   in. A frame that does not fit drops the phase.
// Memory is bounded whatever arrives: the latest bytes of a burst, the latest 1024
// ready frames.
class FrameSplitter
{
public:
    static constexpr int idleGapMs = 4; // 3.5 character times at 9600 Bd, 10 bits each
    // A stream's frame cut short waits this long for its rest: a reader may get the
    // bytes in chunks (a USB adapter hands them over every few milliseconds).
    static constexpr int streamPauseMs = 100;
    // Of a burst no more is held: its first byte and the latest (the cut needs no more).
    static constexpr qsizetype maxBurstBytes = 128;

    // Bytes in the order of arrival; msSincePrevious is the time since the bytes before
    // as the reader saw them (a late reader sees a pause the line did not have).
    void receive(QByteArrayView bytes, qint64 msSincePrevious);
    // How long the line must be quiet for quietness to end something now: idleGapMs
    // outside a stream, streamPauseMs inside a frame of one or while fitting frames
    // leave its phase unclear, 0 when nothing waits.
    int quietToAwaitMs() const;
    // The line has been quiet that long: the burst ends (a stream's unfinished frame is
    // dropped) and the next byte starts a frame.
    void lineQuiet();
    // Forgets everything; the next byte may fall anywhere in a frame (line opened or flushed).
    void restart();

    // Bytes still to come until the frame under way of a settled stream is whole: 1..4
    // (4 right after a frame); 0 while no stream's phase is settled.
    int bytesToNextFrame() const;

    qsizetype framesReady() const { return static_cast<qsizetype>(m_ready.size()); }
    // Bytes of the next ready frame; without one, of the burst so far outside a stream.
    qsizetype bytesWaiting() const;
    // Takes the next ready frame; without one, the burst so far (which then ends).
    QByteArray take();
    quint64 framesTaken() const { return m_taken; }
    void dropFrame(); // the next ready frame, untaken

private:
    void push(char byte);
    void trySettlePhase(int phase);
    void reportRun(int phase);
    void makeReady(const QByteArray &frame);
    void endBurst(bool nextStartsFrame);
    bool atFrameBoundary() const;

    QByteArray m_burst;                   // first byte and the latest bytes of the burst
    qint64 m_position = 0;                // bytes in the burst
    std::array<int, 4> m_runs{};          // fitting frames in a row, per start offset mod 4
    std::array<QByteArray, 4> m_runStart; // first frame of each run
    int m_phase = -1;                     // start offset mod 4 of the stream's frames, or -1
    bool m_stream = false;                // the burst has been split as a stream
    bool m_startsFrame = false;           // the burst began after quiet
    std::deque<QByteArray> m_ready;
    quint64 m_taken = 0;
};
