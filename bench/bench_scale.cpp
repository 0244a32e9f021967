// Reception path of the scale: decoding alone, decoding plus the field updates of the
// offscreen window, and the time from a frame's last byte on a pseudo-terminal to its
// weight in Text1 (the idle gap that ends a frame included).

#include "fedline.h"
#include "windowfixture.h"

#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"
#include "scale/serialportline.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include <pty.h>
#include <termios.h>
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

// From the write of a frame's last byte on the other side of a pseudo-terminal to the
// moment the handler has written Text1.
void ptyWriteToField(benchmark::State &state)
{
    int master = -1;
    int other = -1;
    char name[256] = {};
    if (openpty(&master, &other, name, nullptr, nullptr) != 0) {
        state.SkipWithError("openpty failed");
        return;
    }
    ::close(other);

    SerialPortLine line(QString::fromLocal8Bit(name));
    WindowFixture f;
    f.services.serial = &line;
    f.create();
    QLineEdit *weight = f.field("Text1");
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
        if (::write(master, frame.constData(), 4) != 4) {
            state.SkipWithError("pty write failed");
            break;
        }
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
    ::close(master);
}
BENCHMARK(ptyWriteToField)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
