#include "common/failure.h"
#include "common/numbertext.h"
#include "filebytes.h"
#include "records/cp1252.h"
#include "records/defaultratings.h"
#include "records/rating.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

class TestRating : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void bmiTextIsTheFirstTwoCharacters_data();
    void bmiTextIsTheFirstTwoCharacters();
    void ratingValueAndClass_data();
    void ratingValueAndClass();
    void classThresholdsAreStrict_data();
    void classThresholdsAreStrict();
    void ratingFilePathPerClass();
    void missingRatingFileIsReportedWithItsName();
    void defaultRatingFilesAreWindows1252WithCrLf();
    void installCopiesOnlyMissingFiles();
    void installReportsDefaultsItCannotFind();
};

void TestRating::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestRating::bmiTextIsTheFirstTwoCharacters_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("bmiText");
    QTest::newRow("72,5 / 1750") << "72,5"
                                 << "1750"
                                 << "23";
    QTest::newRow("130 / 1750") << "130"
                                << "1750"
                                << "42";
    QTest::newRow("9,5 / 1000") << "9,5"
                                << "1000"
                                << "9,";
    QTest::newRow("8 / 1000") << "8"
                              << "1000"
                              << "8";
    QTest::newRow("99999 / 1750") << "99999"
                                  << "1750"
                                  << "32";
    QTest::newRow("below 1") << "0,5"
                             << "1000"
                             << "0,";
    QTest::newRow("100 or more") << "123"
                                 << "1000"
                                 << "12";
}

void TestRating::bmiTextIsTheFirstTwoCharacters()
{
    QFETCH(QString, weight);
    QFETCH(QString, height);
    QFETCH(QString, bmiText);
    QCOMPARE(shortBmiText(bodyMassIndex(textNumber(weight), textNumber(height))), bmiText);
}

void TestRating::ratingValueAndClass_data()
{
    QTest::addColumn<QString>("bmiText");
    QTest::addColumn<double>("age");
    QTest::addColumn<bool>("woman");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("ratingClass"); // -1: none
    QTest::newRow("man 30, 24") << "24" << 30.0 << false << 23.0 << 2;
    QTest::newRow("woman 30, 24") << "24" << 30.0 << true << 24.0 << 3;
    QTest::newRow("man 24, 24") << "24" << 24.0 << false << 24.0 << 3;
    QTest::newRow("man 25, 24") << "24" << 25.0 << false << 23.0 << 2;
    QTest::newRow("man 70, 28") << "28" << 70.0 << false << 23.0 << 2;
    QTest::newRow("man 70, 29") << "29" << 70.0 << false << 24.0 << 3;
    QTest::newRow("man 20, 45") << "45" << 20.0 << false << 45.0 << 5;
    QTest::newRow("man 30, 2, exactly 1") << "2," << 30.0 << false << 1.0 << -1;
    QTest::newRow("woman 20, 1, above 1") << "1," << 20.0 << true << 2.0 << 0;
    QTest::newRow("woman 40, 17") << "17" << 40.0 << true << 16.0 << 1;
    QTest::newRow("man 60, 36") << "36" << 60.0 << false << 32.0 << 4;
}

void TestRating::ratingValueAndClass()
{
    QFETCH(QString, bmiText);
    QFETCH(double, age);
    QFETCH(bool, woman);
    QFETCH(double, value);
    QFETCH(int, ratingClass);
    const double r = ratingValue(textNumber(bmiText), age, woman);
    QCOMPARE(r, value);
    QCOMPARE(::ratingClass(r).value_or(-1), ratingClass);
}

void TestRating::classThresholdsAreStrict_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("ratingClass");
    QTest::newRow("-5") << -5.0 << -1;
    QTest::newRow("1") << 1.0 << -1;
    QTest::newRow("1.5") << 1.5 << 0;
    QTest::newRow("15") << 15.0 << 0;
    QTest::newRow("16") << 16.0 << 1;
    QTest::newRow("18") << 18.0 << 1;
    QTest::newRow("19") << 19.0 << 2;
    QTest::newRow("23") << 23.0 << 2;
    QTest::newRow("24") << 24.0 << 3;
    QTest::newRow("28") << 28.0 << 3;
    QTest::newRow("29") << 29.0 << 4;
    QTest::newRow("38") << 38.0 << 4;
    QTest::newRow("39") << 39.0 << 5;
    QTest::newRow("99") << 99.0 << 5;
}

void TestRating::classThresholdsAreStrict()
{
    QFETCH(double, value);
    QFETCH(int, ratingClass);
    QCOMPARE(::ratingClass(value).value_or(-1), ratingClass);
}

void TestRating::ratingFilePathPerClass()
{
    QCOMPARE(ratingFilePath(QStringLiteral("/daten"), 0), QStringLiteral("/daten/bmi0.txt"));
    QCOMPARE(ratingFilePath(QStringLiteral("/daten"), 5), QStringLiteral("/daten/bmi5.txt"));
}

void TestRating::missingRatingFileIsReportedWithItsName()
{
    QTemporaryDir dir;
    try {
        readRatingFile(ratingFilePath(dir.path(), 3));
        QFAIL("a missing RatingFile was read");
    } catch (const Failure &failure) {
        QVERIFY(failure.message().contains(QDir::toNativeSeparators(dir.filePath("bmi3.txt"))));
    }
}

void TestRating::defaultRatingFilesAreWindows1252WithCrLf()
{
    QTemporaryDir dir;
    QVERIFY(installDefaultRatingFiles(dir.path()).isEmpty());
    for (int ratingClass = 0; ratingClass <= 5; ++ratingClass) {
        const QString path = ratingFilePath(dir.path(), ratingClass);
        const QByteArray bytes = readBytes(path);
        QVERIFY2(bytes.endsWith("\r\n"), qPrintable(path));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        const QStringList lines = readRatingFile(path);
        QVERIFY(lines.size() >= 3);
        // Decoded texts encode back to the same bytes: nothing stored as UTF-8.
        QVERIFY(!decodeCp1252(bytes).contains(QStringLiteral("Ã")));
        QCOMPARE(encodeCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")), bytes);
    }
    QVERIFY(
        readRatingFile(ratingFilePath(dir.path(), 0)).join(' ').contains(QStringLiteral("Arzt")));
    QVERIFY(
        readRatingFile(ratingFilePath(dir.path(), 5)).join(' ').contains(QStringLiteral("Arzt")));
}

void TestRating::installCopiesOnlyMissingFiles()
{
    QTemporaryDir defaults;
    QTemporaryDir data;
    for (int ratingClass = 0; ratingClass <= 5; ++ratingClass) {
        QFile file(ratingFilePath(defaults.path(), ratingClass));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Vorgabe " + QByteArray::number(ratingClass) + "\r\n");
    }
    QFile edited(ratingFilePath(data.path(), 2));
    QVERIFY(edited.open(QIODevice::WriteOnly));
    edited.write("Vom Betreiber\r\n");
    edited.close();

    QVERIFY(installDefaultRatingFiles(data.path(), {defaults.path()}).isEmpty());
    QCOMPARE(readBytes(ratingFilePath(data.path(), 2)), QByteArray("Vom Betreiber\r\n"));
    QCOMPARE(readBytes(ratingFilePath(data.path(), 4)), QByteArray("Vorgabe 4\r\n"));

    // A second start changes nothing, not even a file the operator emptied.
    QFile emptied(ratingFilePath(data.path(), 4));
    QVERIFY(emptied.open(QIODevice::WriteOnly | QIODevice::Truncate));
    emptied.close();
    QVERIFY(installDefaultRatingFiles(data.path(), {defaults.path()}).isEmpty());
    QCOMPARE(readBytes(ratingFilePath(data.path(), 4)), QByteArray());
}

void TestRating::installReportsDefaultsItCannotFind()
{
    QTemporaryDir nowhere;
    QTemporaryDir partial;
    QFile one(ratingFilePath(partial.path(), 1));
    QVERIFY(one.open(QIODevice::WriteOnly));
    one.write("eins\r\n");
    one.close();
    QTemporaryDir data;
    const QStringList missing =
        installDefaultRatingFiles(data.path(), {nowhere.path(), partial.path()});
    QCOMPARE(missing, (QStringList{"bmi0.txt", "bmi2.txt", "bmi3.txt", "bmi4.txt", "bmi5.txt"}));
    QCOMPARE(readBytes(ratingFilePath(data.path(), 1)), QByteArray("eins\r\n"));
}

QTEST_GUILESS_MAIN(TestRating)
#include "tst_rating.moc"
