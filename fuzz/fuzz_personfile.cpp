// A PersonFile may be old, hand-edited or damaged. Every reader of it (the line
// positions, the chart, the report) must either read it or refuse it with a Failure.
#include "common/failure.h"
#include "recordingprinter.h"
#include "records/cp1252.h"
#include "records/historyfile.h"
#include "records/linefields.h"
#include "records/textfile.h"
#include "report/reportlayout.h"
#include "views/chartgeometry.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

static QString scratchFile()
{
    static const QString path =
        QDir::tempPath() + QStringLiteral("/tessarine-fuzz-%1.txt").arg(::getpid());
    return path;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        QFile file(scratchFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(bytes);
    }

    QStringList lines;
    try {
        lines = readAllLines(scratchFile());
    } catch (const Failure &) {
        // A line too long to be a history line; nothing else may fail here.
        if (bytes.size() <= maxLineBytes)
            std::abort();
        return 0;
    }
    for (const QString &line : lines) {
        if (sexLetter(line).size() > 1 || ageText(line).size() > 2 || bmiText(line).size() > 2)
            std::abort();
        // Read by its words, a header with a two-character age gives what the fixed
        // positions give, which stored files rely on.
        const HeaderFields header = headerFields(line);
        if (header.ageText.size() == 2 && header != HeaderFields{sexLetter(line), ageText(line)})
            std::abort();
    }

    // The chart reads only its first lines, from the file and from memory alike.
    const QStringList first = historyLines(readHistoryFile(scratchFile(), maxChartRecords));
    if (first != lines.mid(0, first.size()) || first.size() > chartLineCount)
        std::abort();
    try {
        const BmiChart chart = bmiChart(historyFile(lines), QStringLiteral("fuzz.txt"));
        if (chart.segments.size() > static_cast<std::size_t>(maxChartRecords - 1))
            std::abort();
        for (const DrawnLine &segment : chart.segments) {
            if (segment.from.y() < 120 || segment.to.y() > 4920 || segment.to.x() > 11880)
                std::abort();
        }
    } catch (const Failure &) {
    }

    try {
        const HistoryFile file = historyFile(lines);
        const ReportChart chart = reportChart(file);
        RecordingPrinter printer;
        printReport(printer, file, chart);
        if (printer.operations().isEmpty() || printer.operations().last() != QStringLiteral("end"))
            std::abort();
    } catch (const Failure &) {
    }
    return 0;
}
