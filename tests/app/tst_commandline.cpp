#include <QProcess>
#include <QTest>

// The command line is the installation's only way to set the port and the data
// directory, so its contract (exit codes, stderr) is tested on the real executable.
class tst_CommandLine : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    static Run run(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral(TESSARINE_EXE), arguments);
        if (!process.waitForFinished(20000))
            qFatal("tessarine did not finish");
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

private Q_SLOTS:
    void versionAndHelp()
    {
        const Run version = run({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.contains(QStringLiteral("Tessarine 1.")));

        const Run help = run({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        for (const char *option : {"--port", "--data-dir", "--simulate-scale", "--version"})
            QVERIFY2(help.out.contains(QLatin1String(option)), option);
    }

    void wrongArgumentsExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")};
        QTest::newRow("missing value") << QStringList{QStringLiteral("--port")};
        QTest::newRow("stray argument") << QStringList{QStringLiteral("extra")};
    }
    void wrongArgumentsExitWithTwo()
    {
        QFETCH(QStringList, arguments);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(!result.err.trimmed().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
