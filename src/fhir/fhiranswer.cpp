#include "fhiranswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

static QString outcomeText(const QJsonObject &resource)
{
    QStringList texts;
    for (const QJsonValue &issue : resource.value(QStringLiteral("issue")).toArray()) {
        const QJsonObject i = issue.toObject();
        QString text =
            i.value(QStringLiteral("details")).toObject().value(QStringLiteral("text")).toString();
        if (text.isEmpty())
            text = i.value(QStringLiteral("diagnostics")).toString();
        const QJsonArray where = i.value(QStringLiteral("expression")).toArray();
        if (!where.isEmpty())
            text += QStringLiteral(" (%1)").arg(where.first().toString());
        texts.append(text);
    }
    return texts.join(QStringLiteral("; "));
}

PeerAnswer readFhirAnswer(int status, QByteArrayView body)
{
    const QJsonObject resource = QJsonDocument::fromJson(body.toByteArray()).object();
    const QString text = outcomeText(resource);
    const QString withStatus = QStringLiteral("HTTP %1%2")
                                   .arg(status)
                                   .arg(text.isEmpty() ? QString() : QStringLiteral(": ") + text);
    if (status >= 500 || status < 200)
        return {PeerAnswer::Again, withStatus};
    if (status < 300 && resource.value(QStringLiteral("resourceType")) == QLatin1String("Bundle") &&
        resource.value(QStringLiteral("type")) == QLatin1String("transaction-response"))
        return {PeerAnswer::Done, {}};
    if (status < 300)
        return {PeerAnswer::Refused,
                QStringLiteral("HTTP %1: Antwort ist keine transaction-response").arg(status)};
    return {PeerAnswer::Refused, withStatus};
}
