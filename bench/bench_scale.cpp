// Reception path of the scale: decoding alone, splitting and decoding a continuous
// stream, decoding plus the field updates of the offscreen window, and the time from
// a frame's last byte on a pseudo-terminal to its weight in Text1, for single frames
// (the idle gap that ends a frame included) and within a stream at the line's full rate.

#include "fedline.h"
#include "pseudoterminal.h"
#include "windowfixture.h"

#include "gdt/gdtexchange.h"
#include "scale/framesplitter.h"
#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"
#include "scale/serialportline.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>
#include <optional>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::vector<QByteArray> sampleFrames()
{
    std::vector<QByteArray> frames;
    for (int i = 0; i < 64; ++i)
        frames.push_back(encodeReading(1103 + 16 * i, 1500 + 37 * i));
    return frames;
}

void decodeOnly(benchmark::State &state)
{
    const auto frames = sampleFrames();
    std::size_t i = 0;
    for (auto _ : state) {
        const FrameCounts counts = decodeFrame(cutFrame(frames[i++ % frames.size()]));
        benchmark::DoNotOptimize(scaleReading(counts.weight));
        benchmark::DoNotOptimize(UmrechnungBin(counts.height));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(decodeOnly);

// A continuous stream split into frames and decoded, read a byte at a time (a reader
// keeping up with the UART) or in larger chunks (a reader that was away).
void splitStream(benchmark::State &state)
{
    QByteArray stream;
    for (const QByteArray &frame : sampleFrames())
        stream += frame;
    const qsizetype chunk = state.range(0);
    FrameSplitter splitter;
    splitter.lineQuiet();
    qint64 frames = 0;
    for (auto _ : state) {
        for (qsizetype at = 0; at < stream.size(); at += chunk) {
            splitter.receive(QByteArrayView(stream).sliced(at, chunk), 1);
            while (splitter.framesReady() > 0) {
                const FrameCounts counts = decodeFrame(cutFrame(splitter.take()));
                benchmark::DoNotOptimize(scaleReading(counts.weight));
                benchmark::DoNotOptimize(UmrechnungBin(counts.height));
                ++frames;
            }
        }
    }
    state.SetItemsProcessed(frames);
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(splitStream)->Arg(1)->Arg(64);

void receiveHandler(benchmark::State &state)
{
    const auto frames = sampleFrames();
    FedLine line;
    WindowFixture f;
    f.services.serial = &line;
    f.create();
    f.form->show();
    std::size_t i = 0;
    for (auto _ : state) {
        line.feed(frames[i++ % frames.size()]);
        f.form->MSComm1_OnComm();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["line maximum multiple"] = benchmark::Counter(
        static_cast<double>(state.iterations()) / 240.0, benchmark::Counter::kIsRate);
}
BENCHMARK(receiveHandler);

// The real window reading its scale from a pseudo-terminal.
struct WindowOnPty
{
    explicit WindowOnPty(GdtExchange *gdt = nullptr)
    {
        f.services.serial = &line;
        f.services.gdt = gdt;
        f.create();
    }
    PseudoTerminal scale;
    SerialPortLine line{scale.path()};
    WindowFixture f;
};

// From the write of a frame's last byte on the other side of a pseudo-terminal to the
// moment the handler has written Text1.
void ptyWriteToField(benchmark::State &state)
{
    WindowOnPty window;
    PseudoTerminal &scale = window.scale;
    QLineEdit *weight = window.f.field("Text1");
    const auto frames = sampleFrames();
    std::size_t i = 0;
    double slowest = 0;

    QEventLoop loop;
    QObject::connect(weight, &QLineEdit::textChanged, &loop, &QEventLoop::quit);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] { loop.exit(1); });

    for (auto _ : state) {
        const QByteArray &frame = frames[i++ % frames.size()];
        const auto start = std::chrono::steady_clock::now();
        scale.write(frame);
        timeout.start(1000);
        const int lost = loop.exec();
        const auto end = std::chrono::steady_clock::now();
        timeout.stop();
        if (lost) {
            state.SkipWithError("frame did not reach Text1");
            break;
        }
        const double seconds = std::chrono::duration<double>(end - start).count();
        slowest = std::max(slowest, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["slowest_ms"] = slowest * 1000;
}
BENCHMARK(ptyWriteToField)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

// An exchange directory as a busy practice has it: 5,000 files, and another program
// creating and removing a file every 50 ms (here a thread, writing as that program would).
struct BusyExchangeDirectory
{
    BusyExchangeDirectory()
    {
        for (int i = 0; i < 5000; ++i) {
            QFile file(dir.filePath(QStringLiteral("PRAX%1.DAT").arg(i, 4, 10, QLatin1Char('0'))));
            file.open(QIODevice::WriteOnly);
        }
        churn = std::thread([this] {
            const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("churn.tmp")));
            while (!done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ::close(::open(path.constData(), O_WRONLY | O_CREAT, 0600));
                ::unlink(path.constData());
            }
        });
    }
    ~BusyExchangeDirectory()
    {
        done = true;
        churn.join();
    }
    QTemporaryDir dir;
    std::atomic<bool> done = false;
    std::thread churn;
};

// Four seconds of frames at 240 a second, bytes back to back like a UART's, written
// on a pseudo-terminal by a thread at real-time priority where allowed. Per frame the
// time from the write of its last byte to its weight in Text1; the reported time is
// the mean, with the 99th percentile, the slowest and the share of frames shown as
// counters. With argument 1 the window also watches a busy exchange directory.
void ptyStreamToField(benchmark::State &state)
{
    std::optional<BusyExchangeDirectory> busy;
    std::optional<GdtExchange> gdt;
    if (state.range(0) == 1) {
        busy.emplace();
        gdt.emplace(busy->dir.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    }
    WindowOnPty window(gdt ? &*gdt : nullptr);
    PseudoTerminal &scale = window.scale;
    QLineEdit *weight = window.f.field("Text1");

    using Clock = std::chrono::steady_clock;
    constexpr int frameCount = 960;
    constexpr std::chrono::nanoseconds characterTime{1'000'000'000LL * 10 / 9600};
    QByteArray stream;
    for (int i = 0; i < frameCount; ++i)
        stream += encodeReading(1500 + i % 500, 1500 + i); // every weight text differs
    std::vector<Clock::time_point> written(frameCount);
    std::vector<Clock::time_point> shown;
    shown.reserve(frameCount);
    QObject::connect(weight, &QLineEdit::textChanged, [&] { shown.push_back(Clock::now()); });

    for (auto _ : state) {
        shown.clear();
        std::atomic<bool> done = false;
        std::thread writer([&] {
            const RealTime realTime;
            const auto start = Clock::now() + std::chrono::milliseconds(20);
            for (qsizetype i = 0; i < stream.size(); ++i) {
                std::this_thread::sleep_until(start + i * characterTime);
                scale.write(stream.sliced(i, 1));
                if (i % 4 == 3)
                    written[i / 4] = Clock::now();
            }
            done = true;
        });
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done)
                loop.quit();
        });
        poll.start(50);
        loop.exec();
        writer.join();
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();

        if (shown.size() != written.size()) {
            state.counters["frames_shown_share"] = double(shown.size()) / frameCount;
            state.SkipWithError("not every frame reached Text1");
            break;
        }
        std::vector<double> delays;
        for (int i = 0; i < frameCount; ++i)
            delays.push_back(std::chrono::duration<double>(shown[i] - written[i]).count());
        std::sort(delays.begin(), delays.end());
        state.SetIterationTime(std::accumulate(delays.begin(), delays.end(), 0.0) / frameCount);
        state.counters["p99_ms"] = delays[(frameCount * 99 + 99) / 100 - 1] * 1000;
        state.counters["slowest_ms"] = delays.back() * 1000;
        state.counters["frames_shown_share"] = double(shown.size()) / frameCount;
    }
}
BENCHMARK(ptyStreamToField)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
