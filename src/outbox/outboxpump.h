#pragma once

#include "outbox.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

// What a link says of one delivery.
struct CourierResult
{
    enum class Kind {
        Delivered, // the peer has it
        Waiting,   // the peer is busy (an unread answer in the way): tried on the next round
        Failed,    // not now (no directory, no connection): tried again after a pause
        Refused    // never: kept and named, and the rest goes on
    };
    Kind kind = Kind::Delivered;
    QString message; // German, for the operator; told once until the next delivery
};

// Hands the outbox's entries to the link of their destination, oldest first, on
// deliverDue() and every round while entries wait, and writes down how it went.
class OutboxPump : public QObject
{
    Q_OBJECT
public:
    using Courier = std::function<CourierResult(const OutboxEntry &entry)>;
    using Now = std::function<QDateTime()>;

    OutboxPump(Outbox &outbox, Now now, std::chrono::milliseconds round = std::chrono::seconds(2),
               QObject *parent = nullptr);

    void setCourier(const QString &destination, Courier courier);
    // Its entries stay in the outbox, undelivered, until a courier is set again.
    void removeCourier(const QString &destination);
    Outbox &outbox() { return m_outbox; }

public Q_SLOTS:
    // Delivers what is due, for each destination until one entry is not delivered.
    void deliverDue();

Q_SIGNALS:
    void waitingChanged(qsizetype waiting);
    void delivered(const QString &destination, qint64 id);
    void problem(const QString &message);

private:
    void deliverTo(const QString &destination, const Courier &courier, const QDateTime &now);
    void tell(const QString &destination, const QString &message);

    Outbox &m_outbox;
    Now m_now;
    QTimer m_round;
    std::map<QString, Courier> m_couriers;
    std::map<QString, QString> m_told; // last message told, by destination
    qsizetype m_announced = -1;
    bool m_delivering = false;
};
