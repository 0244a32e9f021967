#include "gdtanswersink.h"

#include "gdtorder.h"
#include "outbox/outbox.h"

GdtAnswer gdtAnswerOf(const Measurement &measurement, const QString &stationId,
                      const QString &practiceId)
{
    GdtAnswer answer =
        answerTo(gdtRequestOfOrder(measurement.order.value_or(Order{})), stationId, practiceId);
    answer.sex = measurement.woman ? GdtSex::Female : GdtSex::Male;
    answer.takenAt = measurement.takenAt;
    answer.weightKg = measurement.weightKg;
    answer.heightMm = measurement.heightMm;
    answer.findings = measurement.assessment;
    answer.bmiPercentile = measurement.percentile;
    return answer;
}

GdtAnswerSink::GdtAnswerSink(Outbox &outbox, QString stationId, QString practiceId)
    : m_outbox(outbox), m_stationId(std::move(stationId)), m_practiceId(std::move(practiceId))
{}

bool GdtAnswerSink::take(const Measurement &measurement)
{
    if (!measurement.order || measurement.order->source != QLatin1String(gdtOrderSource))
        return false;
    m_outbox.enqueue(gdtDestination,
                     writeGdtAnswer(gdtAnswerOf(measurement, m_stationId, m_practiceId)),
                     measurement.takenAt);
    return true;
}
