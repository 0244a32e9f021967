#pragma once

#include "gdtanswer.h"
#include "records/measurement.h"

#include <QString>

class Outbox;

// The outbox destination of answers to the practice system.
inline const QString gdtDestination = QStringLiteral("gdt");

// The answer to a GDT request for a stored measurement: the request's patient, ids and
// set, the sex as rated, the time of the take-over, weight, height, the child's
// percentile and the assessment as findings.
GdtAnswer gdtAnswerOf(const Measurement &measurement, const QString &stationId,
                      const QString &practiceId);

// Puts the answer to each measurement that came with a GDT request into the outbox,
// which is on the disk before take() returns; the outbox's pump delivers it.
class GdtAnswerSink : public MeasurementSink
{
public:
    GdtAnswerSink(Outbox &outbox, QString stationId, QString practiceId);
    bool take(const Measurement &measurement) override;

private:
    Outbox &m_outbox;
    QString m_stationId;
    QString m_practiceId;
};
