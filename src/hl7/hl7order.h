#pragma once

#include "hl7message.h"
#include "records/linkmeasurement.h"

#include <QDate>
#include <QString>

#include <optional>
#include <variant>

// What an ORM^O01 or ADT^A01/A04/A08 names: the person to measure next.
struct Hl7Order
{
    QString patientId;              // PID-3.1
    QString assigningAuthority;     // PID-3.4
    QString lastName;               // PID-5.1
    QString firstName;              // PID-5.2
    std::optional<QDate> birthDate; // PID-7, absent when no date
    LinkSex sex = LinkSex::Unknown; // PID-8: M, F, else unknown
    QString placerOrder;            // ORC-2, else OBR-2; empty for ADT
    QString controlId;              // MSH-10

    bool operator==(const Hl7Order &) const = default;
};

// The order in a message, or why the station cannot use it (German, for the AE and the
// log): another message type, no PID, no PID-3 or no last name. Blanks around the
// identifier and names are dropped.
std::variant<Hl7Order, QString> readHl7Order(const Hl7Message &message);
