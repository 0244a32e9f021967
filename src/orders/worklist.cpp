#include "worklist.h"

#include "files/statefile.h"

#include <QJsonArray>
#include <QJsonDocument>

Worklist::Worklist(const QString &path) : m_path(path)
{
    const StateFileRead read = readStateFile(path);
    m_problem = read.problem;
    for (const QJsonValue &value : read.document.array()) {
        if (const auto order = orderFromJson(value.toObject()))
            m_orders << *order;
    }
}

qsizetype Worklist::indexOf(const Order &order) const
{
    for (qsizetype i = 0; i < m_orders.size(); ++i) {
        if (m_orders[i].source == order.source && m_orders[i].patientNumber == order.patientNumber)
            return i;
    }
    return -1;
}

bool Worklist::hasRoomFor(const Order &order) const
{
    return m_orders.size() < capacity || indexOf(order) >= 0;
}

bool Worklist::add(const Order &order)
{
    if (!hasRoomFor(order))
        return false;
    QList<Order> next = m_orders;
    if (const qsizetype i = indexOf(order); i >= 0)
        next[i] = order;
    else
        next << order;
    write(next);
    return true;
}

bool Worklist::remove(const Order &order)
{
    const qsizetype i = indexOf(order);
    if (i < 0)
        return false;
    QList<Order> next = m_orders;
    next.removeAt(i);
    write(next);
    return true;
}

void Worklist::write(const QList<Order> &orders)
{
    QJsonArray array;
    for (const Order &order : orders)
        array << orderToJson(order);
    writeStateFile(m_path, QJsonDocument(array));
    m_orders = orders;
}
