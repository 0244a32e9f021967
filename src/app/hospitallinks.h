#pragma once

#include "orders/order.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class MeasurementSink;
class OutboxPump;
struct StationSettings;

// The hospital links the settings name: HL7 results (hl7/host), FHIR results
// (fhir/baseUrl) and HL7 orders in (hl7/listenPort). Each result link is a sink into the
// outbox and a courier on its pump; they live as long as this object. Where Qt has no
// Network module there are none: a setting that names one is logged as having no effect.
class HospitalLinks
{
public:
    using OrderTaker = std::function<QString(const Order &order)>;

    // timeoutMs: from connecting to the peer's answer.
    HospitalLinks(const StationSettings &settings, OutboxPump &pump, int timeoutMs = 30000);
    ~HospitalLinks();

    QList<MeasurementSink *> sinks() const;
    // With hl7/listenPort: listens for orders and hands each to taker (which keeps it and
    // returns the empty text, or why not). Returns why it cannot listen, else empty.
    QString listen(OrderTaker taker);

private:
    struct Links;
    std::unique_ptr<Links> m_links;
};
