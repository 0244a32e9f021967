#pragma once

#include "order.h"

#include <QList>
#include <QString>

// The orders waiting for their person to be measured, oldest first, kept in a file of
// the station's state directory so that they survive the program, a crash and a
// kill. Each change is written whole and atomically before the call returns; a
// failure throws a Failure and leaves list and file as they were. An order for a
// person (source and patient number) who already waits replaces that entry in place.
class Worklist
{
public:
    static constexpr qsizetype capacity = 100;

    // Reads path; a missing file is an empty list. A file that cannot be read as a
    // worklist is moved aside to path + ".unlesbar" (the message says so in
    // problem()), so that the next write cannot destroy what it may still hold.
    explicit Worklist(const QString &path);

    const QList<Order> &orders() const { return m_orders; }
    qsizetype size() const { return m_orders.size(); }
    bool isEmpty() const { return m_orders.isEmpty(); }
    QString path() const { return m_path; }
    QString problem() const { return m_problem; }

    // False when the order would be a new entry of a full list: it is not taken.
    bool hasRoomFor(const Order &order) const;
    // Adds or replaces; false, changing nothing, when there is no room.
    bool add(const Order &order);
    // Removes the entry of order's person; false when none waits.
    bool remove(const Order &order);

private:
    qsizetype indexOf(const Order &order) const;
    void write(const QList<Order> &orders);

    QString m_path;
    QString m_problem;
    QList<Order> m_orders;
};
