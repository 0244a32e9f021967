#include "hl7order.h"

#include "hl7text.h"

std::variant<Order, QString> readHl7Order(const Hl7Message &message)
{
    const QString type = message.value(u"MSH", 9) + QLatin1Char('^') + message.value(u"MSH", 9, 2);
    static const QStringList accepted = {QStringLiteral("ORM^O01"), QStringLiteral("ADT^A01"),
                                         QStringLiteral("ADT^A04"), QStringLiteral("ADT^A08")};
    if (!accepted.contains(type))
        return QStringLiteral("Nachrichtentyp „%1“ wird nicht verarbeitet").arg(type);
    if (!message.hasSegment(u"PID"))
        return QStringLiteral("Kein PID-Segment");
    Order order;
    order.source = QLatin1String(hl7OrderSource);
    order.patientNumber = message.value(u"PID", 3).trimmed();
    order.lastName = message.value(u"PID", 5).trimmed();
    order.firstName = message.value(u"PID", 5, 2).trimmed();
    order.birthDateSent = message.value(u"PID", 7);
    order.birthDate = hl7ReadDate(order.birthDateSent);
    const QString sex = message.value(u"PID", 8).trimmed().toUpper();
    order.sex = sex == u"M"   ? Order::Sex::Male
                : sex == u"F" ? Order::Sex::Female
                              : Order::Sex::Unknown;
    const QString authority = message.value(u"PID", 3, 4).trimmed();
    if (!authority.isEmpty())
        order.echo.insert(QLatin1String(hl7EchoAuthority), authority);
    QString placer = message.value(u"ORC", 2);
    if (placer.isEmpty())
        placer = message.value(u"OBR", 2);
    if (!placer.isEmpty())
        order.echo.insert(QLatin1String(hl7EchoPlacerOrder), placer);
    order.requestFile = message.value(u"MSH", 10);
    if (order.patientNumber.isEmpty())
        return QStringLiteral("Keine Patientennummer in PID-3");
    if (order.lastName.isEmpty())
        return QStringLiteral("Kein Nachname in PID-5");
    return order;
}
