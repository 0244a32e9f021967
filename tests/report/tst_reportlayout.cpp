#include "common/failure.h"
#include "recordingprinter.h"
#include "records/personfile.h"
#include "report/reportlayout.h"

#include <QLocale>
#include <QTest>

namespace {

const QString anna = QStringLiteral("Anna Beispiel");

QString record(const QString &bmi)
{
    return recordLine(QStringLiteral("06.12.2026"), QStringLiteral("72,5"), QStringLiteral("1750"),
                      bmi);
}

HistoryFile personFile(bool woman, const QString &age, const QStringList &bmis)
{
    QStringList lines{headerLine(anna, sexWord(woman), age), QString()};
    for (const QString &bmi : bmis)
        lines << record(bmi);
    return historyFile(lines);
}

QStringList printed(const HistoryFile &file, const RecordingPrinter::LineHeight &height = {})
{
    RecordingPrinter printer(height);
    printReport(printer, file, reportChart(file));
    return printer.operations();
}

QStringList filtered(const QStringList &operations, const QString &prefix)
{
    QStringList result;
    for (const QString &op : operations) {
        if (op.startsWith(prefix))
            result << op;
    }
    return result;
}

QString textAt(int x, int y, const QString &text)
{
    return QStringLiteral("text %1,%2 '%3'").arg(x).arg(y).arg(text);
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void womanOf34PrintsTheWholeDocumentInOrder();
    void chartGeometry_data();
    void chartGeometry();
    void headerStandsOneLineBelowTheChartEnd_data();
    void headerStandsOneLineBelowTheChartEnd();
    void fortyRecordsDrawThirtyOneAndListAll();
    void notANumberStopsBeforePrinting_data();
    void notANumberStopsBeforePrinting();
    void listingTakesRecordsUnchanged();
};

void TestReportLayout::womanOf34PrintsTheWholeDocumentInOrder()
{
    const HistoryFile file =
        personFile(true, QStringLiteral("34"),
                   {QStringLiteral("23"), QStringLiteral("24"), QStringLiteral("31")});
    // Heights unlike the default, so that a mixed-up text size shows.
    const auto height = [](double points) { return points < 2 ? 23 : 331; };

    const QStringList expected{
        QStringLiteral("size 1"),
        QStringLiteral("setting 4"),
        textAt(0, 0, {}),
        textAt(0, 23, {}),
        textAt(0, 46, {}),
        QStringLiteral("box 3,3093 6263,2640 255,3,5"),
        QStringLiteral("box 3,2040 6263,3 255,3,5"),
        QStringLiteral("line 80,2160 240,2040"),
        QStringLiteral("line 240,2040 400,1200"),
        QStringLiteral("size 14"),
        textAt(400, 1200, {}),
        textAt(0, 1200 + 331, QStringLiteral("Anna Beispiel  weiblich 34Jahre")),
        QStringLiteral("line 6270,3700 0,3700"),
        textAt(0, 3700, {}),
        textAt(0, 3700 + 331, record(QStringLiteral("23"))),
        textAt(0, 3700 + 2 * 331, record(QStringLiteral("24"))),
        textAt(0, 3700 + 3 * 331, record(QStringLiteral("31"))),
        QStringLiteral("end"),
    };
    QCOMPARE(printed(file, height), expected);
}

void TestReportLayout::chartGeometry_data()
{
    QTest::addColumn<bool>("woman");
    QTest::addColumn<QString>("age");
    QTest::addColumn<QStringList>("bmis");
    QTest::addColumn<QStringList>("boxesAndCurve");

    const QString lowerBox = QStringLiteral("box 3,3093 6263,%1 255,3,5");
    const QString upperBox = QStringLiteral("box 3,%1 6263,3 255,3,5");

    QTest::newRow("man of 34: band 20 to 25")
        << false << "34" << QStringList{"23", "24", "31"}
        << QStringList{lowerBox.arg(2520), upperBox.arg(1920), "line 80,2160 240,2040",
                       "line 240,2040 400,1200"};
    QTest::newRow("woman of 35: next age group")
        << true << "35" << QStringList{"20", "21"}
        << QStringList{lowerBox.arg(2520), upperBox.arg(1920), "line 80,2520 240,2400"};
    QTest::newRow("above 40 on the top edge, below 15 at the bottom")
        << false << "34" << QStringList{"45", "12", "41", "40", "15"}
        << QStringList{lowerBox.arg(2520),    upperBox.arg(1920),   "line 80,0 240,3120",
                       "line 240,3120 400,0", "line 400,0 560,120", "line 560,120 720,3120"};
    QTest::newRow("one digit and comma counts as that digit, drawn at 15")
        << false << "34" << QStringList{"9,", "25"}
        << QStringList{lowerBox.arg(2520), upperBox.arg(1920), "line 80,3120 240,1920"};
    QTest::newRow("one record: no segment")
        << true << "34" << QStringList{"23"} << QStringList{lowerBox.arg(2640), upperBox.arg(2040)};
    QTest::newRow("no record: boxes only")
        << true << "34" << QStringList{} << QStringList{lowerBox.arg(2640), upperBox.arg(2040)};
    // Ages of one or three characters are read by the header's words.
    QTest::newRow("woman of 9: band 18 to 23")
        << true << "9" << QStringList{"18"} << QStringList{lowerBox.arg(2760), upperBox.arg(2160)};
    QTest::newRow("woman of 100: band 23 to 28")
        << true << "100" << QStringList{"18"}
        << QStringList{lowerBox.arg(2160), upperBox.arg(1560)};
}

void TestReportLayout::chartGeometry()
{
    QFETCH(bool, woman);
    QFETCH(QString, age);
    QFETCH(QStringList, bmis);
    QFETCH(QStringList, boxesAndCurve);

    const QStringList operations = printed(personFile(woman, age, bmis));
    QStringList chart = filtered(operations, QStringLiteral("box"));
    chart << filtered(operations, QStringLiteral("line")).mid(0, qMax(0, bmis.size() - 1));
    QCOMPARE(chart, boxesAndCurve);
}

void TestReportLayout::headerStandsOneLineBelowTheChartEnd_data()
{
    QTest::addColumn<QStringList>("bmis");
    QTest::addColumn<QPoint>("chartEnd");

    QTest::newRow("three records: end of the last segment")
        << QStringList{"23", "24", "31"} << QPoint(400, 1200);
    QTest::newRow("one record: corner of the upper box") << QStringList{"23"} << QPoint(6263, 3);
    QTest::newRow("no record: corner of the upper box") << QStringList{} << QPoint(6263, 3);
    QTest::newRow("last point clamped to the top edge")
        << QStringList{"23", "44"} << QPoint(240, 0);
}

void TestReportLayout::headerStandsOneLineBelowTheChartEnd()
{
    QFETCH(QStringList, bmis);
    QFETCH(QPoint, chartEnd);

    const HistoryFile file = personFile(true, QStringLiteral("34"), bmis);
    const QStringList operations = printed(file);
    const auto header = operations.indexOf(textAt(0, chartEnd.y() + 14 * 20, file.header));
    QVERIFY(header > 0);
    QCOMPARE(operations.at(header - 1), textAt(chartEnd.x(), chartEnd.y(), {}));
    QCOMPARE(operations.at(header - 2), QStringLiteral("size 14"));
    QCOMPARE(operations.at(header + 1), QStringLiteral("line 6270,3700 0,3700"));
}

void TestReportLayout::fortyRecordsDrawThirtyOneAndListAll()
{
    QStringList bmis;
    for (int k = 0; k < 40; ++k)
        bmis << QString::number(20 + k % 10);
    const HistoryFile file = personFile(false, QStringLiteral("41"), bmis);

    const ReportChart chart = reportChart(file);
    QCOMPARE(chart.curve.size(), std::size_t(31));
    QCOMPARE(chart.curve.back(), QPoint(4880, reportY(20 + 30 % 10)));

    const QStringList operations = printed(file);
    // 30 segments and the rule.
    QCOMPARE(filtered(operations, QStringLiteral("line")).size(), 31);
    const auto rule = operations.indexOf(QStringLiteral("line 6270,3700 0,3700"));
    QStringList listed;
    for (const QString &op : operations.mid(rule + 2, 40))
        listed << op.section(QLatin1Char('\''), 1, 1);
    QCOMPARE(listed, file.records);
    QCOMPARE(operations.at(rule + 2 + 39), textAt(0, 3700 + 40 * 280, file.records.last()));
    QCOMPARE(operations.last(), QStringLiteral("end"));
}

void TestReportLayout::notANumberStopsBeforePrinting_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("fails");

    QStringList thirtyTwo{headerLine(anna, sexWord(false), QStringLiteral("34")), QString()};
    for (int k = 0; k < 31; ++k)
        thirtyTwo << record(QStringLiteral("22"));
    QStringList badFirst = thirtyTwo;
    badFirst[2] = record(QStringLiteral("xy"));
    QStringList badLast = thirtyTwo;
    badLast[32] = record(QStringLiteral("xy"));
    QStringList badBeyondChart = thirtyTwo;
    badBeyondChart << record(QStringLiteral("xy"));

    QTest::newRow("age is no number")
        << QStringList{headerLine(anna, sexWord(false), QStringLiteral("ab")), QString()} << true;
    QTest::newRow("empty file") << QStringList{} << true;
    QTest::newRow("header only") << QStringList{headerLine(anna, sexWord(false),
                                                           QStringLiteral("34"))}
                                 << true;
    QTest::newRow("age of one character")
        << QStringList{headerLine(anna, sexWord(false), QStringLiteral("5")), QString()} << false;
    QTest::newRow("first record's BMI") << badFirst << true;
    QTest::newRow("31st record's BMI") << badLast << true;
    QTest::newRow("32nd record is listed, not drawn") << badBeyondChart << false;
}

void TestReportLayout::notANumberStopsBeforePrinting()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, fails);

    const HistoryFile file = historyFile(lines);
    bool failed = false;
    try {
        RecordingPrinter printer;
        printReport(printer, file, reportChart(file));
        QCOMPARE(filtered(printer.operations(), QStringLiteral("text")).size(),
                 6 + file.records.size());
    } catch (const Failure &) {
        failed = true;
    }
    QCOMPARE(failed, fails);
}

void TestReportLayout::listingTakesRecordsUnchanged()
{
    // Leading blanks, a long weight text and a non-ASCII character survive as they are.
    const QStringList lines{headerLine(QStringLiteral("Jürgen Maß"), sexWord(false), "52"),
                            QString(), recordLine("01.02.2026", "81,3333333333333", "1802", "25"),
                            recordLine("02.02.2026", "80", "1802", "9,")};
    const HistoryFile file = historyFile(lines);
    const QStringList texts = filtered(printed(file), QStringLiteral("text"));
    QCOMPARE(texts.size(), 8);
    QCOMPARE(texts.at(4).section(QLatin1Char('\''), 1, 1), lines.at(0));
    QCOMPARE(texts.at(6).section(QLatin1Char('\''), 1, 1), lines.at(2));
    QCOMPARE(texts.at(7).section(QLatin1Char('\''), 1, 1), lines.at(3));
}

QTEST_GUILESS_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
