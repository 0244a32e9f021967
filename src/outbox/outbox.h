#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// Results on their way to a peer, kept in a file of the station's state directory so
// that none is lost to an exit, a crash or a kill. The outbox knows payloads and
// destinations ("gdt", a link's name), not formats: a link encodes, the outbox keeps,
// the link delivers and says how it went. Each change is written whole and atomically
// before the call returns; a failure throws a Failure and changes nothing.
struct OutboxEntry
{
    qint64 id = 0;
    QString destination;
    QByteArray payload;
    QDateTime queuedAt;
    QDateTime dueAt;  // not tried again before
    int attempts = 0; // failed deliveries so far
    QString refusal;  // the peer's reason when it refused the entry for good

    bool isRefused() const { return !refusal.isEmpty(); }
};

class Outbox
{
public:
    // The pause after the n-th failed delivery: firstPause doubled each time, at most
    // longestPause.
    static constexpr std::chrono::seconds firstPause{2};
    static constexpr std::chrono::seconds longestPause{60};

    // Reads path; a missing file is an empty outbox (see readStateFile for one that
    // cannot be read: problem() names it).
    explicit Outbox(const QString &path);

    QString path() const { return m_path; }
    QString problem() const { return m_problem; }
    const QList<OutboxEntry> &entries() const { return m_entries; }
    // Entries not yet delivered (to destination, when given), refused ones included.
    qsizetype waiting(const QString &destination = {}) const;

    // Keeps payload for destination behind everything queued before; returns its id.
    qint64 enqueue(const QString &destination, const QByteArray &payload, const QDateTime &now);
    // The oldest entry for destination that is not refused, when its time has come;
    // nothing while it has to wait, so that a destination gets its entries in order.
    std::optional<OutboxEntry> nextDue(const QString &destination, const QDateTime &now) const;
    // The peer has it: it leaves the outbox.
    void markDelivered(qint64 id);
    // The peer will never take it: it stays, named, and no longer holds up the rest.
    void markRefused(qint64 id, const QString &reason);
    // Delivery failed for now: tried again after a growing, capped pause.
    void retryLater(qint64 id, const QDateTime &now);

private:
    void change(qint64 id, const std::function<void(QList<OutboxEntry> &, qsizetype)> &edit);
    void write(const QList<OutboxEntry> &entries);
    qsizetype indexOf(qint64 id) const;

    QString m_path;
    QString m_problem;
    QList<OutboxEntry> m_entries;
};

// The pause before the next try after attempts failed deliveries.
std::chrono::seconds retryPause(int attempts);
