// tessarine-scale-sim: sends the frames of a scale on which a person stands, on a
// given serial device or on a new pseudo-terminal whose path it prints.

#include "framesink.h"

#include "scale/scaleframe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

struct Options
{
    QString device;
    double weightKg = 75.0;
    int heightMm = 1780;
    double rate = 5.0;
    double tareKg = 4.5;
    int emptyFrames = 5;
    long long count = 0;
    int noiseCounts = 2;
    bool paced = false;
};

Options parse(const QCoreApplication &application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Sendet Rahmen einer Waage, auf der eine Person steht. Ohne --device wird ein "
        "Pseudo-Terminal angelegt und sein Pfad ausgegeben."));
    parser.addHelpOption();
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("Serielle Schnittstelle, auf die geschrieben wird."),
        QStringLiteral("PATH"));
    const QCommandLineOption weight(QStringLiteral("weight"),
                                    QStringLiteral("Gewicht der Person in kg (Vorgabe 75)."),
                                    QStringLiteral("KG"), QStringLiteral("75"));
    const QCommandLineOption height(QStringLiteral("height"),
                                    QStringLiteral("Größe in mm, 1103 bis 2126 (Vorgabe 1780)."),
                                    QStringLiteral("MM"), QStringLiteral("1780"));
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  QStringLiteral("Rahmen pro Sekunde (Vorgabe 5)."),
                                  QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption tare(QStringLiteral("tare"),
                                  QStringLiteral("Anzeige der leeren Waage in kg (Vorgabe 4.5)."),
                                  QStringLiteral("KG"), QStringLiteral("4.5"));
    const QCommandLineOption empty(
        QStringLiteral("empty"),
        QStringLiteral("Rahmen der leeren Waage vor dem Betreten (Vorgabe 5)."),
        QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("Anzahl Rahmen, dann Ende (Vorgabe 0: endlos)."),
                                   QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Zittern in Zählschritten (Vorgabe 2)."),
                                   QStringLiteral("N"), QStringLiteral("2"));
    const QCommandLineOption paced(
        QStringLiteral("paced"),
        QStringLiteral("Bytes einzeln im Takt einer echten Leitung (etwa 1 ms) senden."));
    parser.addOptions({device, weight, height, rate, tare, empty, count, noise, paced});
    parser.process(application);

    bool ok = true;
    auto number = [&](const QCommandLineOption &option) {
        bool valid = false;
        const double value = parser.value(option).toDouble(&valid);
        if (!valid) {
            std::fprintf(stderr, "tessarine-scale-sim: --%s: keine Zahl: %s\n",
                         qPrintable(option.names().constFirst()), qPrintable(parser.value(option)));
            ok = false;
        }
        return value;
    };
    Options options;
    options.device = parser.value(device);
    options.weightKg = number(weight);
    options.heightMm = static_cast<int>(number(height));
    options.rate = number(rate);
    options.tareKg = number(tare);
    options.emptyFrames = static_cast<int>(number(empty));
    options.count = static_cast<long long>(number(count));
    options.noiseCounts = static_cast<int>(number(noise));
    options.paced = parser.isSet(paced);
    if (ok && options.rate <= 0) {
        std::fprintf(stderr, "tessarine-scale-sim: --rate muss größer als 0 sein\n");
        ok = false;
    }
    if (!ok)
        std::exit(2);
    return options;
}

using Clock = std::chrono::steady_clock;

// One character on the line: start bit, 8 data bits, stop bit at 9600 Bd.
constexpr std::chrono::nanoseconds characterTime{1'000'000'000LL * 10 / 9600};

// Paced, byte i leaves at start + i character times, as from a UART: at the line's
// full rate the frames follow each other without any gap.
void send(FrameSink &sink, const QByteArray &frame, bool paced, Clock::time_point start)
{
    if (!paced) {
        sink.send(frame);
        return;
    }
    for (qsizetype i = 0; i < frame.size(); ++i) {
        std::this_thread::sleep_until(start + i * characterTime);
        if (!sink.send(frame.mid(i, 1)))
            return; // a frame's remainder alone would be misread as a frame
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessarine-scale-sim"));
    const Options options = parse(application);

    const std::unique_ptr<FrameSink> sink = openFrameSink(options.device);
    if (options.paced)
        keepPacingOnTime();

    const int tareCount = weightCountOf(options.tareKg);
    const int loadCount = weightCountOf(options.tareKg + options.weightKg);
    const auto interval = std::chrono::duration<double>(1.0 / options.rate);
    auto next = Clock::now();
    for (long long frame = 0; options.count == 0 || frame < options.count; ++frame) {
        int weightCount = tareCount;
        int height = 2126;
        if (frame >= options.emptyFrames) {
            const int noise = options.noiseCounts > 0
                                  ? QRandomGenerator::global()->bounded(-options.noiseCounts,
                                                                        options.noiseCounts + 1)
                                  : 0;
            weightCount = loadCount + noise;
            height = options.heightMm;
        }
        send(*sink, encodeReading(height, weightCount), options.paced, next);
        next += std::chrono::duration_cast<Clock::duration>(interval);
        std::this_thread::sleep_until(next);
    }
    return 0;
}
