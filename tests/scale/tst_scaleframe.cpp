#include "bytes.h"
#include "common/failure.h"
#include "common/numbertext.h"
#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"

#include <QTest>

namespace {

ScaleFrame frame(int b1, int b2, int b3, int b4)
{
    return {static_cast<quint8>(b1), static_cast<quint8>(b2), static_cast<quint8>(b3),
            static_cast<quint8>(b4)};
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
