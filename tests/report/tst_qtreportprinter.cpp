#include "common/failure.h"
#include "records/personfile.h"
#include "records/textfile.h"
#include "report/qtreportprinter.h"
#include "report/reportlayout.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

// The PDF's printable area starts 10 mm from the top-left corner of the sheet.
constexpr double marginPt = 10 / 25.4 * 72;
constexpr double twipsPerPt = 20;

struct PdfLine
{
    int page = 0;
    double top = 0; // points from the top of the sheet
    double left = 0;
    QString text; // words joined by one blank
};

// The text lines of a PDF as poppler sees them, page by page, top to bottom.
QList<PdfLine> pdfLines(const QString &pdf, int *pages)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished() || tool.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(tool.readAllStandardOutput());

    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    // Words come column by column; sort them into lines by page, top and left.
    QList<PdfLine> words;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QLatin1String("<page "))
            ++page;
        else
            words.append({page, m.captured(2).toDouble(), m.captured(1).toDouble(), m.captured(3)});
    }
    std::stable_sort(words.begin(), words.end(), [](const PdfLine &a, const PdfLine &b) {
        if (a.page != b.page)
            return a.page < b.page;
        if (qAbs(a.top - b.top) > 1)
            return a.top < b.top;
        return a.left < b.left;
    });
    QList<PdfLine> lines;
    for (const PdfLine &word : words) {
        if (lines.isEmpty() || lines.last().page != word.page ||
            qAbs(lines.last().top - word.top) > 1)
            lines.append(word);
        else
            lines.last().text += QLatin1Char(' ') + word.text;
    }
    *pages = page;
    return lines;
}

QString unescaped(QString text)
{
    return text.replace(QLatin1String("&amp;"), QLatin1String("&"));
}

QImage renderedPage(const QString &pdf, const QString &pngBase, int dpi)
{
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                       QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                       QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, pngBase});
    return QImage(pngBase + QStringLiteral(".png"));
}

// The darkest pixel of a short vertical run around (x, y): a thin line drawn with
// anti-aliasing may fall between two rows.
QColor strongestAround(const QImage &image, int x, int y, bool red)
{
    QColor best = image.pixelColor(x, y);
    for (int dy = -2; dy <= 2; ++dy) {
        const QColor c = image.pixelColor(x, y + dy);
        const bool better = red ? c.red() - c.green() > best.red() - best.green()
                                : c.lightness() < best.lightness();
        if (better)
            best = c;
    }
    return best;
}

} // namespace

class TestQtReportPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sixtyRecordsFillTwoPagesInOrder();
    void noOutputWritesNoFile();
    void unwritablePdfFailsAtTheFirstOutput();
    void withoutPrinterTheProviderReplacesThePdf();

private:
    QTemporaryDir m_dir;
    QString m_pdf;
    HistoryFile m_file;
};

void TestQtReportPrinter::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "poppler-utils (pdftotext, pdftoppm) are needed to read the PDF back");
    QVERIFY(m_dir.isValid());

    // A woman of 34, 60 measurements with BMI 20 to 29 in turn.
    const QString path =
        personFilePath(m_dir.path(), QStringLiteral("Anna"), QStringLiteral("Beispiel"));
    const QString header = headerLine(QStringLiteral("Anna Beispiel"), sexWord(true), "34");
    for (int k = 0; k < 60; ++k) {
        const QString date = QStringLiteral("%1.11.2026").arg(k % 28 + 1, 2, 10, QLatin1Char('0'));
        storeMeasurement(path, header,
                         recordLine(date, QStringLiteral("7%1,5").arg(k % 10),
                                    QString::number(1700 + k), QString::number(20 + k % 10)));
    }
    m_file = historyFile(readAllLines(path));
    m_pdf = reportPdfPath(path);
}

void TestQtReportPrinter::sixtyRecordsFillTwoPagesInOrder()
{
    const ReportChart chart = reportChart(m_file);
    auto printer = QtReportPrinter::forPdf(m_pdf);
    printReport(*printer, m_file, chart);
    QCOMPARE(printer->savedFile(), m_pdf);

    int pages = 0;
    const QList<PdfLine> lines = pdfLines(m_pdf, &pages);
    QCOMPARE(pages, 2);

    // Header, then all records in file order; pdftotext splits at blanks.
    QStringList expected{m_file.header.simplified()};
    for (const QString &record : m_file.records)
        expected << record.simplified();
    QStringList found;
    for (const PdfLine &line : lines)
        found << unescaped(line.text);
    QCOMPARE(found, expected);
    QCOMPARE(lines.last().page, 2);

    // 14-point lines: a font scaled twice would give a pitch near 12 points.
    const double pitch = lines.at(2).top - lines.at(1).top;
    QVERIFY2(pitch > 14 && pitch < 18, qPrintable(QString::number(pitch)));

    // The header stands one line below the end of the curve (its 31st point).
    const double chartEnd = marginPt + chart.curve.back().y() / twipsPerPt;
    QVERIFY2(qAbs(lines.at(0).top - pitch - chartEnd) < 1.5,
             qPrintable(QString::number(lines.at(0).top)));
    QCOMPARE(lines.at(0).page, 1);
    QVERIFY(qAbs(lines.at(0).left - marginPt) < 1.5);

    // Under the rule at 3700 twips: one empty line, then the first record.
    const double rule = marginPt + 3700 / twipsPerPt;
    QVERIFY2(qAbs(lines.at(1).top - pitch - rule) < 1.5,
             qPrintable(QString::number(lines.at(1).top)));

    // Page 2 goes on at the top of the printable area, nothing lost in between.
    const auto firstOnPage2 =
        std::find_if(lines.begin(), lines.end(), [](const PdfLine &l) { return l.page == 2; });
    QVERIFY(firstOnPage2 != lines.end());
    QVERIFY2(qAbs(firstOnPage2->top - marginPt) < 1.5,
             qPrintable(QString::number(firstOnPage2->top)));
    QVERIFY(std::prev(firstOnPage2)->top + pitch <= 842 - marginPt + 0.5);

    // The drawing as printed: the rule in black from x 0 to 6270 twips, the box
    // outlines red at the band bounds (19 and 24 for a woman of 34).
    const int dpi = 144;
    const QImage page = renderedPage(m_pdf, m_dir.filePath(QStringLiteral("page")), dpi);
    QVERIFY(!page.isNull());
    const auto px = [dpi](double twips) { return qRound((marginPt + twips / 20) * dpi / 72); };
    for (const int x : {100, 3000, 6200})
        QVERIFY2(strongestAround(page, px(x), px(3700), false).lightness() < 128,
                 qPrintable(QStringLiteral("rule at x %1").arg(x)));
    QVERIFY(strongestAround(page, px(6400), px(3700), false).lightness() > 240);
    for (const int y : {2640, 2040, 3093, 3}) {
        const QColor c = strongestAround(page, px(5500), px(y), true);
        QVERIFY2(c.red() > 200 && c.green() < 150,
                 qPrintable(QStringLiteral("box edge at y %1: %2").arg(y).arg(c.name())));
    }
}

void TestQtReportPrinter::noOutputWritesNoFile()
{
    const QString pdf = m_dir.filePath(QStringLiteral("nothing.pdf"));
    {
        auto printer = QtReportPrinter::forPdf(pdf);
        printer->setTextSize(14);
        printer->setDrawingSetting(4);
    }
    QVERIFY(!QFile::exists(pdf));
}

void TestQtReportPrinter::unwritablePdfFailsAtTheFirstOutput()
{
    const QString pdf = m_dir.filePath(QStringLiteral("missing/Anna Beispiel.pdf"));
    auto printer = QtReportPrinter::forPdf(pdf);
    printer->setTextSize(1);
    try {
        printer->printLine(QString());
        QFAIL("the first line went nowhere without a failure");
    } catch (const Failure &failure) {
        QVERIFY(failure.message().contains(QDir::toNativeSeparators(pdf)));
    }
}

void TestQtReportPrinter::withoutPrinterTheProviderReplacesThePdf()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed here; the report would go to paper");

    const QString pdf = m_dir.filePath(QStringLiteral("Anna Beispiel older.pdf"));
    QFile older(pdf);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write(QByteArray(100000, 'x'));
    older.close();

    QtReportPrinterProvider provider;
    const auto printer = provider.begin(pdf);
    printReport(*printer, m_file, reportChart(m_file));

    QCOMPARE(printer->savedFile(), pdf);
    QVERIFY(older.open(QIODevice::ReadOnly));
    QVERIFY(older.read(5) == "%PDF-");
    QVERIFY(!older.readAll().contains(QByteArray(1000, 'x')));
}

QTEST_MAIN(TestQtReportPrinter)
#include "tst_qtreportprinter.moc"
