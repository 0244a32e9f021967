// Cost of the printed report: the layout through the recording printer for growing
// histories, and the whole document rendered to a PDF by the real printer.

#include "recordingprinter.h"
#include "records/personfile.h"
#include "report/qtreportprinter.h"
#include "report/reportlayout.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

HistoryFile history(int records)
{
    QStringList lines{headerLine(QStringLiteral("Anna Beispiel"), sexWord(true), "34"), QString()};
    for (int k = 0; k < records; ++k)
        lines << recordLine(QStringLiteral("06.12.2026"), QStringLiteral("72,5"),
                            QStringLiteral("1750"), QString::number(18 + k % 15));
    return historyFile(lines);
}

void BM_layoutToRecordingPrinter(benchmark::State &state)
{
    const HistoryFile file = history(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RecordingPrinter printer;
        printReport(printer, file, reportChart(file));
        benchmark::DoNotOptimize(printer.operations().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_layoutToRecordingPrinter)->Arg(3)->Arg(60)->Arg(10000);

void BM_pdfReport(benchmark::State &state)
{
    QTemporaryDir dir;
    const HistoryFile file = history(static_cast<int>(state.range(0)));
    const QString pdf = dir.filePath(QStringLiteral("Anna Beispiel.pdf"));
    for (auto _ : state) {
        auto printer = QtReportPrinter::forPdf(pdf);
        printReport(*printer, file, reportChart(file));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_pdfReport)->Arg(3)->Arg(60)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
