#include "common/failure.h"
#include "filebytes.h"
#include "records/linefields.h"
#include "records/personfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

const QByteArray annaFile = "Anna Beispiel  weiblich 34Jahre\r\n"
                            "\r\n"
                            "  06.12.2026    72,5kg    1750mm     BMI: 23\r\n";

} // namespace

class TestPersonFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pathJoinsTheNamesUntouched_data();
    void pathJoinsTheNamesUntouched();
    void safeNames_data();
    void safeNames();
    void headerLineOfItsPieces_data();
    void headerLineOfItsPieces();
    void recordLineOfItsPieces_data();
    void recordLineOfItsPieces();
    void firstMeasurementCreatesTheFileByteForByte();
    void laterMeasurementsAppendAndKeepTheHeader();
    void appendStartsALineOfItsOwn_data();
    void appendStartsALineOfItsOwn();
    void stationsCreatingOneFileAtOnceLoseNoRecord();
    void fileAppearingAfterTheExistenceTestIsAppendedTo();
    void fileVanishingAfterTheExistenceTestIsCreated();
    void unencodableLineWritesNothing();
    void missingDirectoryIsReportedWithTheFile();

private:
    QTemporaryDir m_dir;
};

void TestPersonFile::pathJoinsTheNamesUntouched_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Anna"
                           << "Beispiel"
                           << "Anna Beispiel.txt";
    QTest::newRow("blanks around names dropped") << " Anna "
                                                 << "Beispiel "
                                                 << "Anna Beispiel.txt";
    QTest::newRow("case kept") << "anna"
                               << "BEISPIEL"
                               << "anna BEISPIEL.txt";
    QTest::newRow("two-part first name") << "Anna Maria"
                                         << "Beispiel"
                                         << "Anna Maria Beispiel.txt";
    QTest::newRow("two-part last name") << "Anna"
                                        << "Maria Beispiel"
                                        << "Anna Maria Beispiel.txt";
}

void TestPersonFile::pathJoinsTheNamesUntouched()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, name);
    QCOMPARE(personFilePath(QStringLiteral("/daten"), first, last), "/daten/" + name);
}

void TestPersonFile::safeNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "Anna" << true;
    QTest::newRow("umlauts and sharp s") << QStringLiteral("Jürgen Groß") << true;
    QTest::newRow("hyphen, apostrophe, dot") << "O'Neil-Smith Jr." << true;
    QTest::newRow("blank only") << " " << false;
    for (const char *device :
         {"NUL", "nul.txt", "Con .tar.gz", " PRN ", "aux", "COM0", "COM9", "LPT1", "LPT\u00b9"})
        QTest::newRow(device) << QString::fromUtf8(device) << false;
    for (const char *name : {"NULL", "CONI", "AUX-Meier", "COM10", "LPT", "Nu.l"})
        QTest::newRow(name) << QString::fromUtf8(name) << true;
    QTest::newRow("euro sign") << QStringLiteral("€") << true;
    QTest::newRow("backslash") << "..\\x" << false;
    QTest::newRow("slash") << "../x" << false;
    QTest::newRow("colon") << "c:x" << false;
    QTest::newRow("star") << "a*" << false;
    QTest::newRow("question mark") << "a?" << false;
    QTest::newRow("double quote") << "a\"" << false;
    QTest::newRow("less") << "a<" << false;
    QTest::newRow("greater") << "a>" << false;
    QTest::newRow("bar") << "a|" << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("newline") << "a\nb" << false;
    QTest::newRow("C1 control") << QStringLiteral("a\u0085") << false;
    QTest::newRow("not in Windows-1252") << QStringLiteral("Łukasz") << false;
    QTest::newRow("emoji") << QStringLiteral("A\U0001F600") << false;
}

void TestPersonFile::safeNames()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(isSafeName(name), safe);
}

void TestPersonFile::headerLineOfItsPieces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("woman");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("sexLetter");
    QTest::addColumn<QString>("ageText");
    QTest::addColumn<QStringList>("words"); // sex letter and age read by the words
    QTest::newRow("woman 34") << "Anna Beispiel" << true << "34"
                              << "Anna Beispiel  weiblich 34Jahre"
                              << "w"
                              << "34" << QStringList{"w", "34"};
    QTest::newRow("man 41") << "Max Muster" << false << "41"
                            << QStringLiteral("Max Muster  männlich 41Jahre") << "m"
                            << "41" << QStringList{"m", "41"};
    QTest::newRow("one-digit age")
        << "Max Muster" << false << "9" << QStringLiteral("Max Muster  männlich 9Jahre") << " "
        << " 9" << QStringList{"m", "9"};
    QTest::newRow("three-digit age")
        << "Eva Alt" << true << "100" << QStringLiteral("Eva Alt  weiblich 100Jahre") << "e"
        << "00" << QStringList{"w", "100"};
    QTest::newRow("blank and digit")
        << "Max Muster" << false << " 5" << QStringLiteral("Max Muster  männlich  5Jahre") << "m"
        << " 5" << QStringList{"m", " 5"};
    QTest::newRow("other sex word in the name")
        << QStringLiteral("Eva  männlich X") << true << "30"
        << QStringLiteral("Eva  männlich X  weiblich 30Jahre") << "w"
        << "30" << QStringList{"w", "30"};
}

void TestPersonFile::headerLineOfItsPieces()
{
    QFETCH(QString, name);
    QFETCH(bool, woman);
    QFETCH(QString, age);
    QFETCH(QString, header);
    QFETCH(QString, sexLetter);
    QFETCH(QString, ageText);
    const QString line = headerLine(name, sexWord(woman), age);
    QCOMPARE(line, header);
    QCOMPARE(::sexLetter(line), sexLetter);
    QCOMPARE(::ageText(line), ageText);
    QFETCH(QStringList, words);
    QCOMPARE(headerFields(line), (HeaderFields{words.at(0), words.at(1)}));
    if (age.size() == 2) // what stored files rely on
        QCOMPARE(headerFields(line), (HeaderFields{sexLetter, ageText}));
}

void TestPersonFile::recordLineOfItsPieces_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("bmi");
    QTest::addColumn<QString>("record");
    QTest::newRow("example") << "72,5"
                             << "23"
                             << "  06.12.2026    72,5kg    1750mm     BMI: 23";
    QTest::newRow("long weight not cut")
        << "72,4583333333333"
        << "23"
        << "  06.12.2026    72,4583333333333kg    1750mm     BMI: 23";
    QTest::newRow("BMI below 10") << "30,5"
                                  << "9,"
                                  << "  06.12.2026    30,5kg    1750mm     BMI: 9,";
}

void TestPersonFile::recordLineOfItsPieces()
{
    QFETCH(QString, weight);
    QFETCH(QString, bmi);
    QFETCH(QString, record);
    const QString line =
        recordLine(QStringLiteral("06.12.2026"), weight, QStringLiteral("1750"), bmi);
    QCOMPARE(line, record);
    QCOMPARE(bmiText(line), bmi);
}

void TestPersonFile::firstMeasurementCreatesTheFileByteForByte()
{
    const QString path =
        personFilePath(m_dir.path(), QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    const Stored stored = storeMeasurement(
        path, headerLine(personName("Anna", "Beispiel"), sexWord(true), QStringLiteral("34")),
        recordLine("06.12.2026", "72,5", "1750", "23"));
    QCOMPARE(stored, Stored::Created);
    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes, annaFile);
    QCOMPARE(bytes.size(), 81);
    QFile::remove(path);
}

void TestPersonFile::laterMeasurementsAppendAndKeepTheHeader()
{
    const QString path = m_dir.filePath(QStringLiteral("Max Muster.txt"));
    storeMeasurement(path, headerLine("Max Muster", sexWord(false), "41"),
                     recordLine("06.12.2026", "80", "1800", "24"));
    const QByteArray first = readBytes(path);
    QCOMPARE(first.left(30), QByteArray("Max Muster  m\xE4nnlich 41Jahre\r\n"));

    // Another age and sex under the same name leave the header alone.
    const Stored stored = storeMeasurement(path, headerLine("Max Muster", sexWord(true), "42"),
                                           recordLine("07.12.2026", "81", "1800", "25"));
    QCOMPARE(stored, Stored::Appended);
    QCOMPARE(readBytes(path), first + "  07.12.2026    81kg    1800mm     BMI: 25\r\n");
}

void TestPersonFile::appendStartsALineOfItsOwn_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray record = "  07.12.2026    81kg    1800mm     BMI: 25\r\n";
    QTest::newRow("ends in CR LF") << annaFile << annaFile + record;
    QTest::newRow("ends in LF") << QByteArray("kopf\n\n") << QByteArray("kopf\n\n") + record;
    QTest::newRow("ends in CR") << QByteArray("kopf\r\n\r") << "kopf\r\n\r\n" + record;
    QTest::newRow("cut by a crash") << annaFile + "  08.12" << annaFile + "  08.12\r\n" + record;
    // Left empty by an earlier program that failed after creating it.
    QTest::newRow("empty file gets its header")
        << QByteArray() << "Anna Beispiel  weiblich 34Jahre\r\n\r\n" + record;
}

void TestPersonFile::appendStartsALineOfItsOwn()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString path = m_dir.filePath(QStringLiteral("Anhang Test.txt"));
    writeBytes(path, before);
    const Stored stored = storeMeasurement(path, headerLine("Anna Beispiel", sexWord(true), "34"),
                                           recordLine("07.12.2026", "81", "1800", "25"));
    QCOMPARE(stored, Stored::Appended);
    QCOMPARE(readBytes(path), after);
    QFile::remove(path);
}

void TestPersonFile::stationsCreatingOneFileAtOnceLoseNoRecord()
{
    // Six stations on one folder all find no file, then all store at the same moment.
    const QString path = m_dir.filePath(QStringLiteral("Geteilt Ordner.txt"));
    const QString go = m_dir.filePath(QStringLiteral("los"));
    std::vector<std::unique_ptr<QProcess>> stations;
    QStringList expected;
    for (int i = 1; i <= 6; ++i) {
        const QString name = QStringLiteral("Station %1").arg(i);
        expected << recordLine(name, "80", "1800", "24");
        auto &station = stations.emplace_back(std::make_unique<QProcess>());
        station->start(QStringLiteral(STORE_STATION), {path, name, go});
        QVERIFY(station->waitForReadyRead(10000));
        QCOMPARE(station->readLine().trimmed(), QByteArray("geprüft")); // CR LF on Windows
    }
    QVERIFY(!QFile::exists(path));
    writeBytes(go, {});

    QStringList outcomes;
    for (const auto &station : stations) {
        QVERIFY(station->waitForFinished(10000));
        QCOMPARE(station->readAllStandardError(), QByteArray());
        QCOMPARE(station->exitCode(), 0);
        outcomes << QString::fromUtf8(station->readAll().trimmed());
    }
    QCOMPARE(outcomes.count(QStringLiteral("angelegt")), 1);
    QStringList lines = QString::fromLatin1(readBytes(path)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString()); // after the last line end
    QVERIFY2(lines.at(0).endsWith(QStringLiteral("  m\u00e4nnlich 30Jahre")),
             qPrintable(lines.at(0)));
    QCOMPARE(lines.at(1), QString());
    QStringList records = lines.mid(2);
    records.sort();
    QCOMPARE(records, expected);
}

void TestPersonFile::fileAppearingAfterTheExistenceTestIsAppendedTo()
{
    const QString path = m_dir.filePath(QStringLiteral("Rennen Lauf.txt"));
    const QByteArray earlier =
        "Rennen Lauf  weiblich 30Jahre\r\n\r\n  01.12.2026    60kg    1700mm     BMI: 20\r\n";
    // Another writer creates the file between the existence test and the creation.
    const auto racingTest = [&](const QString &tested) {
        QFile other(tested);
        if (!other.open(QIODevice::WriteOnly) || other.write(earlier) != earlier.size())
            qFatal("cannot write the racing file");
        return false;
    };
    const Stored stored =
        storeMeasurement(path, headerLine("Rennen Lauf", sexWord(false), "50"),
                         recordLine("06.12.2026", "61", "1700", "21"), racingTest);
    QCOMPARE(stored, Stored::Appended);
    QCOMPARE(readBytes(path), earlier + "  06.12.2026    61kg    1700mm     BMI: 21\r\n");
}

void TestPersonFile::fileVanishingAfterTheExistenceTestIsCreated()
{
    const QString path = m_dir.filePath(QStringLiteral("Weg Da.txt"));
    const auto staleTest = [](const QString &) { return true; };
    const Stored stored = storeMeasurement(path, headerLine("Weg Da", sexWord(false), "30"),
                                           recordLine("06.12.2026", "61", "1700", "21"), staleTest);
    QCOMPARE(stored, Stored::Created);
    QVERIFY(readBytes(path).startsWith("Weg Da  m\xE4nnlich 30Jahre\r\n\r\n"));
}

void TestPersonFile::unencodableLineWritesNothing()
{
    const QString path = m_dir.filePath(QStringLiteral("Kodierung Test.txt"));
    QVERIFY_THROWS_EXCEPTION(
        Failure, storeMeasurement(path, headerLine("Kodierung Test", sexWord(false), "30"),
                                  recordLine(QStringLiteral("6.12.2026 ✓"), "61", "1700", "21")));
    QVERIFY(!QFile::exists(path));

    const QByteArray content = "Kodierung Test  m\xE4nnlich 30Jahre\r\n\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QVERIFY_THROWS_EXCEPTION(
        Failure,
        storeMeasurement(path, QString(), recordLine(QStringLiteral("Łódź"), "61", "1700", "21")));
    QCOMPARE(readBytes(path), content);
}

void TestPersonFile::missingDirectoryIsReportedWithTheFile()
{
    const QString path = m_dir.filePath(QStringLiteral("fehlt/Anna Beispiel.txt"));
    try {
        storeMeasurement(path, "h", "r");
        QFAIL("stored into a missing directory");
    } catch (const Failure &failure) {
        QVERIFY2(failure.message().contains(QDir::toNativeSeparators(path)),
                 qPrintable(failure.message()));
    }
}

QTEST_GUILESS_MAIN(TestPersonFile)
#include "tst_personfile.moc"
