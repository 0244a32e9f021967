#include "hospitallinks.h"

#include "common/logcategories.h"
#include "fhir/fhirresultsink.h"
#include "fhir/link/fhircourier.h"
#include "hl7/hl7order.h"
#include "hl7/hl7resultsink.h"
#include "hl7/link/hl7courier.h"
#include "hl7/link/hl7listener.h"
#include "outbox/outboxpump.h"
#include "settings/settingkeys.h"

struct HospitalLinks::Links
{
    std::unique_ptr<Hl7ResultSink> hl7Sink;
    std::unique_ptr<Hl7Courier> hl7Courier;
    std::unique_ptr<FhirResultSink> fhirSink;
    std::unique_ptr<FhirCourier> fhirCourier;
    std::unique_ptr<Hl7Listener> listener;
    Hl7ListenerSettings listening;
};

HospitalLinks::HospitalLinks(const StationSettings &settings, OutboxPump &pump, int timeoutMs)
    : m_links(std::make_unique<Links>())
{
    Outbox &outbox = pump.outbox();
    if (!settings.hl7Host.isEmpty()) {
        m_links->hl7Sink = std::make_unique<Hl7ResultSink>(
            outbox, Hl7Parties{settings.hl7Facility, settings.hl7ReceivingApplication,
                               settings.hl7ReceivingFacility, settings.hl7AssigningAuthority});
        m_links->hl7Courier = std::make_unique<Hl7Courier>(
            pump,
            MllpPeer{settings.hl7Host, settings.hl7Port.toUShort(),
                     settings.hl7Tls == QLatin1String("true"), settings.hl7CaFile, timeoutMs});
        qCInfo(logHl7).noquote()
            << QStringLiteral("HL7-Ergebnisse an %1:%2").arg(settings.hl7Host, settings.hl7Port);
    }
    if (!settings.fhirBaseUrl.isEmpty()) {
        m_links->fhirSink = std::make_unique<FhirResultSink>(
            outbox, settings.fhirPatientIdentifierSystem, QLatin1String(hl7OrderSource));
        m_links->fhirCourier = std::make_unique<FhirCourier>(
            pump, FhirServer{QUrl(settings.fhirBaseUrl), settings.fhirToken.toUtf8(), timeoutMs});
        qCInfo(logFhir).noquote()
            << QStringLiteral("FHIR-Ergebnisse an %1").arg(settings.fhirBaseUrl);
    }
    if (!settings.hl7ListenPort.isEmpty()) {
        m_links->listening.address = QHostAddress(settings.hl7ListenAddress);
        m_links->listening.port = settings.hl7ListenPort.toUShort();
        m_links->listening.facility = settings.hl7Facility;
    }
}

HospitalLinks::~HospitalLinks() = default;

QList<MeasurementSink *> HospitalLinks::sinks() const
{
    QList<MeasurementSink *> sinks;
    if (m_links->hl7Sink)
        sinks << m_links->hl7Sink.get();
    if (m_links->fhirSink)
        sinks << m_links->fhirSink.get();
    return sinks;
}

QString HospitalLinks::listen(OrderTaker taker)
{
    if (m_links->listening.port == 0)
        return {};
    m_links->listener = std::make_unique<Hl7Listener>(m_links->listening, std::move(taker));
    if (!m_links->listener->listen())
        return QStringLiteral("HL7-Aufträge können nicht empfangen werden: %1:%2 – %3")
            .arg(m_links->listening.address.toString())
            .arg(m_links->listening.port)
            .arg(m_links->listener->errorString());
    qCInfo(logHl7).noquote() << QStringLiteral("HL7-Aufträge auf %1:%2")
                                    .arg(m_links->listening.address.toString())
                                    .arg(m_links->listener->port());
    if (!m_links->hl7Sink && !m_links->fhirSink)
        qCWarning(logHl7).noquote()
            << QStringLiteral("HL7-Aufträge ohne Ergebnisweg: weder hl7/host noch fhir/baseUrl "
                              "ist gesetzt; die Aufträge bleiben in der Arbeitsliste");
    return {};
}
