#include "bytes.h"
#include "common/failure.h"
#include "common/numbertext.h"
#include "scale/framesplitter.h"
#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"

#include <QTest>

namespace {

ScaleFrame frame(int b1, int b2, int b3, int b4)
{
    return {static_cast<quint8>(b1), static_cast<quint8>(b2), static_cast<quint8>(b3),
            static_cast<quint8>(b4)};
}

// What reaches a FrameSplitter: bytes some milliseconds after the ones before, or
// (no bytes) the line's quiet.
struct Arrival
{
    QByteArray bytes;
    qint64 msBefore = 1;
};
using Arrivals = QList<Arrival>;

const Arrivals quiet{Arrival{}};

// Bytes one by one, a millisecond apart, as a UART hands them over at full rate.
Arrivals paced(const QByteArray &stream, qint64 firstAfterMs = 1)
{
    Arrivals arrivals;
    for (const char byte : stream)
        arrivals.append({QByteArray(1, byte), arrivals.isEmpty() ? firstAfterMs : 1});
    return arrivals;
}

// A person of 1750 mm (the weight tells frames apart) and the empty scale with the
// rod at the top, whose frames fit two byte phases.
QByteArray person(int i)
{
    return encodeReading(1750, 2600 + i);
}
QByteArray empty(int i)
{
    return encodeReading(2126, 149 + i);
}
QByteArray run(QByteArray (*frame)(int), int from, int to)
{
    QByteArray stream;
    for (int i = from; i <= to; ++i)
        stream += frame(i);
    return stream;
}
QByteArray people(int from, int to)
{
    return run(person, from, to);
}
QByteArray empties(int from, int to)
{
    return run(empty, from, to);
}

// The four bytes the handler decodes from what was reported.
QByteArray cut(const QByteArray &reported)
{
    const ScaleFrame f = cutFrame(reported);
    return bytes({f.byte1, f.byte2, f.byte3, f.byte4});
}

} // namespace

class TestScaleFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void cutsAnyLengthIntoFourBytes_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<ScaleFrame>("expected");

        QTest::newRow("one byte: A A A A") << bytes({10}) << frame(10, 10, 10, 10);
        QTest::newRow("two bytes: A A A B") << bytes({10, 20}) << frame(10, 10, 10, 20);
        QTest::newRow("three bytes: A A B C") << bytes({10, 20, 30}) << frame(10, 10, 20, 30);
        QTest::newRow("four bytes") << bytes({10, 20, 30, 40}) << frame(10, 20, 30, 40);
        QTest::newRow("five bytes: A C D E")
            << bytes({10, 20, 30, 40, 50}) << frame(10, 30, 40, 50);
        QTest::newRow("two frames run together")
            << bytes({1, 2, 3, 4, 5, 6, 7, 8}) << frame(1, 6, 7, 8);
        QTest::newRow("0x00 and 0xFF are data") << bytes({0, 255, 0, 255}) << frame(0, 255, 0, 255);
    }
    void cutsAnyLengthIntoFourBytes()
    {
        QFETCH(QByteArray, received);
        QFETCH(ScaleFrame, expected);
        QCOMPARE(cutFrame(received), expected);
    }

    void splitsWhatArrivesIntoFrames_data()
    {
        QTest::addColumn<Arrivals>("arrivals");
        QTest::addColumn<QList<QByteArray>>("decoded");

        const QByteArray abcde = bytes({10, 20, 30, 40, 50});
        QTest::newRow("burst after quiet")
            << quiet + paced(person(0)) + quiet << QList<QByteArray>{person(0)};
        QTest::newRow("five bytes A B C D E are A C D E")
            << quiet + paced(abcde) + quiet << QList<QByteArray>{bytes({10, 30, 40, 50})};
        QTest::newRow("three bytes A B C are A A B C")
            << quiet + paced(abcde.left(3)) + quiet << QList<QByteArray>{bytes({10, 10, 20, 30})};
        QTest::newRow("2 + 2 with a short pause are one frame")
            << quiet + Arrivals{{person(0).left(2)}, {person(0).mid(2), 2}} + quiet
            << QList<QByteArray>{person(0)};
        QTest::newRow("stream after quiet: every frame")
            << quiet + paced(people(0, 9))
            << QList<QByteArray>{person(0), person(1), person(2), person(3), person(4),
                                 person(5), person(6), person(7), person(8), person(9)};
        QTest::newRow("stream after quiet: the empty scale's phase from the quiet")
            << quiet + paced(empties(0, 2) + person(0))
            << QList<QByteArray>{empty(0), empty(1), empty(2), person(0)};
        QTest::newRow("joined inside a frame")
            << paced(person(0).mid(2) + people(1, 5))
            << QList<QByteArray>{person(1), person(2), person(3), person(4), person(5)};
        QTest::newRow("joined inside the empty scale's frames: first frame kept until clear")
            << paced(empty(0).mid(2) + empties(1, 10) + people(0, 2))
            << QList<QByteArray>{empty(1), empty(10), person(0), person(1), person(2)};
        QTest::newRow("joined, still unclear when quiet ends it")
            << paced(empty(0).mid(1) + empties(1, 5)) + quiet
            << QList<QByteArray>{empty(1), empty(3), empty(4), empty(5)};
        QTest::newRow("a lost byte: the phase is found again")
            << quiet + paced(people(0, 2) + person(3).remove(1, 1) + people(4, 8))
            << QList<QByteArray>{person(0), person(1), person(2), person(4),
                                 person(5), person(6), person(7), person(8)};
        QTest::newRow("a pause after a whole frame: the next burst is cut")
            << quiet + paced(people(0, 1)) + paced(abcde, 10) + quiet
            << QList<QByteArray>{person(0), person(1), bytes({10, 30, 40, 50})};
        QTest::newRow("a reader's long pause inside a frame keeps it whole")
            << quiet + paced(people(0, 1) + person(2).left(2)) +
                   Arrivals{{person(2).mid(2) + person(3), 200}}
            << QList<QByteArray>{person(0), person(1), person(2), person(3)};
        QList<QByteArray> halfASecond;
        for (int i = 0; i < 120; ++i)
            halfASecond << person(i);
        QTest::newRow("a reader away half a second gets every frame")
            << quiet + paced(people(0, 1)) + Arrivals{{halfASecond.join(), 500}}
            << QList<QByteArray>{person(0), person(1)} + halfASecond;
        QTest::newRow("the line quiet inside a frame: the frame is dropped")
            << quiet + paced(people(0, 1) + person(2).left(2)) + quiet + paced(person(3)) + quiet
            << QList<QByteArray>{person(0), person(1), person(3)};
        QByteArray noise(960 * 3600, '\0'); // an hour at full rate, never fitting a frame
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<char>(16 + (i * 7919) % 240);
        QTest::newRow("an hour of noise, then a frame")
            << quiet + Arrivals{{noise, 1}} + quiet + paced(person(0)) + quiet
            << QList<QByteArray>{noise, person(0)};
    }
    void splitsWhatArrivesIntoFrames()
    {
        QFETCH(Arrivals, arrivals);
        QFETCH(QList<QByteArray>, decoded);

        FrameSplitter splitter;
        QList<QByteArray> reported;
        for (const Arrival &arrival : arrivals) {
            if (arrival.bytes.isEmpty())
                splitter.lineQuiet();
            else
                splitter.receive(arrival.bytes, arrival.msBefore);
            QVERIFY(splitter.bytesWaiting() <= FrameSplitter::maxBurstBytes);
            while (splitter.framesReady() > 0)
                reported << cut(splitter.take());
        }
        QList<QByteArray> expected;
        for (const QByteArray &frame : decoded)
            expected << cut(frame);
        QCOMPARE(reported, expected);
    }

    void emptyDataIsNoFrame() { QVERIFY_THROWS_EXCEPTION(Failure, cutFrame(QByteArray())); }

    void decodesCountsWithTheHighPartRules_data()
    {
        QTest::addColumn<ScaleFrame>("frame");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("weight");

        QTest::newRow("16 2 200 0") << frame(16, 2, 200, 0) << 528 << 200;
        QTest::newRow("height high 0") << frame(100, 0, 0, 0) << 100 << 0;
        QTest::newRow("height high 1") << frame(100, 1, 0, 0) << 356 << 0;
        QTest::newRow("height high 3, low 255") << frame(255, 3, 0, 0) << 1023 << 0;
        QTest::newRow("height high 4 ignored") << frame(100, 4, 0, 0) << 100 << 0;
        QTest::newRow("height high 255 ignored") << frame(100, 255, 0, 0) << 100 << 0;
        QTest::newRow("weight high 1") << frame(0, 0, 0, 1) << 0 << 256;
        QTest::newRow("weight 255 15") << frame(0, 0, 255, 15) << 0 << 4095;
        QTest::newRow("weight high 16 ignored") << frame(0, 0, 77, 16) << 0 << 77;
        QTest::newRow("weight high 255 ignored") << frame(0, 0, 77, 255) << 0 << 77;
    }
    void decodesCountsWithTheHighPartRules()
    {
        QFETCH(ScaleFrame, frame);
        QFETCH(int, height);
        QFETCH(int, weight);
        QCOMPARE(decodeFrame(frame), (FrameCounts{height, weight}));
    }

    void readsKilogramsInDoublePrecision_data()
    {
        QTest::addColumn<int>("weightCount");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QStringLiteral("0");
        QTest::newRow("200") << 200 << QStringLiteral("6,02409638554217");
        QTest::newRow("332") << 332 << QStringLiteral("10");
        QTest::newRow("4095") << 4095 << QStringLiteral("123,343373493976");
    }
    void readsKilogramsInDoublePrecision()
    {
        QFETCH(int, weightCount);
        QFETCH(QString, text);
        QCOMPARE(numberText(scaleReading(weightCount)), text);
    }

    void encodedReadingsDecodeBack_data()
    {
        QTest::addColumn<int>("heightMm");
        QTest::addColumn<int>("weightCount");
        QTest::addColumn<int>("decodedMm");

        QTest::newRow("lowest") << 1103 << 0 << 1103;
        QTest::newRow("highest") << 2126 << 4095 << 2126;
        QTest::newRow("person") << 1785 << 2490 << 1785;
        QTest::newRow("high byte boundary") << 1103 + 256 << 256 << 1103 + 256;
        QTest::newRow("below range clamps") << 900 << 10 << 1103;
        QTest::newRow("above range clamps") << 2500 << 10 << 2126;
    }
    void encodedReadingsDecodeBack()
    {
        QFETCH(int, heightMm);
        QFETCH(int, weightCount);
        QFETCH(int, decodedMm);

        const QByteArray sent = encodeReading(heightMm, weightCount);
        QCOMPARE(sent.size(), 4);
        const FrameCounts counts = decodeFrame(cutFrame(sent));
        QCOMPARE(counts.weight, weightCount);
        QCOMPARE(UmrechnungBin(counts.height).value() + 1103, decodedMm);
    }

    void kilogramsBecomeCounts_data()
    {
        QTest::addColumn<double>("kilograms");
        QTest::addColumn<int>("count");
        QTest::newRow("75 kg") << 75.0 << 2490;
        QTest::newRow("rounds") << 0.02 << 1;
        QTest::newRow("negative clamps") << -3.0 << 0;
        QTest::newRow("beyond the scale clamps") << 200.0 << 4095;
    }
    void kilogramsBecomeCounts()
    {
        QFETCH(double, kilograms);
        QFETCH(int, count);
        QCOMPARE(weightCountOf(kilograms), count);
    }
};

QTEST_GUILESS_MAIN(TestScaleFrame)
#include "tst_scaleframe.moc"
