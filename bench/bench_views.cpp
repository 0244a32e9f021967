// History views through the real window: the listing of a long PersonFile until List1
// is filled, and the chart, which reads only the first 33 lines however long the
// history is.

#include "windowfixture.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLocale>

#include <cstdlib>

namespace {

void writePersonFile(const QString &path, int records)
{
    QByteArray bytes("Anna Beispiel  weiblich 34Jahre\r\n\r\n");
    bytes.reserve(bytes.size() + qsizetype(records) * 46);
    for (int i = 0; i < records; ++i)
        bytes +=
            "  06.12.2026    72,5kg    1750mm     BMI: " + QByteArray::number(18 + i % 20) + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

struct ViewWindow : WindowFixture
{
    explicit ViewWindow(int records, bool shown)
    {
        create();
        if (shown)
            form->show();
        field("text")->setText(QStringLiteral("Anna"));
        field("Text7")->setText(QStringLiteral("Beispiel"));
        writePersonFile(filePath(QStringLiteral("Anna Beispiel.txt")), records);
    }
};

// Lines in the file: header, empty line and the records.
void listing(benchmark::State &state, bool shown)
{
    const int lines = int(state.range(0));
    ViewWindow w(lines - 2, shown);
    for (auto _ : state) {
        w.button("Command5")->click();
        if (shown)
            QApplication::processEvents(); // the list lays its items out and paints
        if (w.list()->count() != lines || !w.messages.shown.isEmpty())
            state.SkipWithError("list not filled");
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

void BM_ListingHidden(benchmark::State &state)
{
    listing(state, false);
}

void BM_ListingShown(benchmark::State &state)
{
    listing(state, true);
}

void BM_Chart(benchmark::State &state)
{
    const int lines = int(state.range(0));
    ViewWindow w(lines - 2, false);
    for (auto _ : state) {
        w.button("Command1")->click();
        if (w.form->surface().drawing().size() != std::min<size_t>(lines - 1, 32) ||
            !w.messages.shown.isEmpty())
            state.SkipWithError("chart not drawn");
    }
}

} // namespace

BENCHMARK(BM_ListingHidden)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListingShown)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chart)->Arg(42)->Arg(1000000)->Unit(benchmark::kMicrosecond);
