#include "filebytes.h"
#include "files/atomicfile.h"
#include "records/rating.h"
#include "smallfilesystem.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMap>
#include <QTest>

namespace {

const QString refused = QStringLiteral("Daten nicht übernommen! Bitte Eingaben überprüfen!");

// Distinct texts per class, so that a test sees which RatingFile ended up in the list.
QStringList classLines(int ratingClass)
{
    return {QStringLiteral("Klasse %1").arg(ratingClass), QString(),
            QStringLiteral("Gewöhnliche Zeile %1").arg(ratingClass)};
}

void writeRatingFiles(const QString &dir)
{
    for (int c = 0; c <= 5; ++c) {
        writeBytes(ratingFilePath(dir, c), "Klasse " + QByteArray::number(c) +
                                               "\r\n\r\nGew\xF6hnliche Zeile " +
                                               QByteArray::number(c) + "\r\n");
    }
}

// Every file of the data directory with its bytes.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
        files.insert(name, readBytes(QDir(dir).filePath(name)));
    return files;
}

struct Entries
{
    QString first = QStringLiteral("Anna");
    QString last = QStringLiteral("Beispiel");
    QString age = QStringLiteral("34");
    bool woman = true;
    QString weight = QStringLiteral("72,5");
    QString height = QStringLiteral("1750");
    QString date = QStringLiteral("06.12.2026");
};

void enter(WindowFixture &f, const Entries &e)
{
    f.field("Text3")->setText(e.date);
    f.field("text")->setText(e.first);
    f.field("Text7")->setText(e.last);
    f.field("Text5")->setText(e.age);
    f.find<QRadioButton>(e.woman ? "Option2" : "Option1")->setChecked(true);
    f.field("Text1")->setText(e.weight);
    f.field("Text2")->setText(e.height);
}

const QByteArray annaFile = "Anna Beispiel  weiblich 34Jahre\r\n"
                            "\r\n"
                            "  06.12.2026    72,5kg    1750mm     BMI: 23\r\n";

} // namespace

class TestTakeOver : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void firstAndSecondTakeOverThroughTheWindow();
    void bmiTextAndAssessment_data();
    void bmiTextAndAssessment();
    void refusedEntriesChangeNothing_data();
    void refusedEntriesChangeNothing();
    void namesAreTrimmed();
    void onlyTheFinalRatingFileIsRead();
    void childRatedByPercentileWhenSet_data();
    void childRatedByPercentileWhenSet();
    void ratingValueOfOneLeavesTheList();
    void refusedRatingFileKeepsTheRecord_data();
    void refusedRatingFileKeepsTheRecord();
    void refusedHistoryFileStoresNothing_data();
    void refusedHistoryFileStoresNothing();
    void unwritableDataDirectoryIsReported();
    void fullDiskStoresNothingAndARetryStoresOnce_data();
    void fullDiskStoresNothingAndARetryStoresOnce();
};

void TestTakeOver::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestTakeOver::firstAndSecondTakeOverThroughTheWindow()
{
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    f.create();
    QCOMPARE(f.field("Text3")->text(), QStringLiteral("06.12.2026"));
    enter(f, Entries{});

    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("23"));
    const QString path = f.filePath(QStringLiteral("Anna Beispiel.txt"));
    QCOMPARE(readBytes(path), annaFile);
    QCOMPARE(readBytes(path).size(), 81);
    // Created whole under a hidden name first; nothing of that is left.
    const QString stored = QStringLiteral("Anna Beispiel.txt,bmi0.txt,bmi1.txt,bmi2.txt,"
                                          "bmi3.txt,bmi4.txt,bmi5.txt");
    QCOMPARE(snapshot(f.dir.path()).keys().join(u','), stored);
    // Woman of 34: 23 - 1 + 1 = 23, class 2.
    QCOMPARE(f.listItems(), classLines(2));

    // Another age and sex later: one more line, the header stays.
    Entries later;
    later.age = QStringLiteral("45");
    later.woman = false;
    later.weight = QStringLiteral("80");
    enter(f, later);
    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("26"));
    QCOMPARE(readBytes(path), annaFile + "  06.12.2026    80kg    1750mm     BMI: 26\r\n");
    QCOMPARE(snapshot(f.dir.path()).keys().join(u','), stored);
    // Man of 45: 26 - 3 = 23, class 2.
    QCOMPARE(f.listItems(), classLines(2));
}

void TestTakeOver::bmiTextAndAssessment_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("age");
    QTest::addColumn<bool>("woman");
    QTest::addColumn<QString>("bmiText");
    QTest::addColumn<int>("ratingClass");
    QTest::newRow("72,5/1750 man 30") << "72,5"
                                      << "1750"
                                      << "30" << false << "23" << 2;
    QTest::newRow("130/1750 man 30") << "130"
                                     << "1750"
                                     << "30" << false << "42" << 5;
    QTest::newRow("9,5/1000 man 30") << "9,5"
                                     << "1000"
                                     << "30" << false << "9," << 0;
    QTest::newRow("8/1000 woman 20") << "8"
                                     << "1000"
                                     << "20" << true << "8" << 0;
    QTest::newRow("woman 30 with 24") << "73,5"
                                      << "1750"
                                      << "30" << true << "24" << 3;
    QTest::newRow("man 24 with 24") << "73,5"
                                    << "1750"
                                    << "24" << false << "24" << 3;
    QTest::newRow("man 25 with 24") << "73,5"
                                    << "1750"
                                    << "25" << false << "24" << 2;
    QTest::newRow("man 70 with 28") << "86"
                                    << "1750"
                                    << "70" << false << "28" << 2;
    QTest::newRow("man 70 with 29") << "89"
                                    << "1750"
                                    << "70" << false << "29" << 3;
    QTest::newRow("woman 40 with 17") << "52,1"
                                      << "1750"
                                      << "40" << true << "17" << 1;
    QTest::newRow("man 60 with 36") << "111"
                                    << "1750"
                                    << "60" << false << "36" << 4;
    QTest::newRow("many decimals") << "72,4583333333333"
                                   << "1750"
                                   << "30" << false << "23" << 2;
    QTest::newRow("one scale count is a weight") << "0,0301204819277108"
                                                 << "100"
                                                 << "30" << false << "3," << 0;
    QTest::newRow("one-digit age") << "72,5"
                                   << "1750"
                                   << "5" << true << "23" << 3;
    QTest::newRow("three-digit age") << "72,5"
                                     << "1750"
                                     << "100" << false << "23" << 1;
}

void TestTakeOver::bmiTextAndAssessment()
{
    QFETCH(QString, weight);
    QFETCH(QString, height);
    QFETCH(QString, age);
    QFETCH(bool, woman);
    QFETCH(QString, bmiText);
    QFETCH(int, ratingClass);
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    f.create();
    enter(f, Entries{"Max", "Muster", age, woman, weight, height});
    f.button("Command2")->click();

    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(f.field("bmi")->text(), bmiText);
    const QByteArray record = "  06.12.2026    " + weight.toLatin1() + "kg    " +
                              height.toLatin1() + "mm     BMI: " + bmiText.toLatin1() + "\r\n";
    QVERIFY(readBytes(f.filePath(QStringLiteral("Max Muster.txt"))).endsWith("\r\n\r\n" + record));
    QCOMPARE(f.listItems(), classLines(ratingClass));
}

void TestTakeOver::refusedEntriesChangeNothing_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QString>("reason"); // the message's detail
    const auto row = [](const char *name, const char *reason, auto change) {
        Entries e;
        change(e);
        QTest::newRow(name) << e << QString::fromUtf8(reason);
    };
    const char *noName = "Der Name enthält ein Zeichen, das in keinem Dateinamen stehen darf.";
    const char *badAge = "Das Alter muss eine Zahl ab 0 sein.";
    const char *control = "Ein Feld enthält ein Steuerzeichen, z. B. einen Zeilenumbruch.";
    const char *noWeight = "Die Waage meldet kein Gewicht.";
    const char *badHeight = "Die Größe muss eine Zahl über 0 sein.";
    row("all empty", "Bitte den Vornamen eingeben.",
        [](Entries &e) { e.first = e.last = e.age = QString(); });
    row("first name empty", "Bitte den Vornamen eingeben.", [](Entries &e) { e.first.clear(); });
    row("last name empty", "Bitte den Nachnamen eingeben.", [](Entries &e) { e.last.clear(); });
    row("first name of blanks", "Bitte den Vornamen eingeben.", [](Entries &e) { e.first = "  "; });
    row("last name a Windows device",
        "Der Name ist unter Windows ein Gerätename (wie CON, NUL, "
        "COM1) und kann keine Datei benennen.",
        [](Entries &e) { e.last = "nul"; });
    row("age empty", "Bitte das Alter eingeben.", [](Entries &e) { e.age.clear(); });
    row("slash in first name", noName, [](Entries &e) { e.first = QStringLiteral("../Anna"); });
    row("backslash in last name", noName,
        [](Entries &e) { e.last = QStringLiteral("..\\Beispiel"); });
    row("colon in first name", noName, [](Entries &e) { e.first = QStringLiteral("c:Anna"); });
    row("star in last name", noName, [](Entries &e) { e.last = QStringLiteral("Bei*"); });
    row("bar in last name", noName, [](Entries &e) { e.last = QStringLiteral("Bei|spiel"); });
    row("tab in first name", noName, [](Entries &e) { e.first = QStringLiteral("An\tna"); });
    row("name outside Windows-1252", noName,
        [](Entries &e) { e.last = QStringLiteral("Łukasiewicz"); });
    row("emoji name", noName, [](Entries &e) { e.first = QStringLiteral("Anna\U0001F600"); });
    row("age not a number", badAge, [](Entries &e) { e.age = QStringLiteral("abc"); });
    row("age with a letter", badAge, [](Entries &e) { e.age = QStringLiteral("3x"); });
    row("age outside Windows-1252", badAge, [](Entries &e) { e.age = QStringLiteral("3✓"); });
    row("age in exponent form", badAge, [](Entries &e) { e.age = QStringLiteral("1E1"); });
    row("negative age", badAge, [](Entries &e) { e.age = QStringLiteral("-5"); });
    row("age minus zero", badAge, [](Entries &e) { e.age = QStringLiteral("-0"); });
    row("line break in age", control, [](Entries &e) { e.age = QStringLiteral("34\n"); });
    row("date pasted with its line break", control,
        [](Entries &e) { e.date = QStringLiteral("08.12.2026\r\n"); });
    row("date forging a header line", control, [](Entries &e) {
        e.date = QStringLiteral("08.12.2026\r\nEva Falsch  weiblich 30Jahre\r\n");
    });
    row("tab in weight", control, [](Entries &e) { e.weight = QStringLiteral("72,5\t"); });
    row("line feed in height", control, [](Entries &e) { e.height = QStringLiteral("1750\n"); });
    row("no scale reading yet", "Die Waage hat noch kein Gewicht gemeldet.",
        [](Entries &e) { e.weight = QStringLiteral("99999"); });
    row("weight empty", "Das Gewicht ist keine Zahl.", [](Entries &e) { e.weight.clear(); });
    row("weight not a number", "Das Gewicht ist keine Zahl.",
        [](Entries &e) { e.weight = QStringLiteral("7x"); });
    row("weight zero", noWeight, [](Entries &e) { e.weight = QStringLiteral("0"); });
    row("empty scale's residue", noWeight,
        [](Entries &e) { e.weight = QStringLiteral("3,60822483003176E-16"); });
    row("less than half a count", noWeight, [](Entries &e) { e.weight = QStringLiteral("0,015"); });
    row("weight below zero", noWeight, [](Entries &e) { e.weight = QStringLiteral("-72"); });
    row("height empty", badHeight, [](Entries &e) { e.height.clear(); });
    row("height zero", badHeight, [](Entries &e) { e.height = QStringLiteral("0"); });
    row("height below zero", badHeight, [](Entries &e) { e.height = QStringLiteral("-1750"); });
    row("height not a number", badHeight, [](Entries &e) { e.height = QStringLiteral("1,7m"); });
    row("BMI text no number", "Aus Gewicht und Größe ergibt sich kein BMI.", [](Entries &e) {
        e.weight = QStringLiteral("1E+20");
        e.height = QStringLiteral("1");
    });
}

void TestTakeOver::refusedEntriesChangeNothing()
{
    QFETCH(Entries, entries);
    QFETCH(QString, reason);
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    // An earlier record of the same person must not change either.
    writeBytes(f.filePath(QStringLiteral("Anna Beispiel.txt")), annaFile);
    f.create();
    enter(f, entries);
    f.field("bmi")->setText(QStringLiteral("21"));
    f.list()->addItem(QStringLiteral("vorher"));
    const auto before = snapshot(f.dir.path());

    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{refused});
    QCOMPARE(f.messages.details, QStringList{reason});
    QCOMPARE(snapshot(f.dir.path()), before);
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("21"));
    QCOMPARE(f.listItems(), QStringList{QStringLiteral("vorher")});
}

void TestTakeOver::namesAreTrimmed()
{
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    f.create();
    Entries e;
    e.first = QStringLiteral(" Anna ");
    e.last = QStringLiteral("Beispiel\u00a0 ");
    enter(f, e);
    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(readBytes(f.filePath(QStringLiteral("Anna Beispiel.txt"))), annaFile);
}

void TestTakeOver::onlyTheFinalRatingFileIsRead()
{
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    for (int c = 0; c <= 4; ++c)
        QVERIFY(QFile::remove(ratingFilePath(f.dir.path(), c)));
    f.create();
    enter(f, Entries{"Max", "Muster", "20", false, "138", "1750"}); // BMI text 45
    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("45"));
    QCOMPARE(f.listItems(), classLines(5));
}

void TestTakeOver::childRatedByPercentileWhenSet_data()
{
    QTest::addColumn<ChildRatings>("children");
    QTest::addColumn<QString>("age"); // typed; with a separator as typed, else mid-year
    QTest::addColumn<QStringList>("assessment");
    // A boy of 6 with a BMI of 15.0 lies at P36 for 6.5 years: normal, not class 0.
    QTest::newRow("percentiles") << ChildRatings::Percentiles << "6"
                                 << QStringList{"BMI-Perzentile: 36 (Kinder, Referenz 2001)"} +
                                        classLines(2);
    QTest::newRow("typed 6,0") << ChildRatings::Percentiles << "6,0"
                               << QStringList{"BMI-Perzentile: 38 (Kinder, Referenz 2001)"} +
                                      classLines(2);
    QTest::newRow("adult rules") << ChildRatings::Adult << "6" << classLines(0);
}

void TestTakeOver::childRatedByPercentileWhenSet()
{
    QFETCH(ChildRatings, children);
    QFETCH(QString, age);
    QFETCH(QStringList, assessment);
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    f.services.children = children;
    f.create();
    enter(f, Entries{"Tim", "Klein", age, false, "21,6", "1200"});
    f.button("Command2")->click();
    QCOMPARE(readBytes(f.filePath(QStringLiteral("Tim Klein.txt"))),
             "Tim Klein  m\xE4nnlich " + age.toLatin1() +
                 "Jahre\r\n\r\n  06.12.2026    21,6kg    1200mm     BMI: 15\r\n");
    QCOMPARE(f.listItems(), assessment);
}

void TestTakeOver::ratingValueOfOneLeavesTheList()
{
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    f.create();
    f.list()->addItem(QStringLiteral("vorher"));
    // Man of 30 with BMI text "2,": 2 - 1 = 1, no class.
    enter(f, Entries{"Max", "Muster", "30", false, "6", "1750"});
    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("1,"));
    QVERIFY(readBytes(f.filePath(QStringLiteral("Max Muster.txt"))).endsWith("BMI: 1,\r\n"));
    QCOMPARE(f.listItems(), QStringList{QStringLiteral("vorher")});
}

void TestTakeOver::refusedRatingFileKeepsTheRecord_data()
{
    QTest::addColumn<QByteArray>("ratings"); // class 2's RatingFile; null: none
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("over 200 lines") << QByteArray("x\r\n").repeated(201);
    QTest::newRow("over 64 KiB") << QByteArray(1000, 'x').append("\r\n").repeated(66);
}

void TestTakeOver::refusedRatingFileKeepsTheRecord()
{
    QFETCH(QByteArray, ratings);
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    QVERIFY(QFile::remove(ratingFilePath(f.dir.path(), 2)));
    if (!ratings.isNull())
        writeBytes(ratingFilePath(f.dir.path(), 2), ratings);
    f.create();
    f.list()->addItem(QStringLiteral("vorher"));
    enter(f, Entries{});
    f.button("Command2")->click();

    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY2(
        f.messages.shown.at(0).contains(QDir::toNativeSeparators(ratingFilePath(f.dir.path(), 2))),
        qPrintable(f.messages.shown.at(0)));
    QCOMPARE(readBytes(f.filePath(QStringLiteral("Anna Beispiel.txt"))), annaFile);
    QCOMPARE(f.listItems(), QStringList{});
}

void TestTakeOver::refusedHistoryFileStoresNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // "link": a link to Bo Li's file
    QTest::addColumn<QString>("reason");
    QTest::newRow("link to another person's file")
        << QByteArray("link") << QStringLiteral("symbolische Verknüpfung");
    QTest::newRow("line no reader takes")
        << annaFile + QByteArray(64 * 1024 + 1, 'x') << QStringLiteral("Zeile 4 ist");
}

void TestTakeOver::refusedHistoryFileStoresNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    const QString path = f.filePath(QStringLiteral("Anna Beispiel.txt"));
    writeBytes(f.filePath(QStringLiteral("Bo Li.txt")), "Bo Li  m\xe4nnlich 5Jahre\r\n\r\n");
    if (content != "link")
        writeBytes(path, content);
    else if (!makeSymbolicLink(QStringLiteral("Bo Li.txt"), path))
        QSKIP("no symbolic links on this system");
    f.create();
    enter(f, Entries{});
    f.field("bmi")->setText(QStringLiteral("21"));
    const auto before = snapshot(f.dir.path());

    f.button("Command2")->click();
    QCOMPARE(f.messages.shown.size(), 1);
    const QString message = f.messages.shown.at(0);
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)) && message.contains(reason),
             qPrintable(message));
    QCOMPARE(snapshot(f.dir.path()), before);
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("21"));
}

void TestTakeOver::unwritableDataDirectoryIsReported()
{
    WindowFixture f;
    f.services.dataDir = f.dir.filePath(QStringLiteral("fehlt"));
    f.create();
    f.list()->addItem(QStringLiteral("vorher"));
    enter(f, Entries{});
    f.button("Command2")->click();

    QCOMPARE(f.messages.shown.size(), 1);
    const QString message = f.messages.shown.at(0);
    QVERIFY2(message.contains(QDir::toNativeSeparators(f.dir.filePath("fehlt/Anna Beispiel.txt"))),
             qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("angelegt")));
    QCOMPARE(f.listItems(), QStringList{QStringLiteral("vorher")});
}

void TestTakeOver::fullDiskStoresNothingAndARetryStoresOnce_data()
{
    QTest::addColumn<QByteArray>("before");  // the PersonFile; none when empty
    QTest::addColumn<QByteArray>("lineEnd"); // what the retry completes first
    // 4076 bytes: the record's first bytes fit the file's last page, the rest needs a
    // page the full disk does not have, so the write stops half-way.
    const QByteArray padding(4076 - annaFile.size() - 2, 'x');
    QTest::newRow("new person") << QByteArray() << QByteArray();
    QTest::newRow("existing file") << annaFile + padding + "\r\n" << QByteArray();
    QTest::newRow("existing file without line end")
        << annaFile + padding + "xx" << QByteArray("\r\n");
}

void TestTakeOver::fullDiskStoresNothingAndARetryStoresOnce()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, lineEnd);
    SmallFileSystem disk;
    if (!disk.mounted())
        QSKIP(disk.whyNot());
    WindowFixture f;
    f.services.dataDir = disk.path();
    writeRatingFiles(disk.path());
    const QString path = QDir(disk.path()).filePath(QStringLiteral("Anna Beispiel.txt"));
    if (!before.isEmpty())
        writeBytes(path, before);
    f.create();
    enter(f, Entries{});
    f.field("bmi")->setText(QStringLiteral("21"));
    f.list()->addItem(QStringLiteral("vorher"));
    disk.fill();
    const auto full = snapshot(disk.path());

    f.button("Command2")->click();
    QCOMPARE(f.messages.shown,
             QStringList{QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: %2")
                             .arg(QDir::toNativeSeparators(path), systemCause(ENOSPC))});
    QCOMPARE(snapshot(disk.path()), full); // no half line, no new or temporary file
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("21"));
    QCOMPARE(f.listItems(), QStringList{QStringLiteral("vorher")});

    disk.freeSpace();
    f.messages.shown.clear();
    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QCOMPARE(readBytes(path),
             before.isEmpty() ? annaFile : before + lineEnd + annaFile.mid(35)); // one record
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("23"));
    QCOMPARE(f.listItems(), classLines(2));
}

QTEST_MAIN(TestTakeOver)
#include "tst_takeover.moc"
