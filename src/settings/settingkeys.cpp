#include "settingkeys.h"

#include "files/statedirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <array>

namespace {

QString noDefault()
{
    return {};
}

QString stationIdDefault()
{
    return QStringLiteral("BMI1");
}

QString practiceIdDefault()
{
    return QStringLiteral("EDV1");
}

QString notEmpty(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("der Wert ist leer") : QString();
}

QString absoluteDirectory(const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("der Wert ist leer");
    if (!QDir::isAbsolutePath(value))
        return QStringLiteral("%1 ist kein vollständiger Pfad").arg(quotedForMessage(value));
    return {};
}

QString absoluteDirectoryOrEmpty(const QString &value)
{
    return value.isEmpty() ? QString() : absoluteDirectory(value);
}

// GDT ids become parts of exchange file names, so besides being 1 to 8 printable
// ASCII characters (the field's length; three-letter ids are common) they must not hold
// what a file name cannot.
QString gdtId(const QString &value)
{
    if (value.isEmpty() || value.size() > 8)
        return QStringLiteral("%1 hat nicht 1 bis 8 Zeichen").arg(quotedForMessage(value));
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || QStringView(u"\\/:*?\"<>|").contains(c))
            return QStringLiteral("%1 enthält %2; erlaubt sind druckbare ASCII-Zeichen außer "
                                  "\\ / : * ? \" < > |")
                .arg(quotedForMessage(value), c.isPrint()
                                                  ? quotedForMessage(QString(c))
                                                  : QStringLiteral("das Steuerzeichen %1")
                                                        .arg(c.unicode(), 2, 16, QLatin1Char('0')));
    }
    return {};
}

// The log is opened only later; a folder at its path is told here, with the key and
// where it was set, and the next value applies.
QString logFileProblem(const QString &value)
{
    if (const QString problem = absoluteDirectoryOrEmpty(value);
        !problem.isEmpty() || value.isEmpty())
        return problem;
    if (QFileInfo(value).isDir())
        return QStringLiteral("%1 ist ein Verzeichnis").arg(quotedForMessage(value));
    return {};
}

QString adultRatingsDefault()
{
    return QStringLiteral("adult");
}

QString childRatingsWord(const QString &value)
{
    if (value == QLatin1String("percentiles") || value == QLatin1String("adult"))
        return {};
    return QStringLiteral("%1 ist weder „percentiles“ noch „adult“").arg(quotedForMessage(value));
}

QString gdtCharset(const QString &value)
{
    if (value.isEmpty() || value == u"1" || value == u"2" || value == u"3")
        return {};
    return QStringLiteral("%1 ist kein GDT-Zeichensatz (1, 2, 3 oder leer)")
        .arg(quotedForMessage(value));
}

QString fixedAnswerNames()
{
    return QStringLiteral("fixed");
}

QString answerNamesWord(const QString &value)
{
    if (value == QLatin1String("fixed") || value == QLatin1String("numbered"))
        return {};
    return QStringLiteral("%1 ist weder „fixed“ noch „numbered“").arg(quotedForMessage(value));
}

QString hl7PortDefault()
{
    return QStringLiteral("2575");
}

QString loopbackDefault()
{
    return QStringLiteral("127.0.0.1");
}

QString falseDefault()
{
    return QStringLiteral("false");
}

QString tcpPort(const QString &value)
{
    bool ok = false;
    const uint port = value.toUInt(&ok);
    if (!ok || port < 1 || port > 65535 || value != QString::number(port))
        return QStringLiteral("%1 ist kein TCP-Port (1 bis 65535)").arg(quotedForMessage(value));
    return {};
}

QString tcpPortOrEmpty(const QString &value)
{
    return value.isEmpty() ? QString() : tcpPort(value);
}

QString trueOrFalse(const QString &value)
{
    if (value == u"true" || value == u"false")
        return {};
    return QStringLiteral("%1 ist weder „true“ noch „false“").arg(quotedForMessage(value));
}

// Checked here with Qt Core only: an IPv4 address in dotted form, or an IPv6 address.
QString ipAddress(const QString &value)
{
    static const QRegularExpression ipv4(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    static const QRegularExpression ipv6(
        QStringLiteral("^[0-9A-Fa-f]*:[0-9A-Fa-f:.]*:[0-9A-Fa-f.]*$"));
    const QRegularExpressionMatch v4 = ipv4.match(value);
    bool valid = ipv6.match(value).hasMatch();
    if (v4.hasMatch())
        valid = v4.captured(1).toInt() < 256 && v4.captured(2).toInt() < 256 &&
                v4.captured(3).toInt() < 256 && v4.captured(4).toInt() < 256;
    if (!valid)
        return QStringLiteral("%1 ist keine IP-Adresse").arg(quotedForMessage(value));
    return {};
}

QString httpUrlOrEmpty(const QString &value)
{
    const QUrl url(value, QUrl::StrictMode);
    if (value.isEmpty() || (url.isValid() && !url.host().isEmpty() &&
                            (url.scheme() == u"http" || url.scheme() == u"https")))
        return {};
    return QStringLiteral("%1 ist keine http- oder https-Adresse").arg(quotedForMessage(value));
}

// Texts that go into HL7 fields and FHIR searches: no control characters.
QString printable(const QString &value)
{
    for (const QChar c : value)
        if (!c.isPrint())
            return QStringLiteral("%1 enthält ein Steuerzeichen").arg(quotedForMessage(value));
    return {};
}

const std::array<SettingKey, 23> keys{{
    {"port", "port", "DEVICE", "Serielle Schnittstelle der Waage (Vorgabe: %1).", false,
     &defaultPort, &notEmpty, &StationSettings::port},
    {"dataDir", "data-dir", "DIR", "Verzeichnis der Verlaufs- und Bewertungsdateien (Vorgabe: %1).",
     true, &defaultDataDir, &absoluteDirectory, &StationSettings::dataDir},
    {"gdt/directory", "gdt-dir", "DIR",
     "Austauschverzeichnis der Praxissoftware für GDT (Vorgabe: keines, ohne GDT).", true,
     &noDefault, &absoluteDirectoryOrEmpty, &StationSettings::gdtDirectory},
    {"gdt/stationId", nullptr, nullptr, nullptr, false, &stationIdDefault, &gdtId,
     &StationSettings::gdtStationId},
    {"gdt/practiceId", nullptr, nullptr, nullptr, false, &practiceIdDefault, &gdtId,
     &StationSettings::gdtPracticeId},
    {"ratings/children", nullptr, nullptr, nullptr, false, &adultRatingsDefault, &childRatingsWord,
     &StationSettings::childRatings},
    {"logFile", nullptr, nullptr, nullptr, true, &defaultLogFile, &logFileProblem,
     &StationSettings::logFile},
    {"gdt/answerDirectory", nullptr, nullptr, nullptr, true, &noDefault, &absoluteDirectoryOrEmpty,
     &StationSettings::gdtAnswerDirectory},
    {"gdt/charset", nullptr, nullptr, nullptr, false, &noDefault, &gdtCharset,
     &StationSettings::gdtCharset},
    {"gdt/answerNames", nullptr, nullptr, nullptr, false, &fixedAnswerNames, &answerNamesWord,
     &StationSettings::gdtAnswerNames},
    {"hl7/host", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::hl7Host},
    {"hl7/port", nullptr, nullptr, nullptr, false, &hl7PortDefault, &tcpPort,
     &StationSettings::hl7Port},
    {"hl7/facility", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::hl7Facility},
    {"hl7/receivingApplication", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::hl7ReceivingApplication},
    {"hl7/receivingFacility", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::hl7ReceivingFacility},
    {"hl7/assigningAuthority", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::hl7AssigningAuthority},
    {"hl7/tls", nullptr, nullptr, nullptr, false, &falseDefault, &trueOrFalse,
     &StationSettings::hl7Tls},
    {"hl7/caFile", nullptr, nullptr, nullptr, true, &noDefault, &absoluteDirectoryOrEmpty,
     &StationSettings::hl7CaFile},
    {"hl7/listenPort", nullptr, nullptr, nullptr, false, &noDefault, &tcpPortOrEmpty,
     &StationSettings::hl7ListenPort},
    {"hl7/listenAddress", nullptr, nullptr, nullptr, false, &loopbackDefault, &ipAddress,
     &StationSettings::hl7ListenAddress},
    {"fhir/baseUrl", nullptr, nullptr, nullptr, false, &noDefault, &httpUrlOrEmpty,
     &StationSettings::fhirBaseUrl},
    {"fhir/patientIdentifierSystem", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::fhirPatientIdentifierSystem},
    {"fhir/token", nullptr, nullptr, nullptr, false, &noDefault, &printable,
     &StationSettings::fhirToken},
}};

} // namespace

std::span<const SettingKey> settingKeys()
{
    return keys;
}

QString quotedForMessage(const QString &text)
{
    constexpr qsizetype longest = 120;
    if (text.size() <= longest)
        return QStringLiteral("„%1“").arg(text);
    return QStringLiteral("„%1…%2“").arg(text.first(longest / 2), text.last(longest / 2));
}

const SettingKey *findSettingKey(QStringView key, Qt::CaseSensitivity cs)
{
    for (const SettingKey &k : keys) {
        if (key.compare(QLatin1String(k.key), cs) == 0)
            return &k;
    }
    return nullptr;
}

QString normalisedSetting(const SettingKey &key, const QString &value)
{
    return key.isPath && !value.isEmpty() ? QDir::cleanPath(value) : value;
}
