#include "hl7resultsink.h"

#include "hl7order.h"

Hl7ResultSink::Hl7ResultSink(Outbox &outbox, Hl7Parties parties)
    : OutboxResultSink(outbox, hl7Destination, QLatin1String(hl7OrderSource)),
      m_parties(std::move(parties))
{}

QByteArray Hl7ResultSink::encode(const Measurement &measurement)
{
    return hl7Result(measurement, m_parties, hl7NewControlId(), QDateTime::currentDateTime());
}
