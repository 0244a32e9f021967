#include "files/atomicfile.h"
#include "recordingprinter.h"
#include "records/personfile.h"
#include "records/textfile.h"
#include "report/qtreportprinter.h"
#include "report/reportlayout.h"

#include "filebytes.h"
#include "smallfilesystem.h"
#include "windowfixture.h"

#include <QDir>
#include <QLocale>
#include <QPrinterInfo>
#include <QTest>

namespace {

const QString noRecord = QStringLiteral("Kein Datensatz vorhanden ! !");

QString record(const QString &bmi)
{
    return recordLine(QStringLiteral("06.12.2026"), QStringLiteral("72,5"), QStringLiteral("1750"),
                      bmi);
}

// Writes the PersonFile of Anna Beispiel the way a take-over does.
QString storeAnna(const WindowFixture &f, const QString &age, const QStringList &bmis)
{
    const QString path =
        personFilePath(f.dir.path(), QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    const QString header = headerLine(QStringLiteral("Anna Beispiel"), sexWord(true), age);
    for (const QString &bmi : bmis)
        storeMeasurement(path, header, record(bmi));
    return path;
}

void fillWindow(const WindowFixture &f, const QString &first, const QString &last)
{
    f.field("text")->setText(first);
    f.field("Text7")->setText(last);
    f.field("Text5")->setText(QStringLiteral("50"));
    f.field("Text1")->setText(QStringLiteral("80,5"));
    f.field("Text2")->setText(QStringLiteral("1800"));
    f.field("bmi")->setText(QStringLiteral("24"));
}

QStringList fields(const WindowFixture &f)
{
    return {f.field("Text5")->text(), f.field("Text1")->text(), f.field("Text2")->text(),
            f.field("bmi")->text()};
}

} // namespace

class TestForm1Report : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void printsTheChartHeaderAndRecords();
    void printsNothingWithoutAPersonFile_data();
    void printsNothingWithoutAPersonFile();
    void fileWithoutRecordsPrintsBoxesHeaderAndRule();
    void tellsWhereThePdfWasSaved();
    void unreadableFilePrintsNothingAndChangesNothing_data();
    void unreadableFilePrintsNothingAndChangesNothing();
    void realPrinterWritesThePdfNextToThePersonFile();
    void pdfOnAFullDiskFailsAndLeavesNoFile();
};

void TestForm1Report::printsTheChartHeaderAndRecords()
{
    RecordingPrinterProvider printers;
    WindowFixture f;
    f.services.printers = &printers;
    f.create();
    const QString path =
        storeAnna(f, QStringLiteral("34"),
                  {QStringLiteral("23"), QStringLiteral("24"), QStringLiteral("31")});
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    f.button("Command1")->click(); // the window chart, which the report erases
    QVERIFY(!f.form->surface().drawing().empty());

    f.button("Command3")->click();

    QCOMPARE(f.messages.shown, QStringList());
    QCOMPARE(fields(f), (QStringList{"34", "", "", ""}));
    QVERIFY(f.form->surface().drawing().empty());
    QCOMPARE(printers.begunPaths, QStringList{f.dir.filePath("Anna Beispiel.pdf")});
    const QStringList &document = *printers.logs.at(0);
    QCOMPARE(document.mid(5, 4),
             (QStringList{"box 3,3093 6263,2640 255,3,5", "box 3,2040 6263,3 255,3,5",
                          "line 80,2160 240,2040", "line 240,2040 400,1200"}));
    QCOMPARE(document.mid(9, 4), (QStringList{"size 14", "text 400,1200 ''",
                                              "text 0,1480 'Anna Beispiel  weiblich 34Jahre'",
                                              "line 6270,3700 0,3700"}));
    QCOMPARE(document.mid(14), (QStringList{"text 0,3980 '" + record("23") + "'",
                                            "text 0,4260 '" + record("24") + "'",
                                            "text 0,4540 '" + record("31") + "'", "end"}));
    QVERIFY(QFile::exists(path));
}

void TestForm1Report::printsNothingWithoutAPersonFile_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    QTest::newRow("empty first name") << ""
                                      << "Beispiel";
    QTest::newRow("empty last name") << "Anna"
                                     << "";
    QTest::newRow("no file for the names") << "Berta"
                                           << "Beispiel";
    // The last name would lead out of the data directory to a file that exists.
    QTest::newRow("unsafe name") << "Anna"
                                 << "Beispiel/../Anna Beispiel";
}

void TestForm1Report::printsNothingWithoutAPersonFile()
{
    QFETCH(QString, first);
    QFETCH(QString, last);

    RecordingPrinterProvider printers;
    WindowFixture f;
    f.services.printers = &printers;
    f.create();
    storeAnna(f, QStringLiteral("34"), {QStringLiteral("23")});
    QDir(f.dir.path()).mkdir(QStringLiteral("Anna Beispiel"));
    fillWindow(f, first, last);
    const QStringList before = fields(f);

    f.button("Command3")->click();

    QCOMPARE(f.messages.shown, QStringList{noRecord});
    QCOMPARE(printers.begunPaths, QStringList());
    QCOMPARE(fields(f), before);
}

void TestForm1Report::fileWithoutRecordsPrintsBoxesHeaderAndRule()
{
    RecordingPrinterProvider printers;
    WindowFixture f;
    f.services.printers = &printers;
    f.create();
    const QString header = QStringLiteral("Anna Beispiel  männlich 61Jahre");
    const QString path = f.dir.filePath(QStringLiteral("Anna Beispiel.txt"));
    QVERIFY(createNewFile(path, encodeLines(path, {header, QString()})));
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));

    f.button("Command3")->click();

    QCOMPARE(f.messages.shown, QStringList());
    QCOMPARE(f.field("Text5")->text(), QStringLiteral("61"));
    QCOMPARE(printers.logs.size(), std::size_t(1));
    QCOMPARE(printers.logs.at(0)->mid(5),
             (QStringList{"box 3,3093 6263,2160 255,3,5", "box 3,1560 6263,3 255,3,5", "size 14",
                          "text 6263,3 ''", "text 0,283 '" + header + "'", "line 6270,3700 0,3700",
                          "text 0,3700 ''", "end"}));
}

void TestForm1Report::tellsWhereThePdfWasSaved()
{
    RecordingPrinterProvider printers;
    printers.noPrinterInstalled = true;
    WindowFixture f;
    f.services.printers = &printers;
    f.create();
    storeAnna(f, QStringLiteral("34"), {QStringLiteral("23"), QStringLiteral("24")});
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));

    f.button("Command3")->click();

    const QString pdf = QDir::toNativeSeparators(f.dir.filePath("Anna Beispiel.pdf"));
    QCOMPARE(
        f.messages.shown,
        QStringList{"Kein Drucker installiert. Der Bericht wurde als PDF gespeichert: " + pdf});
    QCOMPARE(printers.logs.at(0)->last(), QStringLiteral("end"));
}

void TestForm1Report::unreadableFilePrintsNothingAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    const QByteArray header = "Anna Beispiel  weiblich 34Jahre\r\n";
    const QByteArray records = "\r\n" + record("23").toLatin1() + "\r\n";
    QTest::newRow("age not a number")
        << "Anna Beispiel  weiblich 3xJahre\r\n" + records
        << "ist nicht lesbar: In Zeile 1 ist das Alter „3x“ keine Zahl.";
    QTest::newRow("BMI not a number")
        << header + records + record("ab").toLatin1() + "\r\n"
        << "ist nicht lesbar: In Zeile 4 ist der BMI „ab“ keine Zahl.";
    QTest::newRow("empty file") << QByteArray() << "ist unvollständig: Zeile 1 fehlt.";
    QTest::newRow("header only") << header << "ist unvollständig: Zeile 2 fehlt.";
}

void TestForm1Report::unreadableFilePrintsNothingAndChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    RecordingPrinterProvider printers;
    WindowFixture f;
    f.services.printers = &printers;
    f.create();
    storeAnna(f, QStringLiteral("34"), {QStringLiteral("23")});
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    f.button("Command1")->click(); // a chart the failed report must not erase
    const Drawing chart = f.form->surface().drawing();
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    const QString path = f.dir.filePath(QStringLiteral("Anna Beispiel.txt"));
    writeBytes(path, bytes);

    f.button("Command3")->click();

    QCOMPARE(f.messages.shown,
             QStringList{"Die Datei „" + QDir::toNativeSeparators(path) + "“ " + problem});
    QCOMPARE(fields(f), (QStringList{"50", "80,5", "1800", "24"}));
    QVERIFY(f.form->surface().drawing() == chart);
    QCOMPARE(printers.begunPaths, QStringList());
}

void TestForm1Report::realPrinterWritesThePdfNextToThePersonFile()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed here; the report would go to paper");

    QtReportPrinterProvider printers;
    WindowFixture f;
    f.services.printers = &printers;
    f.create();
    storeAnna(f, QStringLiteral("34"), {QStringLiteral("23"), QStringLiteral("24")});
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));

    f.button("Command3")->click();

    const QString pdf = f.dir.filePath("Anna Beispiel.pdf");
    QCOMPARE(f.messages.shown, QStringList{pdfSavedMessage(pdf)});
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(5), QByteArray("%PDF-"));
}

void TestForm1Report::pdfOnAFullDiskFailsAndLeavesNoFile()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed here; the report would go to paper");
    SmallFileSystem disk;
    if (!disk.mounted())
        QSKIP(disk.whyNot());

    QtReportPrinterProvider printers;
    WindowFixture f;
    f.services.printers = &printers;
    f.services.dataDir = disk.path();
    f.create();
    const QString person = personFilePath(disk.path(), "Anna", "Beispiel");
    for (const char *bmi : {"23", "24", "25"})
        storeMeasurement(person, headerLine("Anna Beispiel", sexWord(true), "34"), record(bmi));
    fillWindow(f, QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    disk.fill();
    const QStringList before = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden);

    f.button("Command3")->click();

    const QString pdf = reportPdfPath(person);
    QCOMPARE(f.messages.shown,
             QStringList{QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: %2")
                             .arg(QDir::toNativeSeparators(pdf), systemCause(ENOSPC))});
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), before);

    disk.freeSpace(); // and with room, the whole PDF
    f.messages.shown.clear();
    f.button("Command3")->click();
    QCOMPARE(f.messages.shown, QStringList{pdfSavedMessage(pdf)});
    QVERIFY(readBytes(pdf).startsWith("%PDF-"));
    QVERIFY(readBytes(pdf).trimmed().endsWith("%%EOF"));
}

QTEST_MAIN(TestForm1Report)
#include "tst_form1_report.moc"
