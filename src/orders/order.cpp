#include "order.h"

namespace {

QString sexText(Order::Sex sex)
{
    switch (sex) {
    case Order::Sex::Male:
        return QStringLiteral("M");
    case Order::Sex::Female:
        return QStringLiteral("W");
    case Order::Sex::Unknown:
        break;
    }
    return {};
}

Order::Sex sexOfText(const QString &text)
{
    if (text == u"M")
        return Order::Sex::Male;
    if (text == u"W")
        return Order::Sex::Female;
    return Order::Sex::Unknown;
}

} // namespace

QString orderPerson(const Order &order)
{
    return (order.firstName + QLatin1Char(' ') + order.lastName).trimmed();
}

QJsonObject orderToJson(const Order &order)
{
    QJsonObject echo;
    for (auto it = order.echo.begin(); it != order.echo.end(); ++it)
        echo.insert(it.key(), it.value());
    return {{QStringLiteral("source"), order.source},
            {QStringLiteral("patientNumber"), order.patientNumber},
            {QStringLiteral("lastName"), order.lastName},
            {QStringLiteral("firstName"), order.firstName},
            {QStringLiteral("sex"), sexText(order.sex)},
            {QStringLiteral("birthDateSent"), order.birthDateSent},
            {QStringLiteral("birthDate"),
             order.birthDate ? order.birthDate->toString(Qt::ISODate) : QString()},
            {QStringLiteral("echo"), echo},
            {QStringLiteral("requestFile"), order.requestFile}};
}

std::optional<Order> orderFromJson(const QJsonObject &object)
{
    Order order;
    order.source = object.value(QStringLiteral("source")).toString();
    order.patientNumber = object.value(QStringLiteral("patientNumber")).toString();
    if (order.source.isEmpty() || order.patientNumber.isEmpty())
        return std::nullopt;
    order.lastName = object.value(QStringLiteral("lastName")).toString();
    order.firstName = object.value(QStringLiteral("firstName")).toString();
    order.sex = sexOfText(object.value(QStringLiteral("sex")).toString());
    order.birthDateSent = object.value(QStringLiteral("birthDateSent")).toString();
    const QDate birth =
        QDate::fromString(object.value(QStringLiteral("birthDate")).toString(), Qt::ISODate);
    if (birth.isValid())
        order.birthDate = birth;
    const QJsonObject echo = object.value(QStringLiteral("echo")).toObject();
    for (auto it = echo.begin(); it != echo.end(); ++it)
        order.echo.insert(it.key(), it.value().toString());
    order.requestFile = object.value(QStringLiteral("requestFile")).toString();
    return order;
}
