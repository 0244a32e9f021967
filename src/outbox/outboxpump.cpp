#include "outboxpump.h"

#include "common/failure.h"

OutboxPump::OutboxPump(Outbox &outbox, Now now, std::chrono::milliseconds round, QObject *parent)
    : QObject(parent), m_outbox(outbox), m_now(std::move(now))
{
    m_round.setInterval(round);
    connect(&m_round, &QTimer::timeout, this, &OutboxPump::deliverDue);
}

void OutboxPump::setCourier(const QString &destination, Courier courier)
{
    m_couriers[destination] = std::move(courier);
}

void OutboxPump::removeCourier(const QString &destination)
{
    m_couriers.erase(destination);
}

void OutboxPump::deliverDue()
{
    // A courier's message box may run an event loop that comes back in here.
    if (m_delivering)
        return;
    m_delivering = true;
    const QDateTime now = m_now();
    for (const auto &[destination, courier] : m_couriers) {
        try {
            deliverTo(destination, courier, now);
        } catch (const Failure &failure) { // the outbox could not be written
            tell(destination, failure.message());
        }
    }
    m_delivering = false;
    const qsizetype waiting = m_outbox.waiting();
    if (waiting > 0 && !m_round.isActive())
        m_round.start();
    else if (waiting == 0)
        m_round.stop();
    if (waiting != m_announced) {
        m_announced = waiting;
        emit waitingChanged(waiting);
    }
}

void OutboxPump::deliverTo(const QString &destination, const Courier &courier, const QDateTime &now)
{
    while (const auto entry = m_outbox.nextDue(destination, now)) {
        const CourierResult result = courier(*entry);
        if (!result.message.isEmpty())
            tell(destination, result.message);
        switch (result.kind) {
        case CourierResult::Kind::Delivered:
            m_outbox.markDelivered(entry->id);
            m_told.erase(destination);
            emit delivered(destination, entry->id);
            continue;
        case CourierResult::Kind::Refused:
            m_outbox.markRefused(entry->id, result.message);
            continue;
        case CourierResult::Kind::Failed:
            m_outbox.retryLater(entry->id, now);
            return;
        case CourierResult::Kind::Waiting:
            return;
        }
    }
}

void OutboxPump::tell(const QString &destination, const QString &message)
{
    QString &told = m_told[destination];
    if (told == message)
        return;
    told = message;
    emit problem(message);
}
