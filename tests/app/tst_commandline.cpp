#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The command line and the settings files are the installation's way to set the
// port and the directories; their contract (exit codes, output, messages naming the
// file and key) is tested on the real executable, started without a display.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // In every cell, %T stands for a fresh temporary directory that holds a plain
    // file "file" (so "%T/file/sub" cannot be created) and the settings homes
    // %T/user and %T/system.
    void withoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("userSettings"); // tessarine.conf of the user; empty: none
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("out"); // each in stdout
        QTest::addColumn<QStringList>("err"); // each in stderr

        const QString version = QStringLiteral("Tessarine " TESSARINE_VERSION "\n");
        QTest::newRow("version") << QStringList{"--version"} << "" << 0 << QStringList{version}
                                 << QStringList{};
        QTest::newRow("list ports")
            << QStringList{"--list-ports"} << "" << 0 << QStringList{} << QStringList{};
        QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen", "--version"} << ""
                                         << 0 << QStringList{version} << QStringList{};
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "" << 2 << QStringList{}
                                        << QStringList{"Unbekannte Option", "Aufruf:"};
        QTest::newRow("missing value")
            << QStringList{"--port"} << "" << 2 << QStringList{} << QStringList{"--port"};
        QTest::newRow("stray argument") << QStringList{"extra"} << "" << 2 << QStringList{}
                                        << QStringList{"Unerwartetes Argument: extra"};
        QTest::newRow("empty port") << QStringList{"--port="} << "" << 2 << QStringList{}
                                    << QStringList{"--port: der Wert ist leer"};
        QTest::newRow("data dir that cannot be created")
            << QStringList{"--data-dir", "%T/file/sub"} << "" << 1 << QStringList{}
            << QStringList{"Das Datenverzeichnis %T/file/sub kann nicht angelegt werden."};
#ifdef Q_OS_WIN
        // Windows keeps the settings in the registry, and it always has a display.
        QTest::newRow("help in German, naming the registry keys")
            << QStringList{"--help"} << "" << 0
            << QStringList{"Aufruf:",
                           "Optionen:",
                           "Zeigt Hilfe zu den Kommandozeilenoptionen an.",
                           "--port <DEVICE>",
                           "--data-dir <DIR>",
                           "--gdt-dir <DIR>",
                           "--simulate-scale",
                           "--list-ports",
                           "HKEY_CURRENT_USER\\Software\\Tessarine\\tessarine",
                           "HKEY_LOCAL_MACHINE\\Software\\Tessarine\\tessarine"}
            << QStringList{};
#else
        QTest::newRow("help in German, naming the settings files")
            << QStringList{"--help"} << "" << 0
            << QStringList{"Aufruf:",
                           "Optionen:",
                           "Zeigt Hilfe zu den Kommandozeilenoptionen an.",
                           "--port <DEVICE>",
                           "--data-dir <DIR>",
                           "--gdt-dir <DIR>",
                           "--simulate-scale",
                           "--list-ports",
                           "%T/user/Tessarine/tessarine.conf",
                           "%T/system/Tessarine/tessarine.conf"}
            << QStringList{};
        QTest::newRow("data dir from the user's file")
            << QStringList{} << "dataDir=%T/file/user" << 1 << QStringList{}
            << QStringList{"%T/file/user kann nicht"};
        QTest::newRow("command line over the user's file")
            << QStringList{"--data-dir=%T/file/line"} << "dataDir=%T/file/user" << 1
            << QStringList{} << QStringList{"%T/file/line kann nicht"};
        QTest::newRow("bad value named with file, key and default")
            << QStringList{} << "dataDir=%T/file/user\n[gdt]\nstationId=BMI12" << 1 << QStringList{}
            << QStringList{"Einstellung „gdt/stationId“ in %T/user/Tessarine/tessarine.conf: "
                           "„BMI12“ hat nicht genau 4 Zeichen. Es gilt die Vorgabe: „BMI1“."};
        QTest::newRow("no display") << QStringList{"--data-dir", "%T/data"} << "" << 1
                                    << QStringList{} << QStringList{"grafische Anzeige"};
#endif
    }
    void withoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, userSettings);
        QFETCH(int, exitCode);
        QFETCH(QStringList, out);
        QFETCH(QStringList, err);

        QTemporaryDir dir;
        auto expand = [&dir](QString text) { return text.replace("%T", dir.path()); };
        QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
        QVERIFY(QDir(dir.path()).mkpath("user/Tessarine"));
        if (!userSettings.isEmpty()) {
            QFile conf(dir.filePath("user/Tessarine/tessarine.conf"));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write(expand(userSettings).toUtf8());
        }

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifndef Q_OS_WIN
        for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(variable));
#endif
        environment.insert("XDG_CONFIG_HOME", dir.filePath("user"));
        environment.insert("XDG_CONFIG_DIRS", dir.filePath("system"));
        QProcess process;
        process.setProcessEnvironment(environment);
        for (QString &argument : arguments)
            argument = expand(argument);
        process.start(QStringLiteral(TESSARINE_EXE), arguments);
        QVERIFY(process.waitForFinished(20000));
        // Windows ends printed lines with CR LF and prints paths with backslashes.
        const auto printed = [](const QByteArray &bytes) {
            return QString::fromLocal8Bit(bytes).replace(QLatin1String("\r\n"),
                                                         QLatin1String("\n"));
        };
        const QString stdOut = printed(process.readAllStandardOutput());
        const QString stdErr = printed(process.readAllStandardError());

        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == exitCode, qPrintable(stdErr));
        for (const QString &part : std::as_const(out))
            QVERIFY2(stdOut.contains(QDir::toNativeSeparators(expand(part))), qPrintable(stdOut));
        for (const QString &part : std::as_const(err))
            QVERIFY2(stdErr.contains(QDir::toNativeSeparators(expand(part))), qPrintable(stdErr));
        if (exitCode == 2)
            QVERIFY(stdOut.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
