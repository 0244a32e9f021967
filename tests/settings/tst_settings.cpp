#include "filebytes.h"
#include "settings/settingsmerge.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// An INI file holding key=value, with "gdt/x" written as x in the [gdt] section.
// A null value leaves the key out.
SettingsSource storeWith(const QString &path, const QString &key, const QString &value)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    if (!value.isNull()) {
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        const QString line =
            slash < 0
                ? key + QLatin1Char('=') + value + QLatin1Char('\n')
                : QStringLiteral("[%1]\n%2=%3\n").arg(key.left(slash), key.mid(slash + 1), value);
        file.write("; written by the test\n" + line.toUtf8());
    }
    file.close();
    return readSettingsFile(path);
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Command line, then the user's store, then the system's, then the default; a bad
    // value is reported with its store and key and the next value applies.
    void precedence_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("commandLine"); // null: option not given
        QTest::addColumn<QString>("user");        // null: key not in the file
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("from");    // "command line", "user", "system", "default"
        QTest::addColumn<QString>("badIn");   // the store named in the one message
        QTest::addColumn<QString>("message"); // in that message; empty: no message

        const QString none;
        const QString port = QStringLiteral("port");
        const QString dataDir = QStringLiteral("dataDir");
        const QString gdtDir = QStringLiteral("gdt/directory");
        const QString station = QStringLiteral("gdt/stationId");
        const QString practice = QStringLiteral("gdt/practiceId");
        const QString children = QStringLiteral("ratings/children");
        QTest::newRow("port default") << port << none << none << none << defaultPort() << "default"
                                      << ""
                                      << "";
        QTest::newRow("system over default") << port << none << none << "/dev/ttyUSB1"
                                             << "/dev/ttyUSB1"
                                             << "system"
                                             << ""
                                             << "";
        QTest::newRow("user over system") << port << none << "COM3"
                                          << "/dev/ttyUSB1"
                                          << "COM3"
                                          << "user"
                                          << ""
                                          << "";
        QTest::newRow("command line over user") << port << "/dev/ttyACM0"
                                                << "COM3"
                                                << "/dev/ttyUSB1"
                                                << "/dev/ttyACM0"
                                                << "command line"
                                                << ""
                                                << "";
        QTest::newRow("empty user port: system's applies")
            << port << none << ""
            << "/dev/ttyUSB1"
            << "/dev/ttyUSB1"
            << "system"
            << "user"
            << "der Wert ist leer. Es gilt „/dev/ttyUSB1“ aus ";
        QTest::newRow("bad system value behind a good user one is still reported")
            << port << none << "COM3"
            << ""
            << "COM3"
            << "user"
            << "system"
            << "der Wert ist leer. Es gilt „COM3“ aus ";
        QTest::newRow("data dir default")
            << dataDir << none << none << none << defaultDataDir() << "default"
            << ""
            << "";
        QTest::newRow("relative data dir: default applies")
            << dataDir << none << none << "Eigene Dateien" << defaultDataDir() << "default"
            << "system"
            << "„Eigene Dateien“ ist kein vollständiger Pfad. Es gilt die Vorgabe";
        QTest::newRow("unquoted comma reads as a list")
            << dataDir << none << "/srv/bmi, alt" << none << defaultDataDir() << "default"
            << "user"
            << "der Wert ist eine Liste";
        QTest::newRow("quoted comma")
            << dataDir << none << "\"/srv/bmi, alt\"" << none << "/srv/bmi, alt"
            << "user"
            << ""
            << "";
        QTest::newRow("data dir cleaned") << dataDir << none << "/srv//bmi/" << none << "/srv/bmi"
                                          << "user"
                                          << ""
                                          << "";
        QTest::newRow("gdt off by default") << gdtDir << none << none << none << ""
                                            << "default"
                                            << ""
                                            << "";
        QTest::newRow("user turns gdt off") << gdtDir << none << ""
                                            << "/srv/gdt"
                                            << ""
                                            << "user"
                                            << ""
                                            << "";
        QTest::newRow("gdt dir from command line") << gdtDir << "/mnt/praxis" << none << "/srv/gdt"
                                                   << "/mnt/praxis"
                                                   << "command line"
                                                   << ""
                                                   << "";
        QTest::newRow("hl7 port at the bound") << "hl7/port" << none << "65535" << none << "65535"
                                               << "user"
                                               << ""
                                               << "";
        QTest::newRow("hl7 port one past") << "hl7/port" << none << "65536" << none << "2575"
                                           << "default"
                                           << "user"
                                           << "„65536“ ist kein TCP-Port";
        QTest::newRow("listen address at the bound")
            << "hl7/listenAddress" << none << none << "10.0.0.255"
            << "10.0.0.255"
            << "system"
            << ""
            << "";
        QTest::newRow("listen address one past")
            << "hl7/listenAddress" << none << "10.0.0.256" << none << "127.0.0.1"
            << "default"
            << "user"
            << "keine IP-Adresse";
        QTest::newRow("fhir base url not http")
            << "fhir/baseUrl" << none << "ftp://his/fhir" << none << ""
            << "default"
            << "user"
            << "keine http- oder https-Adresse";
        QTest::newRow("station id default") << station << none << none << none << "BMI1"
                                            << "default"
                                            << ""
                                            << "";
        QTest::newRow("station id") << station << none << "EKG" << none << "EKG"
                                    << "user"
                                    << ""
                                    << "";
        QTest::newRow("station id too long")
            << station << none << "BMI123456" << none << "BMI1"
            << "default"
            << "user"
            << "„BMI123456“ hat nicht 1 bis 8 Zeichen. Es gilt die Vorgabe: „BMI1“.";
        QTest::newRow("station id naming a directory")
            << station << none << "B/M1" << none << "BMI1"
            << "default"
            << "user"
            << "enthält „/“";
        QTest::newRow("practice id default") << practice << none << none << none << "EDV1"
                                             << "default"
                                             << ""
                                             << "";
        QTest::newRow("practice id not ASCII") << practice << none << "EDVä"
                                               << "PRX1"
                                               << "PRX1"
                                               << "system"
                                               << "user"
                                               << "enthält „ä“";
        QTest::newRow("children by a word of neither kind")
            << children << none << "Perzentile"
            << "percentiles"
            << "percentiles"
            << "system"
            << "user"
            << "„Perzentile“ ist weder „percentiles“ noch „adult“";
        QTest::newRow("answer names by a word of neither kind")
            << QStringLiteral("gdt/answerNames") << none << "nummeriert" << none << "fixed"
            << "default"
            << "user"
            << "„nummeriert“ ist weder „fixed“ noch „numbered“";
        const QString folder = QDir::cleanPath(QDir::tempPath());
        QTest::newRow("log file a folder")
            << "logFile" << none << folder << "/var/log/t.log"
            << "/var/log/t.log"
            << "system"
            << "user" << QStringLiteral("„%1“ ist ein Verzeichnis").arg(folder);
    }
    void precedence()
    {
        QFETCH(QString, key);
        QFETCH(QString, commandLine);
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(QString, expected);
        QFETCH(QString, from);
        QFETCH(QString, badIn);
        QFETCH(QString, message);

        QTemporaryDir dir;
        SettingsSource line;
        line.kind = SettingsSource::Kind::CommandLine;
        line.name = QStringLiteral("Befehlszeile");
        if (!commandLine.isNull())
            line.values.insert(key, {commandLine, {}});
        const SettingsSource userStore = storeWith(dir.filePath("user.conf"), key, user);
        const SettingsSource systemStore = storeWith(dir.filePath("system.conf"), key, system);

        const MergedSettings merged = mergeSettings({line, userStore, systemStore});
        const SettingKey *setting = findSettingKey(key);
        QVERIFY(setting);
        QCOMPARE(merged.values.*setting->field, expected);
        const SettingOrigin origin = merged.origins.value(key);
        const QHash<QString, SettingOrigin> origins{
            {"command line", {SettingOrigin::Kind::CommandLine, {}}},
            {"user", {SettingOrigin::Kind::Store, userStore.name}},
            {"system", {SettingOrigin::Kind::Store, systemStore.name}},
            {"default", {SettingOrigin::Kind::Default, {}}}};
        QCOMPARE(origin.kind, origins.value(from).kind);
        QCOMPARE(origin.name, origins.value(from).name);

        if (message.isEmpty()) {
            QCOMPARE(merged.messages, QStringList());
            return;
        }
        QCOMPARE(merged.messages.size(), 1);
        const QString text = merged.messages.constFirst();
        QVERIFY2(text.contains(message), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("„%1“").arg(key)), qPrintable(text));
        const QString badStore = badIn == "user" ? userStore.name : systemStore.name;
        QVERIFY2(text.contains(QStringLiteral(" in %1: ").arg(badStore)), qPrintable(text));
    }

    // Files a station meets in years: each is refused or reported in a message of
    // bounded length (none for a value at the bound), in printable characters, and the next value
    // applies.
    void fileBounds_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message"); // in the one message

        QByteArray manyKeys;
        for (int i = 0; i < 50000; ++i)
            manyKeys += "k" + QByteArray::number(i) + "=1\n";
        QTest::newRow("file over 1 MiB")
            << "port=COM3\n;" + QByteArray(1 << 20, 'x') << defaultPort() << "größer als 1 MiB";
        QTest::newRow("many unknown keys") << "port=COM3\n" + manyKeys << "COM3"
                                           << "“ und 49990 weitere in ";
        QTest::newRow("long unknown key") << "port=COM3\n" + QByteArray(100000, 'k') + "=1\n"
                                          << "COM3"
                                          << "kkk…kkk";
        const QString umlauts(2048, u'ä'); // 4096 bytes in UTF-8
        QTest::newRow("value of 4096 bytes") << "port=" + QByteArray(4096, 'C') + "\n"
                                             << QString(4096, u'C') << "";
        QTest::newRow("value of 4097 bytes")
            << "port=" + QByteArray(4097, 'C') + "\n"
            << defaultPort() << "der Wert ist länger als 4096 Bytes. Es gilt die";
        QTest::newRow("umlauts of 4096 bytes") << "port=" + umlauts.toUtf8() << umlauts << "";
        QTest::newRow("umlauts of 4098 bytes")
            << "port=" + (umlauts + u'ä').toUtf8() << defaultPort() << "länger als 4096 Bytes";
        QTest::newRow("value not UTF-8") << QByteArray("port=COM3\ndataDir=/srv/b\xe4r\n") << "COM3"
                                         << "kein gültiges UTF-8";
        QTest::newRow("control bytes escaped")
            << QByteArray("port=COM\x1b[2J\ndataDir=\x1b[2J\n") << "COM\x1b[2J"
            << "„\\x1b[2J“ ist kein vollständiger Pfad";
    }
    void fileBounds()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, port);
        QFETCH(QString, message);

        QTemporaryDir dir;
        const QString path = dir.filePath("user.conf");
        writeBytes(path, content);
        const MergedSettings merged = mergeSettings({readSettingsFile(path)});
        QCOMPARE(merged.values.port, port);
        QCOMPARE(merged.messages.size(), message.isEmpty() ? 0 : 1);
        if (message.isEmpty())
            return;
        const QString text = merged.messages.constFirst();
        QVERIFY2(text.contains(message) && text.contains(path), qPrintable(text));
        QVERIFY2(text.size() < 400, qPrintable(text));
        QCOMPARE(printableText(text), text);
    }

    // A bearer token is taken only from a file that neither group nor others may read.
    void tokenOnlyFromAPrivateFile_data()
    {
        QTest::addColumn<int>("permissions");
        QTest::addColumn<QString>("token");
        QTest::newRow("owner only") << int(QFile::ReadOwner | QFile::WriteOwner) << "geheim";
        QTest::newRow("group") << int(QFile::ReadOwner | QFile::ReadGroup) << "";
        QTest::newRow("others") << int(QFile::ReadOwner | QFile::ReadOther) << "";
    }
    void tokenOnlyFromAPrivateFile()
    {
        QFETCH(int, permissions);
#ifdef Q_OS_WIN
        QSKIP("Windows has no FHIR link (no Qt Network), and no file modes");
#endif
        QTemporaryDir dir;
        storeWith(dir.filePath("user.conf"), QStringLiteral("fhir/token"),
                  QStringLiteral("geheim"));
        QFile::setPermissions(dir.filePath("user.conf"), QFile::Permissions(permissions));
        const MergedSettings merged = mergeSettings({readSettingsFile(dir.filePath("user.conf"))});
        QTEST(merged.values.fhirToken, "token");
        QCOMPARE(merged.messages.size(), merged.values.fhirToken.isEmpty() ? 1 : 0);
    }

    // A settings file that is a folder, or a FIFO that would hold up the start for good.
    void whatIsNoRegularFileIsRefused()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder"));
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("fifo")), 0600) == 0);
#endif
        for (const QString &name :
             QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            QCOMPARE(readSettingsFile(dir.filePath(name)).problem,
                     QStringLiteral("Die Einstellungen in %1 sind keine gewöhnliche Datei; sie "
                                    "werden nicht beachtet.")
                         .arg(dir.filePath(name)));
    }

    void unknownKeysAreReported()
    {
        // "Port" is not "port": a typing error that would otherwise pass in silence.
        QTemporaryDir dir;
        const SettingsSource store =
            storeWith(dir.filePath("user.conf"), QStringLiteral("Port"), QStringLiteral("COM3"));
        const MergedSettings merged = mergeSettings({store});
        QCOMPARE(merged.values.port, defaultPort());
        QCOMPARE(merged.messages,
                 QStringList{QStringLiteral("Unbekannte Einstellung „Port“ in %1: sie wird nicht "
                                            "beachtet.")
                                 .arg(store.name)});
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
