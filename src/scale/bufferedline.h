#pragma once

#include "framesplitter.h"
#include "serialline.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>

// Holds what a line received and reports each frame as waiting once FrameSplitter has
// found it: a burst when the line has gone quiet, a frame of a continuous stream as
// soon as it is whole. Quiet is only declared when the device holds no unread byte,
// so a reader kept busy elsewhere does not cut a frame.
class BufferedLine : public SerialLine
{
    Q_OBJECT
public:
    static constexpr int idleGapMs = FrameSplitter::idleGapMs;

    explicit BufferedLine(QObject *parent = nullptr);

    qint64 bytesWaiting() const override;
    QByteArray input() override;
    // While frames come, every interval (ten minutes) the support log gets the count of
    // frames taken, of those not 4 bytes long (cut to size by the handler) and of bytes
    // received but never taken: a bad cable or a wrong baud rate shows there.
    void setCountsInterval(std::chrono::milliseconds interval) { m_countsInterval = interval; }

    // Drops what is waiting, what the device still holds and the stream's phase. Within
    // a handler of dataWaiting() it drops nothing: the handler took the frame reported,
    // and later frames of a stream that arrived with it must not be lost.
    void discard() override;

protected:
    // Bytes from the device.
    void received(const QByteArray &bytes);
    // Drops what the device itself still holds; called by discard().
    virtual void dropDeviceInput() {}
    // Whether the device holds bytes not yet read.
    virtual bool deviceHoldsInput() const { return false; }
    // Forgets everything received so far, e.g. when the device went away.
    void forgetReceived();
    // Bytes still to come until the next frame of a settled stream is whole, 0 outside one.
    int bytesToNextFrame() const { return m_splitter.bytesToNextFrame(); }
    // Called when received bytes have been split, before their frames are reported (whose
    // handlers may run event loops of their own).
    virtual void bytesSplit() {}

private:
    void watchForQuiet();
    void checkQuiet();
    void reportWaiting();
    void count(const QByteArray &frame);

    FrameSplitter m_splitter;
    QElapsedTimer m_sinceBytes;
    QTimer m_quiet;
    int m_reporting = 0; // dataWaiting() handlers running

    struct Counts
    {
        quint64 frames = 0;
        quint64 cut = 0;
        quint64 bytesReceived = 0;
        quint64 bytesTaken = 0;
    } m_counts;
    QElapsedTimer m_countsSince;
    std::chrono::milliseconds m_countsInterval = std::chrono::minutes(10);
};
