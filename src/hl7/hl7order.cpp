#include "hl7order.h"

#include "hl7text.h"

std::variant<Hl7Order, QString> readHl7Order(const Hl7Message &message)
{
    const QString type = message.value(u"MSH", 9) + QLatin1Char('^') + message.value(u"MSH", 9, 2);
    static const QStringList accepted = {QStringLiteral("ORM^O01"), QStringLiteral("ADT^A01"),
                                         QStringLiteral("ADT^A04"), QStringLiteral("ADT^A08")};
    if (!accepted.contains(type))
        return QStringLiteral("Nachrichtentyp „%1“ wird nicht verarbeitet").arg(type);
    if (!message.hasSegment(u"PID"))
        return QStringLiteral("Kein PID-Segment");
    Hl7Order order;
    order.patientId = message.value(u"PID", 3).trimmed();
    order.assigningAuthority = message.value(u"PID", 3, 4).trimmed();
    order.lastName = message.value(u"PID", 5).trimmed();
    order.firstName = message.value(u"PID", 5, 2).trimmed();
    order.birthDate = hl7ReadDate(message.value(u"PID", 7));
    const QString sex = message.value(u"PID", 8).trimmed().toUpper();
    order.sex = sex == u"M" ? LinkSex::Male : sex == u"F" ? LinkSex::Female : LinkSex::Unknown;
    order.placerOrder = message.value(u"ORC", 2);
    if (order.placerOrder.isEmpty())
        order.placerOrder = message.value(u"OBR", 2);
    order.controlId = message.value(u"MSH", 10);
    if (order.patientId.isEmpty())
        return QStringLiteral("Keine Patientennummer in PID-3");
    if (order.lastName.isEmpty())
        return QStringLiteral("Kein Nachname in PID-5");
    return order;
}
