#pragma once

#include "hl7result.h"

#include "outbox/resultsink.h"

// The outbox destination of HL7 results.
inline const QString hl7Destination = QStringLiteral("hl7");

// Puts an ORU^R01 for each measurement with a patient identifier into the outbox, with
// a control id of its own; it answers the orders that came by HL7.
class Hl7ResultSink : public OutboxResultSink
{
public:
    Hl7ResultSink(Outbox &outbox, Hl7Parties parties);

protected:
    QByteArray encode(const Measurement &measurement) override;

private:
    Hl7Parties m_parties;
};
