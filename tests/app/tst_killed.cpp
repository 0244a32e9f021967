#include "filebytes.h"
#include "windowfixture.h"

#include "gdt/gdtexchange.h"

#include <QProcess>

#include <csignal>

// The station's waiting requests and its answers outlive a kill -9 of the real
// program: requests read are in the worklist, and an answer queued by a take-over
// goes out after the restart, once.
class TestKilled : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void worklistAndOutboxSurviveAKill()
    {
        QTemporaryDir dir;
        const QString gdt = dir.filePath(QStringLiteral("gdt"));
        const QString state = dir.filePath(QStringLiteral("state/Tessarine/"));
        QVERIFY(QDir().mkpath(gdt) && QDir().mkpath(dir.filePath(QStringLiteral("daten"))));
        const QString answer = gdt + QStringLiteral("/EDV1BMI1.GDT");
        writeBytes(answer, "unread"); // holds every new answer back
        QProcess program;
        const auto start = [&] {
            program.setEnvironment(QProcess::systemEnvironment()
                                   << "XDG_CONFIG_HOME=" + dir.path()
                                   << "XDG_CONFIG_DIRS=" + dir.path()
                                   << "XDG_STATE_HOME=" + dir.filePath(QStringLiteral("state")));
            program.start(QStringLiteral(TESSARINE_EXE),
                          {"-platform", "offscreen", "--simulate-scale", "--data-dir",
                           dir.filePath(QStringLiteral("daten")), "--gdt-dir", gdt});
            QVERIFY(program.waitForStarted());
        };
        const auto kill9 = [&] {
            QCOMPARE(::kill(pid_t(program.processId()), SIGKILL), 0);
            QVERIFY(program.waitForFinished());
        };
        GdtRequest anna;
        anna.patientNumber = QStringLiteral("4711");
        anna.firstName = QStringLiteral("Anna");
        anna.lastName = QStringLiteral("Beispiel");
        anna.birthDate = QDate(1990, 1, 1);
        anna.sex = GdtSex::Female; // nothing to ask: no message box stops the look
        GdtRequest bert = anna;
        bert.patientNumber = QStringLiteral("0815");
        bert.firstName = QStringLiteral("Bert");
        start();
        writeBytes(gdt + QStringLiteral("/BMI1EDV1.001"), writeGdtRequest(anna));
        writeBytes(gdt + QStringLiteral("/BMI1EDV1.002"), writeGdtRequest(bert));
        QTRY_COMPARE_WITH_TIMEOUT(QDir(gdt).entryList(QDir::Files).size(), 1, 20000);
        kill9();
        QCOMPARE(Worklist(state + QStringLiteral("worklist.json")).size(), 2);

        { // a take-over for Anna on the same station queues her answer
            WindowFixture f;
            Worklist worklist(state + QStringLiteral("worklist.json"));
            Outbox outbox(state + QStringLiteral("outbox.json"));
            OutboxPump pump(outbox, [] { return QDateTime::currentDateTime(); });
            GdtExchange exchange(gdt, QStringLiteral("BMI1"), QStringLiteral("EDV1"));
            f.services.dataDir = dir.filePath(QStringLiteral("daten"));
            f.services.gdt = &exchange;
            f.services.worklist = &worklist;
            f.services.outbox = &pump;
            f.create();
            QCOMPARE(f.field("text")->text(), QStringLiteral("Anna"));
            f.field("Text1")->setText(QStringLiteral("72,5"));
            f.field("Text2")->setText(QStringLiteral("1750"));
            f.button("Command2")->click();
            QVERIFY2(outbox.waiting() == 1, qPrintable(f.messages.shown.join('|')));
            QCOMPARE(f.field("text")->text(), QStringLiteral("Bert"));
        }
        start(); // killed with the answer queued
        QTest::qWait(1500);
        kill9();
        QCOMPARE(readBytes(answer), QByteArray("unread"));
        start();
        QFile::remove(answer); // the practice system reads the old one
        QTRY_VERIFY_WITH_TIMEOUT(readBytes(answer).contains("3101Beispiel"), 20000);
        QVERIFY(readBytes(answer).contains("30004711"));
        QFile::remove(answer);
        QTest::qWait(3000); // more than a round of the outbox
        kill9();
        QVERIFY(!QFile::exists(answer));
        QCOMPARE(Outbox(state + QStringLiteral("outbox.json")).waiting(), 0);
        QCOMPARE(Worklist(state + QStringLiteral("worklist.json")).orders().first().firstName,
                 QStringLiteral("Bert"));
    }
};

QTEST_MAIN(TestKilled)
#include "tst_killed.moc"
