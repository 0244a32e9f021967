#include "fhirbundle.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUuid>

namespace {

QString newFullUrl()
{
    return QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QJsonObject coding(const char *system, const char *code, const char *display)
{
    return {{QStringLiteral("system"), QLatin1String(system)},
            {QStringLiteral("code"), QLatin1String(code)},
            {QStringLiteral("display"), QLatin1String(display)}};
}

QJsonObject patient(const Measurement &m, const Order &order, const QString &system)
{
    QJsonObject name{{QStringLiteral("family"), m.lastName}};
    if (!m.firstName.isEmpty())
        name.insert(QStringLiteral("given"), QJsonArray{m.firstName});
    QJsonObject patient{
        {QStringLiteral("resourceType"), QStringLiteral("Patient")},
        {QStringLiteral("identifier"),
         QJsonArray{QJsonObject{{QStringLiteral("system"), system},
                                {QStringLiteral("value"), order.patientNumber}}}},
        {QStringLiteral("name"), QJsonArray{name}},
        {QStringLiteral("gender"), m.woman ? QStringLiteral("female") : QStringLiteral("male")}};
    if (order.birthDate)
        patient.insert(QStringLiteral("birthDate"), order.birthDate->toString(Qt::ISODate));
    return patient;
}

struct Value
{
    const char *profile;
    const char *loinc;
    const char *display;
    const char *unit;
    double value;
};

QJsonObject observation(const Value &v, const QString &subject, const QDateTime &taken)
{
    return {{QStringLiteral("resourceType"), QStringLiteral("Observation")},
            {QStringLiteral("meta"),
             QJsonObject{{QStringLiteral("profile"),
                          QJsonArray{QStringLiteral("http://hl7.org/fhir/StructureDefinition/") +
                                     QLatin1String(v.profile)}}}},
            {QStringLiteral("status"), QStringLiteral("final")},
            {QStringLiteral("category"),
             QJsonArray{QJsonObject{
                 {QStringLiteral("coding"),
                  QJsonArray{coding("http://terminology.hl7.org/CodeSystem/observation-category",
                                    "vital-signs", "Vital Signs")}}}}},
            {QStringLiteral("code"),
             QJsonObject{{QStringLiteral("coding"),
                          QJsonArray{coding("http://loinc.org", v.loinc, v.display)}}}},
            {QStringLiteral("subject"), QJsonObject{{QStringLiteral("reference"), subject}}},
            {QStringLiteral("effectiveDateTime"), taken.toString(Qt::ISODate)},
            {QStringLiteral("valueQuantity"),
             QJsonObject{{QStringLiteral("value"), v.value},
                         {QStringLiteral("unit"), QLatin1String(v.unit)},
                         {QStringLiteral("system"), QStringLiteral("http://unitsofmeasure.org")},
                         {QStringLiteral("code"), QLatin1String(v.unit)}}}};
}

QJsonObject entry(const QString &fullUrl, const QJsonObject &resource, QJsonObject request)
{
    request.insert(QStringLiteral("method"), QStringLiteral("POST"));
    request.insert(QStringLiteral("url"), resource.value(QStringLiteral("resourceType")));
    return {{QStringLiteral("fullUrl"), fullUrl},
            {QStringLiteral("resource"), resource},
            {QStringLiteral("request"), request}};
}

} // namespace

QByteArray fhirTransaction(const Measurement &m, const QString &identifierSystem)
{
    const Order order = m.order.value_or(Order{});
    const QString subject = newFullUrl();
    const QString search = QStringLiteral("identifier=") +
                           QString::fromLatin1(QUrl::toPercentEncoding(identifierSystem)) +
                           QStringLiteral("%7C") +
                           QString::fromLatin1(QUrl::toPercentEncoding(order.patientNumber));
    QJsonArray entries{entry(subject, patient(m, order, identifierSystem),
                             {{QStringLiteral("ifNoneExist"), search}})};
    QList<Value> values = {{"bodyweight", "29463-7", "Body weight", "kg", m.weightKg},
                           {"bodyheight", "8302-2", "Body height", "cm", m.heightMm / 10},
                           {"bmi", "39156-5", "Body mass index (BMI) [Ratio]", "kg/m2", m.bmi}};
    if (m.percentile)
        values.append({"vitalsigns", "59576-9",
                       "Body mass index (BMI) [Percentile] Per age and sex", "%", *m.percentile});
    for (const Value &v : values)
        entries.append(entry(newFullUrl(), observation(v, subject, m.takenAt), {}));
    return QJsonDocument(QJsonObject{{QStringLiteral("resourceType"), QStringLiteral("Bundle")},
                                     {QStringLiteral("type"), QStringLiteral("transaction")},
                                     {QStringLiteral("entry"), entries}})
        .toJson(QJsonDocument::Compact);
}
