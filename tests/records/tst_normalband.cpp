#include "records/normalband.h"

#include <QTest>

class TestNormalBand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void boundsAndOffsetByAgeAndSex_data();
    void boundsAndOffsetByAgeAndSex();
};

void TestNormalBand::boundsAndOffsetByAgeAndSex_data()
{
    QTest::addColumn<double>("age");
    QTest::addColumn<bool>("woman");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("offset");
    QTest::newRow("0 man") << 0.0 << false << 19 << 24 << 0;
    QTest::newRow("24 man") << 24.0 << false << 19 << 24 << 0;
    QTest::newRow("24 woman") << 24.0 << true << 18 << 23 << 0;
    QTest::newRow("24.5 man") << 24.5 << false << 20 << 25 << 1;
    QTest::newRow("25 man") << 25.0 << false << 20 << 25 << 1;
    QTest::newRow("34 man") << 34.0 << false << 20 << 25 << 1;
    QTest::newRow("34 woman") << 34.0 << true << 19 << 24 << 1;
    QTest::newRow("34.01 man") << 34.01 << false << 21 << 26 << 2;
    QTest::newRow("35 man") << 35.0 << false << 21 << 26 << 2;
    QTest::newRow("40 man") << 40.0 << false << 21 << 26 << 2;
    QTest::newRow("40 woman") << 40.0 << true << 20 << 25 << 2;
    QTest::newRow("44 woman") << 44.0 << true << 20 << 25 << 2;
    QTest::newRow("45 woman") << 45.0 << true << 21 << 26 << 3;
    QTest::newRow("54 man") << 54.0 << false << 22 << 27 << 3;
    QTest::newRow("54.5 woman") << 54.5 << true << 22 << 27 << 4;
    QTest::newRow("64 man") << 64.0 << false << 23 << 28 << 4;
    QTest::newRow("65 man") << 65.0 << false << 24 << 29 << 5;
    QTest::newRow("99 man") << 99.0 << false << 24 << 29 << 5;
    QTest::newRow("99 woman") << 99.0 << true << 23 << 28 << 5;
}

void TestNormalBand::boundsAndOffsetByAgeAndSex()
{
    QFETCH(double, age);
    QFETCH(bool, woman);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, offset);
    QCOMPARE(normalBand(age, woman), (NormalBand{double(lower), double(upper)}));
    QCOMPARE(groupOffset(age), offset);
}

QTEST_GUILESS_MAIN(TestNormalBand)
#include "tst_normalband.moc"
