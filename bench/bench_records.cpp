// How reading and storing history files scales: the first lines of a file must cost
// the same however long the file is, and long files must still read quickly.
#include "common/failure.h"
#include "records/personfile.h"
#include "records/textfile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QTemporaryDir &dir()
{
    static QTemporaryDir d;
    return d;
}

// A PersonFile with a header, an empty line and records - 2 record lines.
QString personFile(int records)
{
    const QString path = dir().filePath(QStringLiteral("lines%1.txt").arg(records));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray chunk = "Anna Beispiel  weiblich 34Jahre\r\n\r\n";
    for (int i = 2; i < records; ++i) {
        chunk += "  06.12.2026    72,5kg    1750mm     BMI: 23\r\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return path;
}

void firstLines(benchmark::State &state)
{
    const QString path = personFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TextFileReader reader(path);
        for (int i = 0; i < 33 && !reader.atEnd(); ++i)
            benchmark::DoNotOptimize(reader.readLine());
    }
}
BENCHMARK(firstLines)->Arg(40)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void allLines(benchmark::State &state)
{
    const QString path = personFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TextFileReader reader(path);
        while (!reader.atEnd())
            benchmark::DoNotOptimize(reader.readLine());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(allLines)->Arg(100000)->Unit(benchmark::kMillisecond);

// A file of one line of n MiB, as a damaged or foreign file may hold: reading it must
// cost no more than the bytes it reads, and a line no history line can be is refused.
void oneLongLine(benchmark::State &state)
{
    const QString path = dir().filePath(QStringLiteral("long%1.txt").arg(state.range(0)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(state.range(0) << 20))
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(readAllLines(path));
        } catch (const Failure &) {
        }
    }
    QFile::remove(path);
}
BENCHMARK(oneLongLine)->Arg(1)->Arg(8)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

// One take-over's write, synced to disk.
void storeOneMeasurement(benchmark::State &state)
{
    const QString path = dir().filePath(QStringLiteral("Max Muster.txt"));
    const QString header = headerLine(QStringLiteral("Max Muster"), sexWord(false), "41");
    const QString record = recordLine("06.12.2026", "80", "1800", "24");
    for (auto _ : state)
        storeMeasurement(path, header, record);
}
BENCHMARK(storeOneMeasurement)->Unit(benchmark::kMillisecond);

// The first take-over of a person: the new PersonFile, synced, with its folder entry.
void storeFirstMeasurement(benchmark::State &state)
{
    const QString header = headerLine(QStringLiteral("Eva Neu"), sexWord(true), "41");
    const QString record = recordLine("06.12.2026", "60", "1700", "20");
    int person = 0;
    for (auto _ : state) {
        const QString path = dir().filePath(QStringLiteral("Eva Neu %1.txt").arg(++person));
        storeMeasurement(path, header, record);
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(storeFirstMeasurement)->Unit(benchmark::kMillisecond);

} // namespace
