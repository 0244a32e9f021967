#include "form1.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "files/atomicfile.h"
#include "records/historyfile.h"
#include "records/personfile.h"
#include "report/reportlayout.h"
#include "report/reportprinter.h"
#include "services.h"

#include <QDir>
#include <QLineEdit>

void Form1::Command3_Click()
{
    const QString first = text->text();
    const QString last = Text7->text();
    if (first.isEmpty() || last.isEmpty()) {
        m_services.messages->inform(noRecordMessage());
        return;
    }
    // Nothing is printed without a PersonFile: a page with a lone rule helps nobody.
    const QString path = historyFilePath(m_services.dataDir, first, last);
    if (!fileExists(path)) {
        m_services.messages->inform(noRecordMessage());
        return;
    }

    // Read and checked in full before anything changes: a file the report cannot read
    // leaves the window as it was and prints nothing.
    const HistoryFile file = readHistoryFile(path);
    const ReportChart chart =
        reportChart(file, QDir::toNativeSeparators(path), m_services.children);

    // Chart pass.
    Text5->setText(chart.ageText);
    Text1->clear();
    Text2->clear();
    bmi->clear();
    m_surface.clear();

    // Header, rule and listing follow on the same document.
    if (!m_services.printers)
        throw Failure(QStringLiteral("Kein Drucker eingerichtet."));
    const auto printer = m_services.printers->begin(reportPdfPath(path));
    printReport(*printer, file, chart);
    if (const QString saved = printer->savedFile(); !saved.isEmpty())
        m_services.messages->inform(pdfSavedMessage(saved));
}
