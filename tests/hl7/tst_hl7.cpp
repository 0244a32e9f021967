#include "fetched.h"
#include "hl7/hl7ack.h"
#include "hl7/hl7result.h"
#include "hl7/link/hl7listener.h"
#include "hl7/link/mllpsender.h"
#include "nodepeer.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

Q_DECLARE_METATYPE(PeerAnswer::Kind)
Q_DECLARE_METATYPE(Measurement)

namespace {

const QString ackAA =
    QStringLiteral("MSH|^~\\&|HIS||TESSARINE||20261208||ACK|9|P|2.5.1\rMSA|AA|ID1\r");
const QDateTime taken(QDate(2026, 12, 8), QTime(13, 30), QTimeZone(3600));

Measurement adult()
{
    Measurement m;
    m.firstName = "Hans", m.lastName = "Müller", m.takenAt = taken, m.weightKg = 72.5;
    m.heightMm = 1802, m.bmi = 22.33, m.assessment = QStringList{"Normalgewicht"};
    m.order = Order{"HL7", "4711", {}, {}, {}, {}, QDate(1970, 3, 4), {{"placerOrder", "A-1"}}, {}};
    return m;
}

// caFile: over TLS, trusting the certificates there ("-": the system's); empty: plain TCP.
PeerAnswer sentTo(quint16 port, const QByteArray &message, const QString &id, int timeoutMs = 10000,
                  const QString &caFile = {})
{
    MllpSender sender({QStringLiteral("127.0.0.1"), port, !caFile.isEmpty(),
                       caFile == "-" ? QString() : caFile, timeoutMs});
    QSignalSpy answered(&sender, &MllpSender::answered);
    sender.send(message, id);
    if (!answered.wait(timeoutMs + 5000))
        return {PeerAnswer::Again, QStringLiteral("no signal")};
    return answered.first().first().value<PeerAnswer>();
}
} // namespace

class TestHl7 : public QObject
{
    Q_OBJECT

private slots:
    void mllpBoundsAMessage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("messages");
        QTest::addColumn<bool>("fault");
        const QByteArray largest(maxMllpMessage, 'x');
        QTest::newRow("1 MiB") << mllpFramed(largest) << 1 << false;
        QTest::newRow("1 MiB + 1") << mllpFramed(largest + 'x') << 0 << true;
        QTest::newRow("two, line end between")
            << mllpFramed("a") + "\n" + mllpFramed("b") << 2 << false;
        QTest::newRow("byte outside") << "x" + mllpFramed("a") << 0 << true;
    }
    void mllpBoundsAMessage()
    {
        QFETCH(QByteArray, bytes);
        MllpReader reader;
        QList<QByteArray> messages;
        for (qsizetype at = 0; at < bytes.size(); at += 4096) // as a socket hands them on
            messages += reader.read(
                QByteArrayView(bytes).sliced(at, qMin<qsizetype>(4096, bytes.size() - at)));
        QCOMPARE(messages.size(), fetched<int>("messages"));
        QCOMPARE(!reader.fault().isEmpty(), fetched<bool>("fault"));
    }

    void readsTheAck_data()
    {
        QTest::addColumn<QString>("ack");
        QTest::addColumn<PeerAnswer::Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("AA") << ackAA << PeerAnswer::Done << "";
        QTest::newRow("CA") << QString(ackAA).replace("|AA|", "|CA|") << PeerAnswer::Done << "";
        QTest::newRow("AE with ERR")
            << QString(ackAA).replace("|AA|ID1", "|AE|ID1") + "ERR|||207|E||||Bett\\F\\2\r"
            << PeerAnswer::Refused << "AE: Bett|2";
        QTest::newRow("AR") << QString(ackAA).replace("|AA|ID1", "|AR|ID1|kein Fall")
                            << PeerAnswer::Refused << "AR: kein Fall";
        QTest::newRow("other id") << QString(ackAA).replace("ID1", "ID2") << PeerAnswer::Refused
                                  << "Quittung für „ID2“ statt „ID1“";
        QTest::newRow("no MSA") << "MSH|^~\\&|HIS\rPID|1" << PeerAnswer::Refused
                                << "Antwort ist keine Quittung: „MSH|^~\\&|HIS“";
    }
    void readsTheAck()
    {
        QFETCH(QString, ack);
        QCOMPARE(readHl7Ack(ack.toUtf8(), QStringLiteral("ID1")),
                 (PeerAnswer{fetched<PeerAnswer::Kind>("kind"), fetched<QString>("text")}));
    }

    void resultReadBackByAnIndependentParser_data()
    {
        QTest::addColumn<Measurement>("measurement");
        QTest::addColumn<QStringList>("read");
        const QString obx = "NM %1 LN %2 %3 UCUM F 20261208133000+0100";
        QTest::newRow("adult") << adult()
                               << QStringList{"4711^^^KLINIK^PI Müller^Hans 19700304 M F",
                                              obx.arg("29463-7", "72.5", "kg"),
                                              obx.arg("8302-2", "180.2", "cm"),
                                              obx.arg("39156-5", "22.33", "kg/m2"),
                                              "Normalgewicht"};
        Measurement child = adult();
        child.lastName = "O|Neil^~\\&";
        child.firstName = "Tim&Tom";
        child.order->echo["assigningAuthority"] = "A^B";
        child.order->birthDate.reset();
        child.woman = true;
        child.percentile = 97.1;
        child.assessment = QStringList{"Übergewicht", "Perzentile | 90 bis 97"};
        QTest::newRow("child, delimiters in names")
            << child
            << QStringList{"4711^^^A\\S\\B^PI O|Neil^~\\&^Tim&Tom  F F",
                           obx.arg("29463-7", "72.5", "kg"),
                           obx.arg("8302-2", "180.2", "cm"),
                           obx.arg("39156-5", "22.33", "kg/m2"),
                           obx.arg("59576-9", "97.1", "%"),
                           "Übergewicht",
                           "Perzentile | 90 bis 97"};
    }
    void resultReadBackByAnIndependentParser()
    {
        if (!NodePeer::available())
            QSKIP("node is not installed");
        QFETCH(Measurement, measurement);
        QTemporaryDir received;
        const quint16 port = freeLoopbackPort();
        NodePeer peer("hl7peer.js", {"receive", QString::number(port), "AA", received.path()});
        const QByteArray message =
            hl7Result(measurement, {"Station 3", "HIS", "Klinik", "KLINIK"}, "ID1", taken);
        QCOMPARE(sentTo(port, message, "ID1"), (PeerAnswer{PeerAnswer::Done, {}}));
        QCOMPARE(outputOf("/usr/bin/python3", {"readhl7.py", received.filePath("1.hl7")})
                     .split('\n', Qt::SkipEmptyParts),
                 fetched<QStringList>("read"));
        QVERIFY(message.startsWith("MSH|^~\\&|TESSARINE|Station "
                                   "3|HIS|Klinik|20261208133000+0100||ORU^R01^ORU_R01|ID1|P|2.5.1||"
                                   "|AL|NE||UNICODE UTF-8\r"));
    }

    void peerAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<PeerAnswer::Kind>("kind");
        QTest::addColumn<QString>("caFile");
        QTest::newRow("AA") << "AA" << PeerAnswer::Done << "";
        QTest::newRow("AE") << "AE" << PeerAnswer::Refused << "";
        QTest::newRow("never") << "none" << PeerAnswer::Again << "";
        QTest::newRow("down") << "" << PeerAnswer::Again << "";
        const QString peerCa = QStringLiteral(TESSARINE_PEERS_DIR "/tls/cert.pem");
        QTest::newRow("AA over TLS") << "AA" << PeerAnswer::Done << peerCa;
        QTest::newRow("TLS, peer not trusted") << "AA" << PeerAnswer::Again << "-";
    }
    void peerAnswers()
    {
        if (!NodePeer::available())
            QSKIP("node is not installed");
        QFETCH(QString, answer);
        QFETCH(QString, caFile);
        QTemporaryDir received;
        const quint16 port = freeLoopbackPort();
        std::optional<NodePeer> peer;
        if (!answer.isEmpty())
            peer.emplace("hl7peer.js", QStringList{"receive", QString::number(port), answer,
                                                   received.path(), caFile.isEmpty() ? "" : "tls"});
        for (const QString id : {"ID1", "ID2"}) // the next message still goes
            QCOMPARE(sentTo(port, hl7Result(adult(), {}, id, taken), id, 2000, caFile).kind,
                     fetched<PeerAnswer::Kind>("kind"));
    }

    void ordersComeIn_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("ack");
        const QString pid = "PID|1||  4711^^^KLINIK^PI||M\\F\\ller^Hans||19700304|F\r";
        QTest::newRow("ORM") << "ORM^O01|C7|P|2.5.1\r" + pid + "ORC|NW|A-1\r"
                             << "4711 KLINIK M|ller Hans 1970-03-04 2 A-1 C7"
                             << "MSA|AA|C7";
        QTest::newRow("A08, placer in OBR") << "ADT^A08|C7|P|2.5.1\r" + pid + "OBR|1|A-2\r"
                                            << "4711 KLINIK M|ller Hans 1970-03-04 2 A-2 C7"
                                            << "MSA|AA|C7";
        QTest::newRow("A02") << "ADT^A02|C7|P|2.5.1\r" + pid << ""
                             << "MSA|AE|C7|Nachrichtentyp „ADT\\S\\A02“ wird nicht verarbeitet";
        QTest::newRow("no PID") << "ADT^A04|C7|P|2.5.1\r"
                                << ""
                                << "MSA|AE|C7|Kein PID-Segment";
        QTest::newRow("no id") << "ADT^A01|C7|P|2.5.1\rPID|1||^^^K||M^H\r"
                               << ""
                               << "MSA|AE|C7|Keine Patientennummer in PID-3";
        QTest::newRow("no name") << "ADT^A01|C7|P|2.5.1\rPID|1||4||^H\r"
                                 << ""
                                 << "MSA|AE|C7|Kein Nachname in PID-5";
    }
    void ordersComeIn()
    {
        if (!NodePeer::available())
            QSKIP("node is not installed");
        QStringList kept;
        Hl7Listener listener({QHostAddress::LocalHost, 0, "Station 3"}, [&](const Order &o) {
            kept << QStringList{o.patientNumber,
                                o.echo["assigningAuthority"],
                                o.lastName,
                                o.firstName,
                                o.birthDate->toString(Qt::ISODate),
                                QString::number(int(o.sex)),
                                o.echo["placerOrder"],
                                o.requestFile}
                        .join(' ');
            return QString();
        });
        QVERIFY(listener.listen());
        QTemporaryDir dir;
        QFile file(dir.filePath("order.hl7"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            ("MSH|^~\\&|HIS|H|TESSARINE|S|20261208||" + fetched<QString>("message")).toUtf8());
        file.close();
        // The node sender runs in its own process while this loop serves the listener.
        QProcess sender;
        sender.setWorkingDirectory(QStringLiteral(TESSARINE_PEERS_DIR));
        sender.start("node",
                     {"hl7peer.js", "send", QString::number(listener.port()), file.fileName()});
        QTRY_COMPARE_WITH_TIMEOUT(sender.state(), QProcess::NotRunning, 30000);
        QVERIFY(
            QString::fromUtf8(sender.readAllStandardOutput()).contains(fetched<QString>("ack")));
        QCOMPARE(kept.join(','), fetched<QString>("kept"));
    }

    void listenerBoundsConnections_data()
    {
        QTest::addColumn<int>("connections");
        QTest::addColumn<int>("open");
        QTest::newRow("at the limit") << 2 << 2;
        QTest::newRow("one past") << 3 << 2;
    }
    void listenerBoundsConnections()
    {
        Hl7Listener listener({QHostAddress::LocalHost, 0, {}, 2, 1500},
                             [](const Order &) { return QString(); });
        QVERIFY(listener.listen());
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < fetched<int>("connections"); ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, listener.port());
            QVERIFY(sockets.back()->waitForConnected());
            QTest::qWait(100);
        }
        QTest::qWait(300);
        const auto open = [&] {
            return std::count_if(sockets.begin(), sockets.end(), [](auto &s) {
                return s->state() == QAbstractSocket::ConnectedState;
            });
        };
        QCOMPARE(open(), fetched<int>("open"));
        QTRY_COMPARE_WITH_TIMEOUT(open(), 0, 5000); // idle ones are closed
    }
};

QTEST_GUILESS_MAIN(TestHl7)
#include "tst_hl7.moc"
