#pragma once

#include "records/measurement.h"

#include <QByteArray>
#include <QString>

class Outbox;

// A link's result sink into the outbox: each measurement that came with a patient
// identifier (an order's patient number) is encoded by the link and kept for its
// destination, on the disk before take() returns. One typed by hand is sent by no such
// link; the first of them after the start says so once in the log.
class OutboxResultSink : public MeasurementSink
{
public:
    OutboxResultSink(Outbox &outbox, QString destination, QString answeredSource);
    bool take(const Measurement &measurement) override;

protected:
    // The payload for a measurement with an order.
    virtual QByteArray encode(const Measurement &measurement) = 0;

private:
    Outbox &m_outbox;
    QString m_destination;
    QString m_answeredSource; // orders of this source are answered by the result
};
