#include "fetched.h"
#include "fhir/fhiranswer.h"
#include "fhir/fhirbundle.h"
#include "fhir/link/fhirposter.h"
#include "nodepeer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

Q_DECLARE_METATYPE(PeerAnswer::Kind)

namespace {

Measurement child()
{
    Measurement m;
    m.firstName = "Tim", m.lastName = "Müller", m.weightKg = 41.5, m.heightMm = 1502;
    m.takenAt = QDateTime(QDate(2026, 12, 8), QTime(13, 30), QTimeZone(3600));
    m.bmi = 18.4, m.percentile = 97.1;
    m.order = Order{"HL7", "4711", {}, {}, {}, {}, QDate(2015, 3, 4), {}, {}};
    return m;
}

PeerAnswer posted(quint16 port, const QByteArray &bundle, const QByteArray &token = {})
{
    FhirPoster poster({QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)), token, 10000});
    QSignalSpy answered(&poster, &FhirPoster::answered);
    poster.post(bundle);
    if (!answered.wait(15000))
        return {PeerAnswer::Again, QStringLiteral("no signal")};
    return answered.first().first().value<PeerAnswer>();
}
} // namespace

class TestFhir : public QObject
{
    Q_OBJECT

private slots:
    void readsTheAnswer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<PeerAnswer::Kind>("kind");
        QTest::addColumn<QString>("text");
        const QByteArray outcome =
            R"({"resourceType":"OperationOutcome","issue":[{"diagnostics":"kaputt"},
            {"details":{"text":"Missing"},"expression":["Observation.code"]}]})";
        QTest::newRow("200") << 200
                             << QByteArray(
                                    R"({"resourceType":"Bundle","type":"transaction-response"})")
                             << PeerAnswer::Done << "";
        QTest::newRow("299 other") << 299 << outcome << PeerAnswer::Refused
                                   << "HTTP 299: Antwort ist keine transaction-response";
        QTest::newRow("300") << 300 << outcome << PeerAnswer::Refused
                             << "HTTP 300: kaputt; Missing (Observation.code)";
        QTest::newRow("499") << 499 << QByteArray() << PeerAnswer::Refused << "HTTP 499";
        QTest::newRow("500") << 500 << outcome << PeerAnswer::Again
                             << "HTTP 500: kaputt; Missing (Observation.code)";
    }
    void readsTheAnswer()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(readFhirAnswer(fetched<int>("status"), body),
                 (PeerAnswer{fetched<PeerAnswer::Kind>("kind"), fetched<QString>("text")}));
    }

    void bundleCarriesCodesAndUnits()
    {
        QStringList codes;
        for (const QJsonValue &entry :
             QJsonDocument::fromJson(fhirTransaction(child(), "urn:oid:1.2"))
                 .object()["entry"]
                 .toArray()) {
            const QJsonObject r = entry["resource"].toObject();
            if (r["resourceType"] == "Observation")
                codes << r["code"]["coding"][0]["code"].toString() + ' ' +
                             r["valueQuantity"]["code"].toString() + ' ' +
                             QString::number(r["valueQuantity"]["value"].toDouble());
            else
                QCOMPARE(entry["request"]["ifNoneExist"].toString(),
                         "identifier=urn%3Aoid%3A1.2%7C4711");
        }
        QCOMPARE(codes, QStringList({"29463-7 kg 41.5", "8302-2 cm 150.2", "39156-5 kg/m2 18.4",
                                     "59576-9 % 97.1"}));
    }

    // One server for all rows: it keeps its patients from row to row.
    void initTestCase()
    {
        if (NodePeer::available())
            m_server.emplace("fhirpeer.js", QStringList{QString::number(m_port), "geheim"});
    }

    void serverAnswers_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QList<PeerAnswer::Kind>>("kinds");
        QTest::newRow("patient once, then reused")
            << true << QByteArray("geheim") << true << QList{PeerAnswer::Done, PeerAnswer::Done};
        QTest::newRow("wrong token")
            << true << QByteArray("falsch") << true << QList{PeerAnswer::Refused};
        QTest::newRow("422") << true << QByteArray("geheim") << false << QList{PeerAnswer::Refused};
        QTest::newRow("down") << false << QByteArray() << true << QList{PeerAnswer::Again};
    }
    void serverAnswers()
    {
        if (!m_server)
            QSKIP("node is not installed");
        const quint16 port = fetched<bool>("up") ? m_port : freeLoopbackPort();
        QByteArray bundle = fhirTransaction(child(), "urn:oid:1.2");
        if (!fetched<bool>("valid"))
            bundle.replace("vital-signs", "laboratory");
        for (const PeerAnswer::Kind kind : fetched<QList<PeerAnswer::Kind>>("kinds")) {
            const PeerAnswer answer = posted(port, bundle, fetched<QByteArray>("token"));
            QCOMPARE(answer.kind, kind);
            if (!fetched<bool>("valid"))
                QVERIFY2(answer.text.startsWith("HTTP 422: ") &&
                             answer.text.contains("Observation.category"),
                         qPrintable(answer.text));
        }
        QNetworkAccessManager network;
        QNetworkRequest count(
            QUrl(QStringLiteral("http://127.0.0.1:%1/count/Patient").arg(m_port)));
        count.setRawHeader("Authorization", "Bearer geheim");
        QNetworkReply *reply = network.get(count);
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
        QCOMPARE(QJsonDocument::fromJson(reply->readAll())["count"].toInt(), 1);
        delete reply;
    }

private:
    const quint16 m_port = freeLoopbackPort();
    std::optional<NodePeer> m_server;
};

QTEST_GUILESS_MAIN(TestFhir)
#include "tst_fhir.moc"
