#include "hl7result.h"

#include "hl7order.h"
#include "hl7text.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

struct Value
{
    const char *loinc;
    const char *name;
    const char *unit;
    double value;
};

QString segment(const QStringList &fields)
{
    return fields.join(QLatin1Char('|')) + QLatin1Char('\r');
}

} // namespace

QByteArray hl7Result(const Measurement &m, const Hl7Parties &parties, const QString &controlId,
                     const QDateTime &sent)
{
    const Order order = m.order.value_or(Order{});
    const QString taken = hl7Time(m.takenAt);
    const QString authority =
        hl7Escaped(order.echo.value(QLatin1String(hl7EchoAuthority), parties.assigningAuthority));
    QString text = segment({QStringLiteral("MSH"),
                            QStringLiteral("^~\\&"),
                            QLatin1String(hl7SendingApplication),
                            hl7Escaped(parties.facility),
                            hl7Escaped(parties.receivingApplication),
                            hl7Escaped(parties.receivingFacility),
                            hl7Time(sent),
                            {},
                            QStringLiteral("ORU^R01^ORU_R01"),
                            hl7Escaped(controlId),
                            QStringLiteral("P"),
                            QStringLiteral("2.5.1"),
                            {},
                            {},
                            QStringLiteral("AL"),
                            QStringLiteral("NE"),
                            {},
                            QStringLiteral("UNICODE UTF-8")});
    text += segment({QStringLiteral("PID"),
                     QStringLiteral("1"),
                     {},
                     hl7Escaped(order.patientNumber) + QStringLiteral("^^^") + authority +
                         QStringLiteral("^PI"),
                     {},
                     hl7Escaped(m.lastName) + QLatin1Char('^') + hl7Escaped(m.firstName),
                     {},
                     order.birthDate ? hl7Date(*order.birthDate) : QString(),
                     m.woman ? QStringLiteral("F") : QStringLiteral("M")});
    text += segment({QStringLiteral("OBR"),
                     QStringLiteral("1"),
                     hl7Escaped(order.echo.value(QLatin1String(hl7EchoPlacerOrder))),
                     hl7Escaped(controlId),
                     QStringLiteral("85353-1^Vital signs, weight, height, head circumference, "
                                    "oxygen saturation and BMI panel^LN"),
                     {},
                     {},
                     taken,
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     {},
                     QStringLiteral("F")});
    int line = 0;
    for (const QString &assessment : m.assessment)
        text += segment({QStringLiteral("NTE"), QString::number(++line), QStringLiteral("L"),
                         hl7Escaped(assessment)});
    QList<Value> values = {{"29463-7", "Body weight", "kg", m.weightKg},
                           {"8302-2", "Body height", "cm", m.heightMm / 10},
                           {"39156-5", "Body mass index (BMI) [Ratio]", "kg/m2", m.bmi}};
    if (m.percentile)
        values.append(
            {"59576-9", "Body mass index (BMI) [Percentile] Per age and sex", "%", *m.percentile});
    int set = 0;
    for (const Value &v : values) {
        const QString unit = QLatin1String(v.unit);
        text +=
            segment({QStringLiteral("OBX"),
                     QString::number(++set),
                     QStringLiteral("NM"),
                     QStringLiteral("%1^%2^LN").arg(QLatin1String(v.loinc), QLatin1String(v.name)),
                     {},
                     hl7Number(v.value),
                     unit + QLatin1Char('^') + unit + QStringLiteral("^UCUM"),
                     {},
                     {},
                     {},
                     {},
                     QStringLiteral("F"),
                     {},
                     {},
                     taken});
    }
    return text.toUtf8();
}

QString hl7NewControlId()
{
    // MSH-10 holds 20 characters: 15 of the time to the millisecond, 5 random.
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyMMddHHmmsszzz")) +
           QString::number(QRandomGenerator::global()->bounded(100000))
               .rightJustified(5, QLatin1Char('0'));
}
