#include "fhircourier.h"

#include "fhir/fhirresultsink.h"

FhirCourier::FhirCourier(OutboxPump &pump, FhirServer server, QObject *parent)
    : QObject(parent), m_poster(std::move(server)),
      m_courier(pump, fhirDestination, QStringLiteral("FHIR"),
                [this](const OutboxEntry &entry) { m_poster.post(entry.payload); })
{
    connect(&m_poster, &FhirPoster::answered, &m_courier, &PeerCourier::answered);
}
