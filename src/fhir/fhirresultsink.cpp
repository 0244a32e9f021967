#include "fhirresultsink.h"

#include "fhirbundle.h"

FhirResultSink::FhirResultSink(Outbox &outbox, QString identifierSystem, QString answeredSource)
    : OutboxResultSink(outbox, fhirDestination, std::move(answeredSource)),
      m_identifierSystem(std::move(identifierSystem))
{}

QByteArray FhirResultSink::encode(const Measurement &measurement)
{
    return fhirTransaction(measurement, m_identifierSystem);
}
