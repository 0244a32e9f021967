#include "peercourier.h"

#include "common/logcategories.h"

PeerCourier::PeerCourier(OutboxPump &pump, const QString &destination, QString link, Start start,
                         QObject *parent)
    : QObject(parent), m_pump(pump), m_destination(destination), m_link(std::move(link)),
      m_start(std::move(start))
{
    pump.setCourier(destination, [this](const OutboxEntry &entry) { return deliver(entry); });
}

PeerCourier::~PeerCourier()
{
    m_pump.removeCourier(m_destination);
}

CourierResult PeerCourier::deliver(const OutboxEntry &entry)
{
    if (m_underWay && *m_underWay == entry.id && !m_answer)
        return {CourierResult::Kind::Waiting, {}};
    if (!m_underWay || *m_underWay != entry.id) {
        m_underWay = entry.id;
        m_answer.reset();
        m_start(entry);
        return {CourierResult::Kind::Waiting, {}};
    }
    const PeerAnswer answer = *std::exchange(m_answer, std::nullopt);
    m_underWay.reset();
    switch (answer.kind) {
    case PeerAnswer::Done:
        qCInfo(logApp).noquote()
            << QStringLiteral("%1-Ergebnis %2 zugestellt").arg(m_link).arg(entry.id);
        m_lastFault.clear();
        return {CourierResult::Kind::Delivered, {}};
    case PeerAnswer::Refused: {
        const QString message =
            QStringLiteral("Die %1-Gegenstelle hat ein Ergebnis abgelehnt: %2\nEs bleibt im "
                           "Postausgang; die weiteren Ergebnisse werden gesendet.")
                .arg(m_link, answer.text);
        qCWarning(logApp).noquote() << QStringLiteral("%1-Ergebnis %2 abgelehnt: %3")
                                           .arg(m_link)
                                           .arg(entry.id)
                                           .arg(answer.text);
        return {CourierResult::Kind::Refused, message};
    }
    case PeerAnswer::Again:
        break;
    }
    if (answer.text != m_lastFault)
        qCWarning(logApp).noquote() << QStringLiteral("%1-Ergebnis %2 nicht zugestellt, wird "
                                                      "später erneut gesendet: %3")
                                           .arg(m_link)
                                           .arg(entry.id)
                                           .arg(answer.text);
    m_lastFault = answer.text;
    return {CourierResult::Kind::Failed, {}};
}

void PeerCourier::answered(const PeerAnswer &answer)
{
    if (!m_underWay)
        return;
    m_answer = answer;
    // Queued: the link may answer from within its start, inside the pump's round.
    QMetaObject::invokeMethod(&m_pump, &OutboxPump::deliverDue, Qt::QueuedConnection);
}
