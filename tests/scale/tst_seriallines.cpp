#include "bytes.h"
#include "pseudoterminal.h"

#include "common/failure.h"
#include "scale/framesplitter.h"
#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"
#include "scale/seriallinefactory.h"
#include "scale/serialportline.h"
#include "scale/simulatedline.h"

#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>

#include <sys/resource.h>

using namespace std::chrono_literals;

namespace {

// What a handler would take on each dataWaiting(): everything waiting, then a discard.
struct Taker
{
    explicit Taker(SerialLine &line) : m_line(line)
    {
        QObject::connect(&line, &SerialLine::dataWaiting, [this] {
            taken << m_line.input();
            m_line.discard();
        });
    }
    QList<QByteArray> taken;

private:
    SerialLine &m_line;
};

// Runs the event loop without the sleeps of QTest::qWait, so that bytes written
// meanwhile reach the line as they would from a cable.
void runEventLoop(std::chrono::milliseconds period)
{
    QEventLoop loop;
    QTimer::singleShot(period, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

long wakeUpsOfThisThread()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

} // namespace

class TestSerialLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void frameIsWaitingWholeAfterTheLineGoesQuiet_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<int>("pauseUs");

        QTest::newRow("in one write") << QList<QByteArray>{bytes({16, 2, 200, 0})} << 0;
        QTest::newRow("2 + 2 bytes, 1 ms apart")
            << QList<QByteArray>{bytes({16, 2}), bytes({200, 0})} << 1000;
        QTest::newRow("byte by byte at 9600 Bd")
            << QList<QByteArray>{bytes({16}), bytes({2}), bytes({200}), bytes({0})} << 1042;
        QTest::newRow("five bytes 1 ms apart: one burst")
            << QList<QByteArray>{bytes({10}), bytes({20}), bytes({30}), bytes({40}), bytes({50})}
            << 1042;
        QTest::newRow("three bytes 1 ms apart: one burst")
            << QList<QByteArray>{bytes({10}), bytes({20}), bytes({30})} << 1042;
        QTest::newRow("control characters are data")
            << QList<QByteArray>{bytes({0x0D, 0x11}), bytes({0x13, 0x0A})} << 1000;
        QTest::newRow("0x00 and 0xFF are data")
            << QList<QByteArray>{bytes({0xFF, 0x00}), bytes({0xFF, 0x00})} << 1000;
    }
    void frameIsWaitingWholeAfterTheLineGoesQuiet()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(int, pauseUs);

        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        line.open();
        Taker taker(line);

        std::thread writer([&] {
            scale.writePaced({pieces.begin(), pieces.end()}, std::chrono::microseconds(pauseUs));
        });
        runEventLoop(100ms);
        writer.join();
        QCOMPARE(taker.taken, QList<QByteArray>{pieces.join()});
    }

    void framesApartArriveApart()
    {
        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        line.open();
        Taker taker(line);

        const QByteArray first = encodeReading(1500, 100);
        const QByteArray second = encodeReading(1800, 2000);
        std::thread writer([&] { scale.writePaced({first, second}, 50ms); });
        runEventLoop(150ms);
        writer.join();
        QCOMPARE(taker.taken, (QList<QByteArray>{first, second}));
    }

    void streamAtFullRateGivesEveryFrame_data()
    {
        QTest::addColumn<bool>("joinRunningStream");
        QTest::addColumn<int>("emptyFrames");    // first, while two phases fit the frames
        QTest::addColumn<int>("stallAfterByte"); // the writer pauses 30 ms there, or -1
        QTest::newRow("line open before the stream") << false << 0 << -1;
        QTest::newRow("line opened while the stream runs") << true << 0 << -1;
        QTest::newRow("joined while empty, the writer stalling inside a frame")
            << true << 240 << 150 * 4 + 1;
    }
    void streamAtFullRateGivesEveryFrame()
    {
        QFETCH(bool, joinRunningStream);
        QFETCH(int, emptyFrames);
        QFETCH(int, stallAfterByte);
        QList<QByteArray> frames;
        for (int i = 0; i < 480; ++i) // two seconds
            frames << encodeReading(1500 + i, i < emptyFrames ? 149 : 2000 + i);

        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        Taker taker(line);
        auto openLikeTheWindow = [&] {
            line.open();
            line.discard();
        };
        if (!joinRunningStream) {
            openLikeTheWindow();
            runEventLoop(20ms);
        }
        std::thread writer([&] {
            const QByteArray stream = frames.join();
            if (stallAfterByte < 0)
                return scale.writeAtLineRate(stream);
            scale.writeAtLineRate(stream.first(stallAfterByte));
            std::this_thread::sleep_for(30ms);
            scale.writeAtLineRate(stream.sliced(stallAfterByte));
        });
        if (joinRunningStream) {
            std::this_thread::sleep_for(300ms);
            openLikeTheWindow();
        }
        const long wakeUpsBefore = wakeUpsOfThisThread();
        runEventLoop(2200ms);
        const long wakeUps = wakeUpsOfThisThread() - wakeUpsBefore;
        writer.join();
        runEventLoop(150ms);
        // A settled stream is read at its frames' times, not at each of their bytes.
        if (stallAfterByte < 0)
            QVERIFY2(wakeUps < frames.size() * 2, qPrintable(QString::number(wakeUps)));

        // Whole frames, in order, none run together or cut in the wrong place: all of
        // them, or from the first that came after the line was opened; of the empty
        // scale's frames, some may be held back until the phase is clear.
        QVERIFY(!taker.taken.isEmpty());
        QList<qsizetype> sent;
        for (const QByteArray &frame : taker.taken)
            sent << frames.indexOf(frame);
        QVERIFY2(sent.first() >= 0 && sent.first() < frames.size() / 2,
                 qPrintable(QString::number(sent.first())));
        QVERIFY(std::is_sorted(sent.begin(), sent.end()) && !sent.contains(-1));
        const qsizetype whole = std::max<qsizetype>(sent.first(), emptyFrames);
        QCOMPARE(taker.taken.mid(sent.indexOf(whole)), frames.mid(whole));
    }

    void noiseAtFullSpeedKeepsTheBufferBounded()
    {
        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        line.open();
        Taker taker(line);
        qint64 mostWaiting = 0;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout,
                         [&] { mostWaiting = std::max(mostWaiting, line.bytesWaiting()); });
        sample.start(1);

        QByteArray noise(4 * 1024 * 1024, Qt::Uninitialized); // over an hour at 9600 Bd
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        std::atomic<bool> written = false;
        std::thread writer([&] {
            scale.write(noise);
            written = true;
        });
        while (!written)
            runEventLoop(20ms);
        writer.join();
        runEventLoop(50ms);
        QVERIFY2(mostWaiting <= FrameSplitter::maxBurstBytes,
                 qPrintable(QString::number(mostWaiting)));

        const QByteArray frame = encodeReading(1700, 2500);
        scale.write(frame);
        QTRY_COMPARE(taker.taken.constLast(), frame);
    }

    void discardDropsWhatIsStillOnTheLine()
    {
        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        line.open();
        QSignalSpy waiting(&line, &SerialLine::dataWaiting);

        scale.write(bytes({1, 2, 3, 4}));
        QVERIFY(waiting.wait(2000));
        // Written but not yet read by the event loop: the device holds it.
        scale.write(bytes({5, 6, 7, 8}));
        std::this_thread::sleep_for(20ms);
        line.discard();
        QCOMPARE(line.bytesWaiting(), 0);

        QTest::qWait(50);
        QCOMPARE(waiting.size(), 1);
        QCOMPARE(line.input(), QByteArray());
    }

    void openFailureNamesTheDevice_data()
    {
        QTest::addColumn<QString>("device"); // "busy": the pseudo-terminal, open already
        QTest::addColumn<QString>("cause");
        QTest::newRow("no such device") << QStringLiteral("%T/ttyNone") << "Gerät nicht gefunden";
        QTest::newRow("device already open") << QStringLiteral("busy") << "";
        QTest::newRow("folder") << QStringLiteral("%T") << "das ist ein Ordner";
        QTest::newRow("no terminal")
            << QStringLiteral("/dev/null") << "das Gerät ist keine serielle";
    }
    void openFailureNamesTheDevice()
    {
        QFETCH(QString, device);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        PseudoTerminal scale;
        const bool busy = device == QLatin1String("busy");
        device = busy ? scale.path() : device.replace(QLatin1String("%T"), dir.path());
        SerialPortLine first(device);
        if (busy)
            first.open();

        SerialPortLine line(device);
        try {
            line.open();
            QFAIL("open() did not fail");
        } catch (const Failure &failure) {
            QVERIFY2(failure.message().contains(device), qPrintable(failure.message()));
            QVERIFY2(failure.message().startsWith(QStringLiteral("Die serielle Schnittstelle")),
                     qPrintable(failure.message()));
            QVERIFY2(failure.message().contains(": " + cause), qPrintable(failure.message()));
        }
        QVERIFY(!line.isOpen());
    }

    void lostDeviceIsReportedOnceAndReopened_data()
    {
        QTest::addColumn<bool>("streaming");
        QTest::newRow("unplugged while the scale is quiet") << false;
        QTest::newRow("unplugged while frames stream") << true;
    }
    void lostDeviceIsReportedOnceAndReopened()
    {
        QFETCH(bool, streaming);
        // A stable name that follows the device, as udev's /dev/serial/by-id links do.
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("scale"));
        auto scale = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(scale->path(), device));

        SerialPortLine line(device);
        line.open();
        Taker taker(line);
        QSignalSpy faults(&line, &SerialLine::fault);

        // Unplugged: the device and its link go away (the freed pty number may be
        // reused by anyone meanwhile).
        std::thread unplug([&] {
            if (streaming) // half a second of frames, read at their times by then
                scale->writeAtLineRate(encodeReading(1700, 2500).repeated(120));
            scale->close();
        });
        const bool reported = faults.wait(3000);
        unplug.join();
        QVERIFY(QFile::remove(device));
        QVERIFY(reported);
        QTest::qWait(300);
        QCOMPARE(faults.size(), 1);
        QVERIFY(faults.at(0).at(0).toString().contains(device));
        QVERIFY(!line.isOpen());

        // Still away at the next attempt: no second report.
        QTest::qWait(SerialPortLine::reopenIntervalMs + 300);
        QCOMPARE(faults.size(), 1);

        scale = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(scale->path(), device));
        QTRY_VERIFY_WITH_TIMEOUT(line.isOpen(), SerialPortLine::reopenIntervalMs + 1000);

        const QByteArray frame = encodeReading(1700, 2500);
        taker.taken.clear();
        scale->write(frame);
        QTRY_COMPARE_WITH_TIMEOUT(taker.taken, QList<QByteArray>{frame}, 2000);
        QCOMPARE(faults.size(), 1);
    }

    void deviceMissingAtStartIsPickedUpLater()
    {
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("scale"));
        SerialPortLine line(device);
        QVERIFY_THROWS_EXCEPTION(Failure, line.open());
        QSignalSpy faults(&line, &SerialLine::fault);
        Taker taker(line);

        PseudoTerminal scale;
        QVERIFY(QFile::link(scale.path(), device));
        QTRY_VERIFY_WITH_TIMEOUT(line.isOpen(), SerialPortLine::reopenIntervalMs + 1000);
        const QByteArray frame = encodeReading(1200, 300);
        scale.write(frame);
        QTRY_COMPARE_WITH_TIMEOUT(taker.taken, QList<QByteArray>{frame}, 2000);
        QCOMPARE(faults.size(), 0);
    }

    void simulatedScaleStartsEmptyThenCarriesAPerson()
    {
        SimulatedLine line(42);
        const FrameCounts empty = decodeFrame(cutFrame(line.nextFrame()));
        QCOMPARE(empty.weight, weightCountOf(SimulatedLine::platformKilograms));
        QCOMPARE(UmrechnungBin(empty.height).value() + 1103, SimulatedLine::restingHeightMm);

        double heaviest = 0;
        for (int i = 0; i < 300; ++i) {
            const QByteArray sent = line.nextFrame();
            QCOMPARE(sent.size(), 4);
            const FrameCounts counts = decodeFrame(cutFrame(sent));
            const int heightMm = UmrechnungBin(counts.height).value() + 1103;
            QVERIFY(heightMm >= 1103 && heightMm <= 2126);
            const double load = scaleReading(counts.weight) - SimulatedLine::platformKilograms;
            QVERIFY2(load > -0.2 && load < 125, qPrintable(QString::number(load)));
            heaviest = std::max(heaviest, load);
        }
        QVERIFY2(heaviest > 40, qPrintable(QString::number(heaviest)));
    }

    void simulatedFramesArriveThroughTheLine()
    {
        SimulatedLine line(7);
        Taker taker(line);
        line.open();
        QTRY_VERIFY_WITH_TIMEOUT(taker.taken.size() >= 2, 2000);
        for (const QByteArray &frame : taker.taken)
            QCOMPARE(frame.size(), 4);
    }

    void factoryChoosesTheLine_data()
    {
        QTest::addColumn<bool>("simulate");
        QTest::addColumn<QString>("deviceName");
        QTest::newRow("serial device") << false << QStringLiteral("/dev/ttyUSB7");
        QTest::newRow("simulated scale") << true << QStringLiteral("Simulierte Waage");
    }
    void factoryChoosesTheLine()
    {
        QFETCH(bool, simulate);
        QFETCH(QString, deviceName);
        const auto line = createSerialLine(QStringLiteral("/dev/ttyUSB7"), simulate);
        QCOMPARE(line->deviceName(), deviceName);
        QCOMPARE(dynamic_cast<SimulatedLine *>(line.get()) != nullptr, simulate);
    }
};

QTEST_GUILESS_MAIN(TestSerialLines)
#include "tst_seriallines.moc"
