#include "fetched.h"
#include "filebytes.h"
#include "nodepeer.h"
#include "windowfixture.h"

#include "app/hospitallinks.h"
#include "records/rating.h"
#include "settings/settingkeys.h"

#include <QDir>
#include <QRadioButton>

namespace {

// The real window with the hospital links the settings name, on peers of tests/peers.
struct HospitalWindow : WindowFixture
{
    HospitalWindow()
    {
        for (int c = 0; c <= 5; ++c)
            writeBytes(ratingFilePath(dir.path(), c), "Bewertung \xFC\r\n");
        settings.hl7Host = "127.0.0.1";
        settings.hl7Port = QString::number(hl7Port);
        settings.hl7AssigningAuthority = "KLINIK";
    }
    void start(OutboxPump &outboxPump)
    {
        services.outbox = &outboxPump;
        links = std::make_unique<HospitalLinks>(settings, outboxPump, 3000);
        services.sinks = links->sinks();
        create();
        QCOMPARE(links->listen([this](const Order &o) { return form->keepOrder(o); }), "");
    }
    // A take-over of the person an order named: 81 kg, 1.80 m, BMI 25.
    void takeOver(const QString &last)
    {
        const Order order{"HL7", last + "-Nr",      last, "Hans",     Order::Sex::Male,
                          {},    QDate(1970, 3, 4), {},   "C-" + last};
        QCOMPARE(form->keepOrder(order), "");
        QTRY_COMPARE(field("Text7")->text(), last);
        field("Text1")->setText("81");
        field("Text2")->setText("1800");
        button("Command2")->click();
    }
    QStringList read(int n) const
    {
        return outputOf("/usr/bin/python3",
                        {"readhl7.py", received.filePath(QString::number(n) + ".hl7")})
            .split('\n', Qt::SkipEmptyParts);
    }

    StationSettings settings;
    quint16 hl7Port = freeLoopbackPort();
    QTemporaryDir received;
    std::unique_ptr<HospitalLinks> links;
};

} // namespace

class TestHospitalWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (!NodePeer::available())
            QSKIP("node is not installed");
    }

    // An order by MLLP fills the window; its take-over goes back as ORU^R01 and as a FHIR
    // transaction, and leaves worklist and outbox.
    void orderInResultOut()
    {
        HospitalWindow f;
        NodePeer hl7("hl7peer.js",
                     {"receive", QString::number(f.hl7Port), "AA", f.received.path()});
        const quint16 fhirPort = freeLoopbackPort();
        NodePeer fhir("fhirpeer.js", {QString::number(fhirPort)});
        f.settings.hl7ListenPort = QString::number(freeLoopbackPort());
        f.settings.hl7ListenAddress = "127.0.0.1";
        f.settings.fhirBaseUrl = QStringLiteral("http://127.0.0.1:%1/").arg(fhirPort);
        f.start(f.pump);
        writeBytes(f.received.filePath("order"),
                   "MSH|^~\\&|HIS|H|TESSARINE|S|20261208||ORM^O01|C7|P|2.5.1\r"
                   "PID|1||4711^^^KLINIK^PI||M\xC3\xBCller^Hans||19700304|M\rORC|NW|A-1\r");
        QProcess his; // in a process of its own while this loop serves the listener
        his.setWorkingDirectory(QStringLiteral(TESSARINE_PEERS_DIR));
        his.start("node",
                  {"hl7peer.js", "send", f.settings.hl7ListenPort, f.received.filePath("order")});
        QTRY_COMPARE_WITH_TIMEOUT(his.state(), QProcess::NotRunning, 30000);
        QVERIFY(his.readAllStandardOutput().contains("MSA|AA|C7"));
        QCOMPARE(Worklist(f.worklist.path()).size(), 1); // on the disk before the ACK
        QTRY_COMPARE(f.field("Text7")->text(), "Müller");
        QCOMPARE(f.field("Text5")->text(), "56");
        f.field("Text1")->setText("81");
        f.field("Text2")->setText("1800");
        f.button("Command2")->click();
        QTRY_COMPARE(f.outbox.waiting(), 0);
        const QString obx = "NM %1 LN %2 %3 UCUM F 20261206090507+0000";
        QCOMPARE(f.read(1),
                 QStringList({"4711^^^KLINIK^PI Müller^Hans 19700304 M F",
                              obx.arg("29463-7", "81", "kg"), obx.arg("8302-2", "180", "cm"),
                              obx.arg("39156-5", "25", "kg/m2"), "Bewertung ü"}));
        QCOMPARE(f.worklist.size(), 0);
        QCOMPARE(f.messages.shown, QStringList());

        // Persons typed by hand have no patient number: nothing goes out, and the log says
        // so once however many follow.
        static int told = 0;
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
                told += text.contains("ohne Patientennummer");
            });
        for (const QString first : {"Anna", "Berta"}) {
            f.field("text")->setText(first);
            f.field("Text7")->setText("Zimmer");
            f.button("Command2")->click();
        }
        qInstallMessageHandler(previous);
        QCOMPARE(f.outbox.waiting(), 0);
        QCOMPARE(told, 1);
        QVERIFY(QFile::exists(f.dir.filePath("Berta Zimmer.txt")));
    }

    void resultsWaitForThePeer_data()
    {
        QTest::addColumn<QString>("answers"); // the peer's ACK codes, once it is up
        QTest::addColumn<bool>("restart");    // the station restarts while the peer is down
        QTest::addColumn<int>("messages");    // told to the operator
        QTest::newRow("down, then up") << "AA" << false << 0;
        QTest::newRow("down, restart, up") << "AA" << true << 0;
        QTest::newRow("AE, the rest goes") << "AE,AA" << false << 1;
    }
    void resultsWaitForThePeer()
    {
        std::optional<Outbox> outbox; // before the links that use them
        std::optional<OutboxPump> pump;
        HospitalWindow f;
        f.start(f.pump);
        f.takeOver("Erster");
        f.takeOver("Zweiter");
        QTRY_COMPARE(f.form->windowTitle(), "Tessarine – 2 HL7-Ergebnisse warten");
        f.button("Command4")->click(); // the operator waits for them
        QCOMPARE(f.messages.shown.takeLast(), "2 Ergebnisse sind noch nicht an das Kliniksystem "
                                              "übergeben.\nSoftware beenden?");
        if (fetched<bool>("restart")) { // another station process on the same state
            f.links.reset();
            f.form.reset();
            outbox.emplace(f.outbox.path());
            pump.emplace(*outbox, [] { return QDateTime::currentDateTime(); });
            f.start(*pump);
        }
        NodePeer hl7("hl7peer.js", {"receive", QString::number(f.hl7Port),
                                    fetched<QString>("answers"), f.received.path()});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.received.filePath("2.hl7")), 10000);
        f.takeOver("Dritter");
        QTRY_VERIFY(QFile::exists(f.received.filePath("3.hl7")));
        QTest::qWait(500);
        QCOMPARE(QDir(f.received.path()).entryList(QDir::Files).size(), 3); // each once
        for (const int n : {1, 2, 3})
            QVERIFY(f.read(n).first().contains(QStringList{"", "Erster", "Zweiter", "Dritter"}[n]));
        QCOMPARE(f.messages.shown.size(), fetched<int>("messages"));
        const qsizetype refused = fetched<int>("messages");
        QCOMPARE(Outbox(f.outbox.path()).waiting(), refused); // kept
        if (refused)
            QVERIFY(f.messages.shown.first().contains("AE"));
    }
};

QTEST_MAIN(TestHospitalWindow)
#include "tst_hospitalwindow.moc"
