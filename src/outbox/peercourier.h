#pragma once

#include "outboxpump.h"

#include "common/peeranswer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The pump's courier for a link whose peer answers later (over a socket, by HTTP): the
// first call for an entry starts its delivery and says Waiting; the peer's answer
// (answered()) runs the pump again, and the call for the same entry then says how it
// went. Done is delivered; Refused is named to the operator and in the log with the
// peer's text; Again is logged (once until it changes) and tried later.
class PeerCourier : public QObject
{
    Q_OBJECT
public:
    using Start = std::function<void(const OutboxEntry &entry)>;

    // link: "HL7", "FHIR", for the operator and the log.
    PeerCourier(OutboxPump &pump, const QString &destination, QString link, Start start,
                QObject *parent = nullptr);
    ~PeerCourier() override;

    CourierResult deliver(const OutboxEntry &entry);

public Q_SLOTS:
    void answered(const PeerAnswer &answer);

private:
    OutboxPump &m_pump;
    QString m_destination;
    QString m_link;
    Start m_start;
    std::optional<qint64> m_underWay; // the entry whose answer is awaited
    std::optional<PeerAnswer> m_answer;
    QString m_lastFault; // the last Again logged
};
