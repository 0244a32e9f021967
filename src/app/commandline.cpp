#include "commandline.h"

#include "settings/settingkeys.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

constexpr char usage[] = "Aufruf: tessarine [--port DEVICE] [--data-dir DIR] [--gdt-dir DIR] "
                         "[--simulate-scale] [--list-ports]";

// QApplication takes these out of the arguments later; here they must not count
// as unknown.
QList<QCommandLineOption> qtWindowOptions()
{
    QList<QCommandLineOption> options;
    for (const char *name : {"platform", "platformtheme", "style", "stylesheet", "qwindowgeometry",
                             "qwindowtitle", "display", "geometry"}) {
        QCommandLineOption option(QString::fromLatin1(name), {}, QStringLiteral("VALUE"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        options << option;
    }
    QCommandLineOption reverse(QStringLiteral("reverse"));
    reverse.setFlags(QCommandLineOption::HiddenFromHelp);
    options << reverse;
    return options;
}

CommandLine failed(const QString &error)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.text = error + QLatin1Char('\n') + QLatin1String(usage);
    return result;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QStringList &storeNames)
{
    QCommandLineParser parser;
    // Qt's own options come with one dash ("-platform offscreen").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Tessarine – BMI-Station: Waage, Verlauf, Grafik und Ausdruck.\n"
                       "Einstellungen ohne Option kommen aus: %1; sonst gilt die Vorgabe.")
            .arg(storeNames.join(QStringLiteral(", dann "))));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    QList<std::pair<const SettingKey *, QCommandLineOption>> settingOptions;
    for (const SettingKey &key : settingKeys()) {
        if (!key.option)
            continue;
        QString description = QString::fromUtf8(key.description);
        if (description.contains(QLatin1String("%1")))
            description = description.arg(key.isPath ? QDir::toNativeSeparators(key.defaultValue())
                                                     : key.defaultValue());
        const QCommandLineOption option(QLatin1String(key.option), description,
                                        QLatin1String(key.valueName));
        parser.addOption(option);
        settingOptions.append({&key, option});
    }
    const QCommandLineOption simulate(
        QStringLiteral("simulate-scale"),
        QStringLiteral("Simulierte Waage statt der seriellen Leitung."));
    const QCommandLineOption listPorts(
        QStringLiteral("list-ports"),
        QStringLiteral("Die seriellen Schnittstellen dieses Rechners auflisten."));
    parser.addOptions({simulate, listPorts});
    parser.addOptions(qtWindowOptions());

    if (!parser.parse(arguments))
        return failed(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return failed(QStringLiteral("Unerwartetes Argument: %1")
                          .arg(parser.positionalArguments().constFirst()));
    }

    CommandLine result;
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = CommandLine::Action::Help;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion());
        return result;
    }
    if (parser.isSet(listPorts)) {
        result.action = CommandLine::Action::ListPorts;
        return result;
    }

    result.settings.kind = SettingsSource::Kind::CommandLine;
    result.settings.name = QStringLiteral("Befehlszeile");
    for (const auto &[key, option] : std::as_const(settingOptions)) {
        if (!parser.isSet(option))
            continue;
        QString value = parser.value(option);
        // Relative to where the command was given, as a shell user expects.
        if (key->isPath && !value.isEmpty())
            value = QDir::current().absoluteFilePath(value);
        if (const QString problem = key->problem(value); !problem.isEmpty())
            return failed(QStringLiteral("--%1: %2").arg(QLatin1String(key->option), problem));
        result.settings.values.insert(QLatin1String(key->key), {value, {}});
    }
    result.simulateScale = parser.isSet(simulate);
    return result;
}
