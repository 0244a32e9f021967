#pragma once

#include "fhirposter.h"

#include "outbox/peercourier.h"

// Delivers the outbox's FHIR transactions by POST, one at a time, oldest first: a 2xx
// transaction-response is done, a 4xx refused, a 5xx or a network fault tried again.
class FhirCourier : public QObject
{
    Q_OBJECT
public:
    FhirCourier(OutboxPump &pump, FhirServer server, QObject *parent = nullptr);

private:
    FhirPoster m_poster;
    PeerCourier m_courier;
};
