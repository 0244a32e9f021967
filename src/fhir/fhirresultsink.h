#pragma once

#include "outbox/resultsink.h"

// The outbox destination of FHIR results.
inline const QString fhirDestination = QStringLiteral("fhir");

// Puts a transaction Bundle for each measurement with a patient identifier into the
// outbox; it answers the orders of answeredSource (the hospital's order link).
class FhirResultSink : public OutboxResultSink
{
public:
    FhirResultSink(Outbox &outbox, QString identifierSystem, QString answeredSource);

protected:
    QByteArray encode(const Measurement &measurement) override;

private:
    QString m_identifierSystem;
};
