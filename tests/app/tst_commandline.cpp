#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "pseudoterminal.h"

#include <csignal>
#endif

namespace {

// The station's settings store of one scope, as the program reads it: an INI file
// under the XDG homes the test sets, or on Windows the registry key.
QSettings *openStore(QSettings::Scope scope, const QString &tempDir, QObject *parent)
{
#ifdef Q_OS_WIN
    Q_UNUSED(tempDir)
    return new QSettings(QSettings::NativeFormat, scope, QStringLiteral("Tessarine"),
                         QStringLiteral("tessarine"), parent);
#else
    const QString home =
        scope == QSettings::UserScope ? QStringLiteral("user") : QStringLiteral("system");
    return new QSettings(tempDir + QLatin1Char('/') + home +
                             QStringLiteral("/Tessarine/tessarine.conf"),
                         QSettings::IniFormat, parent);
#endif
}

#ifdef Q_OS_WIN
const QString userStoreName = QStringLiteral("HKEY_CURRENT_USER\\Software\\Tessarine\\tessarine");
#else
const QString userStoreName = QStringLiteral("%T/user/Tessarine/tessarine.conf");
#endif

} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // In every cell, %T stands for a fresh temporary directory that holds a plain
    // file "file" (so "%T/file/sub" cannot be created) and the settings homes
    // %T/user and %T/system; %U for the user's store (file or registry key).
    void withoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("userSettings"); // key=value, in the user's store
        QTest::addColumn<QStringList>("systemSettings");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("out"); // each in stdout
        QTest::addColumn<QStringList>("err"); // each in stderr

        const QStringList none;
        const QString version = QStringLiteral("Tessarine " TESSARINE_VERSION "\n");
        QTest::newRow("version") << QStringList{"--version"} << none << none << 0
                                 << QStringList{version} << none;
        QTest::newRow("list ports")
            << QStringList{"--list-ports"} << none << none << 0 << none << none;
        QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen", "--version"}
                                         << none << none << 0 << QStringList{version} << none;
        QTest::newRow("unknown option") << QStringList{"--bogus"} << none << none << 2 << none
                                        << QStringList{"Unbekannte Option", "Aufruf:"};
        QTest::newRow("missing value")
            << QStringList{"--port"} << none << none << 2 << none << QStringList{"--port"};
        QTest::newRow("stray argument") << QStringList{"extra"} << none << none << 2 << none
                                        << QStringList{"Unerwartetes Argument: extra"};
        QTest::newRow("empty port") << QStringList{"--port="} << none << none << 2 << none
                                    << QStringList{"--port: der Wert ist leer"};
        QTest::newRow("data dir that cannot be created")
            << QStringList{"--data-dir", "%T/file/sub"} << none << none << 1 << none
            << QStringList{"Das Datenverzeichnis %T/file/sub kann nicht angelegt werden: ",
                           "Der Wert ist auf der Befehlszeile gesetzt (--data-dir)."};
        const QStringList help{
            "Aufruf:",          "Optionen:",        "Zeigt Hilfe zu den Kommandozeilenoptionen an.",
            "--port <DEVICE>",  "--data-dir <DIR>", "--gdt-dir <DIR>",
            "--simulate-scale", "--list-ports",     userStoreName};
#ifdef Q_OS_WIN
        QTest::newRow("help in German, naming the registry keys and Windows' defaults")
            << QStringList{"--help"} << none << none << 0
            << help + QStringList{"HKEY_LOCAL_MACHINE\\Software\\Tessarine\\tessarine", "COM1",
                                  "C:\\Eigene Dateien"}
            << none;
#else
        QTest::newRow("help in German, naming the settings files and defaults")
            << QStringList{"--help"} << none << none << 0
            << help + QStringList{"%T/system/Tessarine/tessarine.conf", "/dev/ttyS0"} << none;
        QTest::newRow("no display") << QStringList{"--data-dir", "%T/data"} << none << none << 1
                                    << none << QStringList{"grafische Anzeige"};
#endif
        QTest::newRow("data dir from the system's store")
            << QStringList{} << none << QStringList{"dataDir=%T/file/system"} << 1 << none
            << QStringList{"%T/file/system kann nicht"};
        QTest::newRow("user's store over the system's")
            << QStringList{} << QStringList{"dataDir=%T/file/user"}
            << QStringList{"dataDir=%T/file/system"} << 1 << none
            << QStringList{"%T/file/user kann nicht",
                           "Der Wert ist in %U gesetzt (Schlüssel dataDir)."};
        QTest::newRow("command line over both stores")
            << QStringList{"--data-dir=%T/file/line"} << QStringList{"dataDir=%T/file/user"}
            << QStringList{"dataDir=%T/file/system"} << 1 << none
            << QStringList{"%T/file/line kann nicht"};
        QTest::newRow("bad value named with store, key and default")
            << QStringList{} << QStringList{"dataDir=%T/file/user", "gdt/stationId=BMI123456"}
            << none << 1 << none
            << QStringList{"Einstellung „gdt/stationId“ in %U: "
                           "„BMI123456“ hat nicht 1 bis 8 Zeichen. Es gilt die Vorgabe: „BMI1“."};
    }
    void withoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, userSettings);
        QFETCH(QStringList, systemSettings);
        QFETCH(int, exitCode);
        QFETCH(QStringList, out);
        QFETCH(QStringList, err);

        QTemporaryDir dir;
        auto expand = [&dir](QString text) { return text.replace("%T", dir.path()); };
        // Paths in what the program prints are native: backslashes on Windows.
        auto expected = [&dir](QString text) {
            text.replace("%U", userStoreName);
            static const QRegularExpression path(QStringLiteral("%T\\S*"));
            QRegularExpressionMatch match;
            while ((match = path.match(text)).hasMatch()) {
                text.replace(match.capturedStart(), match.capturedLength(),
                             QDir::toNativeSeparators(dir.path() + match.captured().mid(2)));
            }
            return text;
        };
        QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
        QVERIFY(QDir(dir.path()).mkpath("user/Tessarine"));
        QObject stores;
        for (const auto &[scope, entries] : {std::pair{QSettings::UserScope, userSettings},
                                             std::pair{QSettings::SystemScope, systemSettings}}) {
            QSettings *store = openStore(scope, dir.path(), &stores);
            store->clear(); // a registry key outlives the row
            for (const QString &entry : entries)
                store->setValue(entry.section('=', 0, 0), expand(entry.section('=', 1)));
            store->sync();
            QCOMPARE(store->status(), QSettings::NoError);
        }
        const auto clearStores = qScopeGuard([&] {
            for (QSettings *store : stores.findChildren<QSettings *>())
                store->clear();
        });

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifndef Q_OS_WIN
        for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(variable));
#endif
        environment.insert("XDG_CONFIG_HOME", dir.filePath("user"));
        environment.insert("XDG_CONFIG_DIRS", dir.filePath("system"));
        environment.insert("XDG_STATE_HOME", dir.filePath("state"));
        QProcess process;
        process.setProcessEnvironment(environment);
        for (QString &argument : arguments)
            argument = expand(argument);
        process.start(QStringLiteral(TESSARINE_EXE), arguments);
        QVERIFY(process.waitForFinished(20000));
        // Windows ends printed lines with CR LF.
        const auto printed = [](const QByteArray &bytes) {
            return QString::fromLocal8Bit(bytes).replace(QLatin1String("\r\n"),
                                                         QLatin1String("\n"));
        };
        const QString stdOut = printed(process.readAllStandardOutput());
        const QString stdErr = printed(process.readAllStandardError());

        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == exitCode, qPrintable(stdErr));
        for (const QString &part : std::as_const(out))
            QVERIFY2(stdOut.contains(expected(part)), qPrintable(stdOut));
        for (const QString &part : std::as_const(err))
            QVERIFY2(stdErr.contains(expected(part)), qPrintable(stdErr));
        if (exitCode == 2)
            QVERIFY(stdOut.isEmpty());
    }

#ifdef Q_OS_WIN
    // Started from a command prompt, without redirection: the GUI program writes into
    // the prompt's console. (Windows gives it no streams, so it attaches; Wine passes
    // the console's on, so there the outcome is shown, not the attaching.)
    void printsIntoTheConsoleItWasStartedFrom()
    {
        FreeConsole();
        QVERIFY(AllocConsole());
        const auto freeConsole = qScopeGuard([] { FreeConsole(); });
        const HANDLE screen =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        QVERIFY(screen != INVALID_HANDLE_VALUE);

        // No handles passed on: as from a prompt, not from a pipe.
        std::wstring command = QStringLiteral("\"%1\" --version")
                                   .arg(QDir::toNativeSeparators(TESSARINE_EXE))
                                   .toStdWString();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        QVERIFY(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
        QCOMPARE(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        QCOMPARE(exitCode, DWORD(0));

        CONSOLE_SCREEN_BUFFER_INFO info{};
        QVERIFY(GetConsoleScreenBufferInfo(screen, &info));
        std::wstring text(static_cast<std::size_t>(info.dwSize.X) * (info.dwCursorPosition.Y + 1),
                          L' ');
        DWORD read = 0;
        QVERIFY(ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()),
                                            COORD{0, 0}, &read));
        CloseHandle(screen);
        QVERIFY2(
            QString::fromStdWString(text).contains(QStringLiteral("Tessarine " TESSARINE_VERSION)),
            qPrintable(QString::fromStdWString(text).simplified()));
    }
#else
    // Ended by the system (a logout, a service manager), the program closes the port
    // and releases its lock file, so that the next start, under any account, opens it.
    void terminationReleasesThePortLock()
    {
        PseudoTerminal scale;
        QTemporaryDir dir;
        const QString lock = "/var/lock/LCK.." + scale.path().mid(5).replace('/', '_');
        QProcess process;
        process.setEnvironment(QProcess::systemEnvironment()
                               << "XDG_CONFIG_HOME=" + dir.path() << "XDG_CONFIG_DIRS=" + dir.path()
                               << "XDG_STATE_HOME=" + dir.path());
        process.start(QStringLiteral(TESSARINE_EXE),
                      {"-platform", "offscreen", "--port", scale.path(), "--data-dir", dir.path()});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 20000);
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), SIGTERM), 0);
        QVERIFY(process.waitForFinished(20000));
        QVERIFY(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0);
        QVERIFY(!QFile::exists(lock));
    }
#endif
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
