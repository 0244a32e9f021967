#pragma once

#include <QString>

#include <span>

// What an installation may set. Each value comes from the command line, the user's
// settings, the system-wide settings or the default, in this order of precedence.
struct StationSettings
{
    QString port;               // serial device of the scale
    QString dataDir;            // history and rating files; an absolute, clean path
    QString gdtDirectory;       // exchange directory of the practice system; empty: no GDT link
    QString gdtStationId;       // this station's GDT id: 1 to 8 printable ASCII characters
    QString gdtPracticeId;      // the practice system's GDT id, likewise
    QString gdtAnswerDirectory; // where answers go; empty: the exchange directory
    QString gdtCharset;         // "1", "2" or "3" read in place of the declared set; empty: none
    QString gdtAnswerNames;     // "fixed": always <practice><station>.GDT; "numbered": .001 on
    QString childRatings;       // "percentiles": children by BMI percentile; "adult": adult rules
    QString logFile;            // the support log; empty: none
    QString hl7Host;            // where HL7 results go; empty: no HL7 results
    QString hl7Port;            // its TCP port
    QString hl7Facility;        // MSH-4: this station's place
    QString hl7ReceivingApplication; // MSH-5
    QString hl7ReceivingFacility;    // MSH-6
    QString hl7AssigningAuthority;   // PID-3.4 of identifiers that name none
    QString hl7Tls;                  // "true": results over TLS
    QString hl7CaFile;               // certificates the peer's must chain to; empty: the system's
    QString hl7ListenPort;           // where HL7 orders come in; empty: none
    QString hl7ListenAddress;        // the address listened on
    QString fhirBaseUrl;             // where FHIR transactions are POSTed; empty: no FHIR results
    QString fhirPatientIdentifierSystem; // the system of the patient identifiers
    QString fhirToken;                   // bearer token; only from a file no one else can read
};

// One setting. Adding a setting is adding a field above and a row to settingKeys().
struct SettingKey
{
    const char *key;         // in the settings files: "port", "gdt/stationId"
    const char *option;      // command-line option without dashes; nullptr: none
    const char *valueName;   // the option's value in the help: "DEVICE"
    const char *description; // German help text, UTF-8; a %1 in it stands for the default
    bool isPath;             // a directory: relative command-line values become absolute
    QString (*defaultValue)();
    // Empty for a valid value, else the German reason ("der Wert ist leer").
    QString (*problem)(const QString &value);
    QString StationSettings::*field;
};

std::span<const SettingKey> settingKeys();
const SettingKey *findSettingKey(QStringView key, Qt::CaseSensitivity cs = Qt::CaseSensitive);

// text in „“ for a message, its middle left out ("…") beyond 120 characters: a key or
// value can be as long as its file, and a message box as wide.
QString quotedForMessage(const QString &text);

// The value as it is stored: paths cleaned, other texts unchanged.
QString normalisedSetting(const SettingKey &key, const QString &value);

// Platform defaults: COM1 and "C:\Eigene Dateien" on Windows, /dev/ttyS0 and
// "$HOME/Eigene Dateien" elsewhere.
QString defaultPort();
QString defaultDataDir();
