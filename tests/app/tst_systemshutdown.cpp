#include "app/systemshutdown.h"
#include "common/failure.h"

#include <QTest>

namespace {

// The system calls written down instead of made; the named one refuses.
class RecordingShutdownSystem : public ShutdownSystem
{
public:
    ShutdownPlatform platform() const override { return m_platform; }
    QString startStationCommand() override { return call(QStringLiteral("command")); }
    QString enableShutdownPrivilege() override { return call(QStringLiteral("privilege")); }
    QString exitWindows() override { return call(QStringLiteral("exit")); }
    void endProgram() override { call(QStringLiteral("end")); }

    ShutdownPlatform m_platform;
    QString m_refusing;
    QStringList m_calls;

private:
    QString call(const QString &name)
    {
        m_calls << name;
        return name == m_refusing ? QStringLiteral("Zugriff verweigert") : QString();
    }
};

ShutdownPlatform windows64()
{
    ShutdownPlatform p;
    p.windows = true;
    return p;
}

ShutdownPlatform windows32(bool userExe, bool command)
{
    ShutdownPlatform p = windows64();
    p.windows32Bit = true;
    p.has16BitUserExe = userExe;
    p.hasStationCommand = command;
    return p;
}

} // namespace

Q_DECLARE_METATYPE(ShutdownPlatform)
Q_DECLARE_METATYPE(ShutdownMechanism)

class TestSystemShutdown : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mechanismFitsThePlatform_data()
    {
        QTest::addColumn<ShutdownPlatform>("platform");
        QTest::addColumn<ShutdownMechanism>("mechanism");
        QTest::newRow("not Windows") << ShutdownPlatform{} << ShutdownMechanism::EndProgram;
        QTest::newRow("64-bit Windows") << windows64() << ShutdownMechanism::ExitWindowsEx;
        ShutdownPlatform strayCommand = windows64();
        strayCommand.hasStationCommand = true;
        QTest::newRow("64-bit Windows, RUNDLL32 in C:\\WINDOWS")
            << strayCommand << ShutdownMechanism::ExitWindowsEx;
        QTest::newRow("32-bit Windows without 16-bit subsystem")
            << windows32(false, true) << ShutdownMechanism::ExitWindowsEx;
        QTest::newRow("32-bit Windows, no RUNDLL32 in C:\\WINDOWS")
            << windows32(true, false) << ShutdownMechanism::ExitWindowsEx;
        QTest::newRow("32-bit Windows running user.exe")
            << windows32(true, true) << ShutdownMechanism::StationCommand;
    }
    void mechanismFitsThePlatform()
    {
        QFETCH(ShutdownPlatform, platform);
        QFETCH(ShutdownMechanism, mechanism);
        QCOMPARE(shutdownMechanism(platform), mechanism);
    }

    void requestMakesTheCallsAndReportsRefusal_data()
    {
        QTest::addColumn<ShutdownPlatform>("platform");
        QTest::addColumn<QString>("refusing");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("failure"); // empty: none

        const auto calls = [](const char *list) { return QString::fromLatin1(list).split(' '); };
        QTest::newRow("API") << windows64() << QString() << calls("privilege exit") << QString();
        QTest::newRow("API, no privilege")
            << windows64() << QStringLiteral("privilege") << calls("privilege")
            << QStringLiteral("Windows erlaubt diesem Programm das Herunterfahren nicht: "
                              "Zugriff verweigert");
        QTest::newRow("API refuses")
            << windows64() << QStringLiteral("exit") << calls("privilege exit")
            << QStringLiteral("Windows hat das Herunterfahren abgelehnt: Zugriff verweigert");
        QTest::newRow("command") << windows32(true, true) << QString() << calls("command")
                                 << QString();
        QTest::newRow("command does not start")
            << windows32(true, true) << QStringLiteral("command") << calls("command")
            << QStringLiteral("Der Befehl zum Herunterfahren konnte nicht gestartet werden: "
                              "Zugriff verweigert");
        QTest::newRow("not Windows")
            << ShutdownPlatform{} << QString() << calls("end") << QString();
    }
    void requestMakesTheCallsAndReportsRefusal()
    {
        QFETCH(ShutdownPlatform, platform);
        QFETCH(QString, refusing);
        QFETCH(QStringList, calls);
        QFETCH(QString, failure);
        RecordingShutdownSystem system;
        system.m_platform = platform;
        system.m_refusing = refusing;
        SystemShutdown shutdown(system);
        QString reported;
        try {
            shutdown.request();
        } catch (const Failure &f) {
            reported = f.message();
        }
        QCOMPARE(system.m_calls, calls);
        QCOMPARE(reported, failure);
    }

    // What this machine offers, asked for real; nothing is shut down.
    void thisMachine()
    {
        NativeShutdownSystem system;
#ifdef Q_OS_WIN
        // A 64-bit program runs on 64-bit Windows only, which has no 16-bit user.exe.
        QCOMPARE(shutdownMechanism(system.platform()), ShutdownMechanism::ExitWindowsEx);
        QCOMPARE(system.enableShutdownPrivilege(), QString());
#else
        QCOMPARE(shutdownMechanism(system.platform()), ShutdownMechanism::EndProgram);
#endif
    }
};

QTEST_GUILESS_MAIN(TestSystemShutdown)
#include "tst_systemshutdown.moc"
