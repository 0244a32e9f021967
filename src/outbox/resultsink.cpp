#include "resultsink.h"

#include "outbox.h"

#include "common/logcategories.h"
#include "records/personfile.h"

#include <atomic>

OutboxResultSink::OutboxResultSink(Outbox &outbox, QString destination, QString answeredSource)
    : m_outbox(outbox), m_destination(std::move(destination)),
      m_answeredSource(std::move(answeredSource))
{}

bool OutboxResultSink::take(const Measurement &measurement)
{
    if (!measurement.order || measurement.order->patientNumber.isEmpty()) {
        // Shared by all links' sinks, so that the log says it once, not once per link.
        static std::atomic_bool told = false;
        if (!told.exchange(true))
            qCInfo(logApp).noquote()
                << QStringLiteral("%1 kam ohne Patientennummer (von Hand eingegeben) und wird "
                                  "nicht an das Krankenhaus gesendet; ebenso alle weiteren ohne "
                                  "Patientennummer")
                       .arg(personName(measurement.firstName, measurement.lastName));
        return false;
    }
    m_outbox.enqueue(m_destination, encode(measurement), measurement.takenAt);
    return measurement.order->source == m_answeredSource;
}
