#pragma once

#include <QDate>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

// A practice system's wish that a person be measured, as any link brings it in.
struct Order
{
    enum class Sex { Unknown, Male, Female };

    QString source;        // the link that brought it: "GDT"
    QString patientNumber; // the practice system's identifier of the person
    QString lastName;
    QString firstName;
    Sex sex = Sex::Unknown;
    QString birthDateSent;          // as the request wrote it, empty when absent
    std::optional<QDate> birthDate; // as the station read it
    // What the link needs to address and match its answer (ids, character set,
    // order idents), by the link's own names; the worklist keeps it unread.
    QMap<QString, QString> echo;
    QString requestFile; // the file or message it came as: a path, a message id

    bool operator==(const Order &) const = default;
};

// "Anna Beispiel"
QString orderPerson(const Order &order);

// The order as the worklist stores it, and back; fromJson returns nothing for an
// object that is no order (no source or patient number).
QJsonObject orderToJson(const Order &order);
std::optional<Order> orderFromJson(const QJsonObject &object);
