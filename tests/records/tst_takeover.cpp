#include "filebytes.h"
#include "records/rating.h"
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
};

void enter(WindowFixture &f, const Entries &e)
{
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
    void blankNamesPass();
    void onlyTheFinalRatingFileIsRead();
    void ratingValueOfOneLeavesTheList();
    void missingRatingFileKeepsTheRecord();
    void unwritableDataDirectoryIsReported();
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
    const auto row = [](const char *name, auto change) {
        Entries e;
        change(e);
        QTest::newRow(name) << e;
    };
    row("all empty", [](Entries &e) { e.first = e.last = e.age = QString(); });
    row("first name empty", [](Entries &e) { e.first.clear(); });
    row("last name empty", [](Entries &e) { e.last.clear(); });
    row("age empty", [](Entries &e) { e.age.clear(); });
    row("slash in first name", [](Entries &e) { e.first = QStringLiteral("../Anna"); });
    row("backslash in last name", [](Entries &e) { e.last = QStringLiteral("..\\Beispiel"); });
    row("colon in first name", [](Entries &e) { e.first = QStringLiteral("c:Anna"); });
    row("star in last name", [](Entries &e) { e.last = QStringLiteral("Bei*"); });
    row("bar in last name", [](Entries &e) { e.last = QStringLiteral("Bei|spiel"); });
    row("tab in first name", [](Entries &e) { e.first = QStringLiteral("An\tna"); });
    row("name outside Windows-1252", [](Entries &e) { e.last = QStringLiteral("Łukasiewicz"); });
    row("emoji name", [](Entries &e) { e.first = QStringLiteral("Anna\U0001F600"); });
    row("age not a number", [](Entries &e) { e.age = QStringLiteral("abc"); });
    row("age with a letter", [](Entries &e) { e.age = QStringLiteral("3x"); });
    row("age outside Windows-1252", [](Entries &e) { e.age = QStringLiteral("3✓"); });
    row("age in exponent form", [](Entries &e) { e.age = QStringLiteral("1E1"); });
    row("no scale reading yet", [](Entries &e) { e.weight = QStringLiteral("99999"); });
    row("weight empty", [](Entries &e) { e.weight.clear(); });
    row("weight not a number", [](Entries &e) { e.weight = QStringLiteral("7x"); });
    row("weight zero", [](Entries &e) { e.weight = QStringLiteral("0"); });
    row("weight below zero", [](Entries &e) { e.weight = QStringLiteral("-72"); });
    row("height empty", [](Entries &e) { e.height.clear(); });
    row("height zero", [](Entries &e) { e.height = QStringLiteral("0"); });
    row("height below zero", [](Entries &e) { e.height = QStringLiteral("-1750"); });
    row("height not a number", [](Entries &e) { e.height = QStringLiteral("1,7m"); });
    row("BMI text no number", [](Entries &e) {
        e.weight = QStringLiteral("1E+20");
        e.height = QStringLiteral("1");
    });
}

void TestTakeOver::refusedEntriesChangeNothing()
{
    QFETCH(Entries, entries);
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
    QCOMPARE(snapshot(f.dir.path()), before);
    QCOMPARE(f.field("bmi")->text(), QStringLiteral("21"));
    QCOMPARE(f.listItems(), QStringList{QStringLiteral("vorher")});
}

void TestTakeOver::blankNamesPass()
{
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    f.create();
    Entries e;
    e.first = QStringLiteral("Anna ");
    e.last = QStringLiteral(" ");
    enter(f, e);
    f.button("Command2")->click();
    QCOMPARE(f.messages.shown, QStringList{});
    QVERIFY(readBytes(f.filePath(QStringLiteral("Anna   .txt")))
                .startsWith("Anna     weiblich 34Jahre\r\n"));
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

void TestTakeOver::missingRatingFileKeepsTheRecord()
{
    WindowFixture f;
    writeRatingFiles(f.dir.path());
    QVERIFY(QFile::remove(ratingFilePath(f.dir.path(), 2)));
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

QTEST_MAIN(TestTakeOver)
#include "tst_takeover.moc"
