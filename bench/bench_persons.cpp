// The known persons with 100,000 history files in the data directory: matching alone,
// the first reading of the directory, and the time from a typed letter to the painted
// list of the offered persons in the real window while the scale sends 240 frames a
// second on a pseudo-terminal, with the share of those frames that reached Text1.

#include "pseudoterminal.h"
#include "windowfixture.h"

#include "records/cp1252.h"
#include "records/knownpersons.h"
#include "scale/scaleframe.h"
#include "scale/serialportline.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int fileCount = 100'000;

// 100,000 history files as a station writes them, names spread over the alphabet.
QString bigDirectory()
{
    static QTemporaryDir dir;
    static const bool written = [] {
        const char *firsts[] = {"Anna", "Jürgen", "Max", "Özlem", "Ute", "Bea", "Carl", "Dana"};
        const char *lasts[] = {"Groß",   "Müller", "Schmidt", "Adler",  "Ärger",    "Klein",
                               "Wagner", "Zimmer", "Fischer", "Becker", "Hoffmann", "Yilmaz"};
        for (int i = 0; i < fileCount; ++i) {
            const QString name = QString::fromUtf8(firsts[i % 8]) + ' ' +
                                 QString::fromUtf8(lasts[(i / 8) % 12]) + QString::number(i);
            QFile file(dir.filePath(name + ".txt"));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(file.fileName()));
            file.write(encodeCp1252(name + "  weiblich 34Jahre") +
                       "\r\n\r\n  06.12.2026    72,5kg    1750mm     BMI: 23\r\n");
        }
        return true;
    }();
    Q_UNUSED(written);
    return dir.path();
}

const KnownPersons &bigReading()
{
    static const KnownPersons persons = [] {
        const std::atomic<bool> stop = false;
        return *PersonDirectoryReader(bigDirectory()).read(stop);
    }();
    return persons;
}

void firstReading(benchmark::State &state)
{
    bigDirectory();
    for (auto _ : state) {
        const std::atomic<bool> stop = false;
        const auto persons = PersonDirectoryReader(bigDirectory()).read(stop);
        benchmark::DoNotOptimize(persons->all().data());
    }
}
BENCHMARK(firstReading)->Unit(benchmark::kMillisecond)->Iterations(2);

void matching(benchmark::State &state)
{
    const KnownPersons &persons = bigReading();
    const QString typed[] = {"a", "gr", "oez", "zimmer9", "xy"}; // "xy": all 100,000 in vain
    std::size_t i = 0;
    for (auto _ : state) {
        const auto found = persons.matching(typed[i++ % 5], 50);
        benchmark::DoNotOptimize(found.data());
    }
}
BENCHMARK(matching)->Unit(benchmark::kMicrosecond);

// Paints of the list's viewport, the moment it has shown what it holds.
class PaintClock : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
    bool painted = false;
};

void keyToList(benchmark::State &state)
{
    PseudoTerminal scale;
    SerialPortLine line{scale.path()};
    WindowFixture f;
    f.services.serial = &line;
    f.services.dataDir = bigDirectory();
    f.create();
    f.form->show();
    QLineEdit *edit = f.field("text");
    auto *list = f.form->findChild<QListWidget *>("Personen");
    PaintClock paints;
    list->viewport()->installEventFilter(&paints);
    edit->setFocus();

    // The first reading, as a station starting on this folder has it.
    QElapsedTimer reading;
    reading.start();
    while (list->count() == 0 && reading.elapsed() < 120'000) {
        QTest::keyClick(edit, Qt::Key_A);
        QTest::qWait(20);
        edit->clear();
    }
    state.counters["first_reading_ms"] = double(reading.elapsed());

    int shownFrames = 0;
    QObject::connect(f.field("Text1"), &QLineEdit::textChanged, [&] { ++shownFrames; });
    std::atomic<bool> done = false;
    std::atomic<int> sentFrames = 0;
    std::thread writer([&] {
        const RealTime realTime;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; !done; ++i) {
            std::this_thread::sleep_until(start + i * std::chrono::microseconds(1'000'000 / 240));
            scale.write(encodeReading(1500 + i % 500, 1500 + i % 300));
            ++sentFrames;
        }
    });
    QTest::qWait(200);
    const int framesBefore = sentFrames;
    const int shownBefore = shownFrames;
    const char letters[] = "abcdgjkmosuwz";
    std::size_t i = 0;
    std::vector<double> delays;
    for (auto _ : state) {
        edit->clear();
        list->hide();
        QTest::qWait(30); // frames in between, as between an operator's keys
        paints.painted = false;
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(edit, letters[i++ % (sizeof letters - 1)]);
        while (!paints.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        delays.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    QTest::qWait(100);
    done = true;
    writer.join();
    std::sort(delays.begin(), delays.end());
    state.counters["p99_ms"] = delays.at((delays.size() * 99 + 99) / 100 - 1) * 1000;
    state.counters["slowest_ms"] = delays.back() * 1000;
    state.counters["frames_shown_share"] =
        double(shownFrames - shownBefore) / std::max(1, sentFrames - framesBefore);
}
BENCHMARK(keyToList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
