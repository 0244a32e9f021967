#include "outbox.h"

#include "files/statefile.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace {

QJsonObject entryToJson(const OutboxEntry &entry)
{
    return {{QStringLiteral("id"), QString::number(entry.id)},
            {QStringLiteral("destination"), entry.destination},
            {QStringLiteral("payload"), QString::fromLatin1(entry.payload.toBase64())},
            {QStringLiteral("queuedAt"), entry.queuedAt.toString(Qt::ISODateWithMs)},
            {QStringLiteral("dueAt"), entry.dueAt.toString(Qt::ISODateWithMs)},
            {QStringLiteral("attempts"), entry.attempts},
            {QStringLiteral("refusal"), entry.refusal}};
}

OutboxEntry entryFromJson(const QJsonObject &object)
{
    OutboxEntry entry;
    entry.id = object.value(QStringLiteral("id")).toString().toLongLong();
    entry.destination = object.value(QStringLiteral("destination")).toString();
    entry.payload =
        QByteArray::fromBase64(object.value(QStringLiteral("payload")).toString().toLatin1());
    entry.queuedAt = QDateTime::fromString(object.value(QStringLiteral("queuedAt")).toString(),
                                           Qt::ISODateWithMs);
    entry.dueAt =
        QDateTime::fromString(object.value(QStringLiteral("dueAt")).toString(), Qt::ISODateWithMs);
    entry.attempts = object.value(QStringLiteral("attempts")).toInt();
    entry.refusal = object.value(QStringLiteral("refusal")).toString();
    return entry;
}

} // namespace

std::chrono::seconds retryPause(int attempts)
{
    auto pause = Outbox::firstPause;
    for (int n = 1; n < attempts && pause < Outbox::longestPause; ++n)
        pause *= 2;
    return std::min(pause, Outbox::longestPause);
}

Outbox::Outbox(const QString &path) : m_path(path)
{
    const StateFileRead read = readStateFile(path);
    m_problem = read.problem;
    for (const QJsonValue &value : read.document.array()) {
        const OutboxEntry entry = entryFromJson(value.toObject());
        if (entry.id > 0 && !entry.destination.isEmpty())
            m_entries << entry;
    }
}

qsizetype Outbox::waiting(const QString &destination) const
{
    return std::count_if(m_entries.begin(), m_entries.end(), [&](const OutboxEntry &entry) {
        return destination.isEmpty() || entry.destination == destination;
    });
}

qsizetype Outbox::indexOf(qint64 id) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].id == id)
            return i;
    }
    return -1;
}

qint64 Outbox::enqueue(const QString &destination, const QByteArray &payload, const QDateTime &now)
{
    OutboxEntry entry;
    entry.id = 1;
    for (const OutboxEntry &e : m_entries)
        entry.id = std::max(entry.id, e.id + 1);
    entry.destination = destination;
    entry.payload = payload;
    entry.queuedAt = now;
    entry.dueAt = now;
    QList<OutboxEntry> next = m_entries;
    next << entry;
    write(next);
    return entry.id;
}

std::optional<OutboxEntry> Outbox::nextDue(const QString &destination, const QDateTime &now) const
{
    for (const OutboxEntry &entry : m_entries) {
        if (entry.destination != destination || entry.isRefused())
            continue;
        if (entry.dueAt > now)
            return std::nullopt;
        return entry;
    }
    return std::nullopt;
}

void Outbox::markDelivered(qint64 id)
{
    change(id, [](QList<OutboxEntry> &entries, qsizetype i) { entries.removeAt(i); });
}

void Outbox::markRefused(qint64 id, const QString &reason)
{
    change(id, [&reason](QList<OutboxEntry> &entries, qsizetype i) {
        entries[i].refusal = reason.isEmpty() ? QStringLiteral("abgelehnt") : reason;
    });
}

void Outbox::retryLater(qint64 id, const QDateTime &now)
{
    change(id, [&now](QList<OutboxEntry> &entries, qsizetype i) {
        ++entries[i].attempts;
        entries[i].dueAt = now.addSecs(retryPause(entries[i].attempts).count());
    });
}

// Edits a copy of the entries and writes it: the list changes only once it is on the disk.
void Outbox::change(qint64 id, const std::function<void(QList<OutboxEntry> &, qsizetype)> &edit)
{
    const qsizetype i = indexOf(id);
    if (i < 0)
        return;
    QList<OutboxEntry> next = m_entries;
    edit(next, i);
    write(next);
}

void Outbox::write(const QList<OutboxEntry> &entries)
{
    QJsonArray array;
    for (const OutboxEntry &entry : entries)
        array << entryToJson(entry);
    writeStateFile(m_path, QJsonDocument(array));
    m_entries = entries;
}
