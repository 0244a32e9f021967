#include "commandline.h"
#include "consoleoutput.h"
#include "endrequests.h"
#include "form1.h"
#include "hospitallinks.h"
#include "loggedmessageboxes.h"
#include "serialports.h"
#include "systemservices.h"
#include "windowstart.h"

#include "common/logcategories.h"
#include "files/statedirectory.h"
#include "gdt/gdtexchange.h"
#include "orders/worklist.h"
#include "outbox/outboxpump.h"
#include "records/datadirectory.h"
#include "records/defaultratings.h"
#include "report/qtreportprinter.h"
#include "scale/seriallinefactory.h"
#include "settings/settingsmerge.h"
#include "supportlog/supportlog.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QSysInfo>

#include <cstdio>
#include <optional>

namespace {

void print(std::FILE *stream, QString text)
{
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

struct Startup
{
    MergedSettings settings;
    QString userStore; // where the operator sets what the command line does not
    bool simulateScale = false;
    QStringList arguments;
    bool console = true; // stdout and stderr reach someone
};

// The part of the start that needs no display: command line and settings. Returns
// an exit code when the program ends here (help, version, port list, bad arguments).
std::optional<int> readCommandLineAndSettings(int &argc, char **argv, Startup &startup)
{
    QCoreApplication core(argc, argv);
    loadGermanTranslations(core);
    const QList<SettingsSource> stores = readStationStores();
    QStringList storeNames;
    for (const SettingsSource &store : stores)
        storeNames << store.name;

    const CommandLine commandLine = parseCommandLine(QCoreApplication::arguments(), storeNames);
    // The command line's own answers go to the console, or into a box without one.
    const auto answer = [&startup](std::FILE *stream, const QString &text) {
        if (startup.console)
            print(stream, text);
        else
            showWithoutConsole(text, stream == stderr);
    };
    switch (commandLine.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        answer(stdout, commandLine.text);
        return 0;
    case CommandLine::Action::ListPorts: {
        const QStringList ports = availableSerialPorts();
        if (ports.isEmpty())
            answer(stderr, QStringLiteral("Keine serielle Schnittstelle gefunden."));
        else
            answer(stdout, ports.join(QLatin1Char('\n')));
        return 0;
    }
    case CommandLine::Action::Fail:
        answer(stderr, commandLine.text);
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    startup.settings = mergeSettings(QList<SettingsSource>{commandLine.settings} + stores);
    startup.userStore = storeNames.value(0);
    startup.simulateScale = commandLine.simulateScale;
    startup.arguments = QCoreApplication::arguments();
    return std::nullopt;
}

// A start-up failure that ends the program: on stderr, and in a message box when a
// display exists, since a program started from the menu has no visible stderr.
int failStartup(int &argc, char **argv, const QString &message, const QStringList &arguments)
{
    print(stderr, message);
    qCInfo(logApp).noquote() << QStringLiteral("Start abgebrochen: ") + message;
    if (displayAvailable(arguments)) {
        QApplication application(argc, argv);
        loadGermanTranslations(application);
        // Nobody could close a box on a platform without a screen.
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
            WidgetMessageBoxes messages;
            LoggedMessageBoxes(messages).inform(message);
        }
    }
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessarine"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARINE_VERSION));
    // The station serves German systems; a machine with no locale configured at all
    // ("C") would otherwise store dates and decimal points in a form no one reads there.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    Startup startup;
    startup.console = prepareConsoleOutput();
    if (const std::optional<int> exitCode = readCommandLineAndSettings(argc, argv, startup))
        return *exitCode;
    const StationSettings &settings = startup.settings.values;
    // A log that cannot be written is told in the start-up message as well: a station
    // started from the menu has no visible standard error.
    QStringList logProblems;
    const SupportLog log(settings.logFile, [&logProblems](const QString &text) {
        print(stderr, text);
        logProblems << text;
    });
    qCInfo(logApp).noquote() << QStringLiteral("Start: Tessarine %1 auf %2 (%3)")
                                    .arg(QCoreApplication::applicationVersion(),
                                         QSysInfo::prettyProductName(),
                                         QSysInfo::currentCpuArchitecture());
    logSettingsInEffect(startup.settings);
    for (const QString &message : std::as_const(startup.settings.messages))
        print(stderr, message);
    startup.settings.messages << logProblems;

    if (const QString cause = createDataDirectory(settings.dataDir); !cause.isEmpty()) {
        const SettingKey *key = findSettingKey(u"dataDir");
        const QString origin =
            originText(*key, startup.settings.origins.value(key->key), startup.userStore);
        return failStartup(
            argc, argv,
            printableText(QStringLiteral("Das Datenverzeichnis %1 kann nicht "
                                         "angelegt werden: %2. Der Wert ist %3.")
                              .arg(QDir::toNativeSeparators(settings.dataDir), cause, origin)),
            startup.arguments);
    }
    if (!displayAvailable(startup.arguments)) {
        print(stderr, QStringLiteral("Tessarine braucht eine grafische Anzeige, doch weder "
                                     "DISPLAY noch WAYLAND_DISPLAY ist gesetzt. Die Optionen "
                                     "zeigt: tessarine --help"));
        return 1;
    }

    QApplication application(argc, argv);
    loadGermanTranslations(application);

    auto line = createSerialLine(settings.port, startup.simulateScale);
    std::unique_ptr<ReportPrinterProvider> printers = std::make_unique<QtReportPrinterProvider>();
    installDefaultRatingFiles(settings.dataDir);

    // Without an exchange directory there is no GDT link, and nothing of it shows.
    std::unique_ptr<GdtExchange> gdt;
    if (!settings.gdtDirectory.isEmpty()) {
        gdt = std::make_unique<GdtExchange>(settings.gdtDirectory, settings.gdtStationId,
                                            settings.gdtPracticeId);
        gdt->setAnswerDirectory(settings.gdtAnswerDirectory);
        gdt->setCharset(gdtCharsetFromField(settings.gdtCharset.toLatin1()));
        gdt->setAnswerNames(gdtAnswerNamesFromSetting(settings.gdtAnswerNames));
    }
    // What the station keeps for itself: read before the window, so that no request
    // or answer of an earlier run is missed.
    Worklist worklist(stateDirectory() + QStringLiteral("/worklist.json"));
    Outbox outbox(stateDirectory() + QStringLiteral("/outbox.json"));
    OutboxPump outboxPump(outbox, [] { return QDateTime::currentDateTime(); });

    // Before the port opens, so that no signal can end the program past its lock.
    EndRequests endRequests;
    WidgetMessageBoxes boxes;
    LoggedMessageBoxes messages(boxes);
    SystemShutdown shutdown;
    SystemClock clock;
    Form1Services services;
    services.messages = &messages;
    services.shutdown = &shutdown;
    services.serial = line.get();
    services.printers = printers.get();
    services.clock = &clock;
    services.gdt = gdt.get();
    services.worklist = &worklist;
    services.outbox = &outboxPump;
    // The hospital's links, where the settings name them: results into the outbox, and
    // orders into the worklist once the window is loaded.
    HospitalLinks hospital(settings, outboxPump);
    services.sinks.append(hospital.sinks());
    services.dataDir = settings.dataDir;
    services.children = settings.childRatings == QLatin1String("percentiles")
                            ? ChildRatings::Percentiles
                            : ChildRatings::Adult;
    const SettingKey *portKey = findSettingKey(u"port");
    services.portAdvice = [&startup, portKey] {
        return portAdvice(
            originText(*portKey, startup.settings.origins.value(portKey->key), startup.userStore),
            availableSerialPorts());
    };

    Form1 window(services);
    boxes.setParent(&window);
    centreOnScreen(window);
    window.writeStartState(); // the port and the exchange directory wait until it shows
    window.show();
    // Start-up messages open once the window is on the screen, so that they centre
    // over it and not over where the window system had yet to place it.
    whenShown(window, [&] {
        qCDebug(logApp) << "Fenster gezeigt"; // the end of the start, for bench/cpu-share.sh
        window.guard([&window] { window.Form_Load(); });
        const QString listening =
            hospital.listen([&window](const Order &order) { return window.keepOrder(order); });
        QStringList startMessages = startup.settings.messages;
        if (!listening.isEmpty()) {
            qCWarning(logApp).noquote() << listening;
            startMessages << listening;
        }
        for (const QString &problem : {worklist.problem(), outbox.problem()}) {
            if (!problem.isEmpty())
                startMessages << problem;
        }
        if (!startMessages.isEmpty())
            messages.inform(startMessages.join(QStringLiteral("\n\n")));
    });
    const int exitCode = QApplication::exec();
    qCInfo(logApp).noquote() << QStringLiteral("Ende (Rückgabewert %1)").arg(exitCode);
    return exitCode;
}
