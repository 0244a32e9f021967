#include "commandline.h"
#include "form1.h"
#include "systemservices.h"

#include "records/defaultratings.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

#include "report/qtreportprinter.h"
#include "scale/seriallinefactory.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARINE_VERSION));
    const CommandLine options = parseCommandLine(QApplication::arguments());
    loadGermanTranslations(application);
    // The station serves German systems; a machine with no locale configured at all
    // ("C") would otherwise store dates and decimal points in a form no one reads there.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    if (!QDir().mkpath(options.dataDir)) {
        std::fprintf(stderr, "Datenverzeichnis %s kann nicht angelegt werden.\n",
                     qPrintable(QDir::toNativeSeparators(options.dataDir)));
        return 1;
    }

    // Scale line (the scale link provides the factory).
    auto line = createSerialLine(options.port, options.simulateScale);

    // Printed report (the report provides the printer).
    std::unique_ptr<ReportPrinterProvider> printers = std::make_unique<QtReportPrinterProvider>();

    // Default rating texts are installed into the data directory by the records.
    installDefaultRatingFiles(options.dataDir);

    WidgetMessageBoxes messages;
    SystemShutdown shutdown;
    SystemClock clock;
    Form1Services services;
    services.messages = &messages;
    services.shutdown = &shutdown;
    services.serial = line.get();
    services.printers = printers.get();
    services.clock = &clock;
    services.dataDir = options.dataDir;

    Form1 window(services);
    messages.setParent(&window);
    window.show();
    window.guard([&window] { window.Form_Load(); });
    return QApplication::exec();
}
