#pragma once

#include "hl7message.h"
#include "orders/order.h"

#include <QString>

#include <variant>

// The Order::source of orders that came by HL7, and the names under which an order
// keeps what the result has to echo (Order::echo).
inline constexpr char hl7OrderSource[] = "HL7";
inline constexpr char hl7EchoAuthority[] = "assigningAuthority"; // PID-3.4
inline constexpr char hl7EchoPlacerOrder[] = "placerOrder";      // ORC-2, else OBR-2

// The person an ORM^O01 or ADT^A01/A04/A08 names to measure next: patient number PID-3.1,
// names PID-5, birth date PID-7 (sent and read), sex PID-8 (M, F, else unknown), the
// message's MSH-10 as requestFile. Or why the station cannot use it (German, for the AE
// and the log): another message type, no PID, no PID-3 or no last name. Blanks around
// the identifier and names are dropped.
std::variant<Order, QString> readHl7Order(const Hl7Message &message);
