#include "hl7ack.h"

#include "hl7result.h"
#include "hl7text.h"

#include <QStringList>

PeerAnswer readHl7Ack(QByteArrayView answer, const QString &controlId)
{
    const std::optional<Hl7Message> ack = Hl7Message::parse(answer);
    const QString firstLine =
        QString::fromUtf8(answer.first(std::min<qsizetype>(answer.size(), 200)))
            .section(QLatin1Char('\r'), 0, 0);
    if (!ack || !ack->hasSegment(u"MSA"))
        return {PeerAnswer::Refused,
                QStringLiteral("Antwort ist keine Quittung: „%1“").arg(firstLine)};
    const QString code = ack->value(u"MSA", 1);
    QString text = ack->value(u"MSA", 3);
    if (text.isEmpty())
        text = ack->value(u"ERR", 8);
    if (ack->value(u"MSA", 2) != controlId)
        return {
            PeerAnswer::Refused,
            QStringLiteral("Quittung für „%1“ statt „%2“").arg(ack->value(u"MSA", 2), controlId)};
    if (code == u"AA" || code == u"CA")
        return {PeerAnswer::Done, text};
    return {
        PeerAnswer::Refused,
        QStringLiteral("%1%2").arg(code, text.isEmpty() ? QString() : QStringLiteral(": ") + text)};
}

QByteArray hl7Ack(const std::optional<Hl7Message> &message, const QString &facility,
                  const char *code, const QString &reason, const QString &controlId,
                  const QDateTime &sent)
{
    const auto field = [&](int n, int component = 1) {
        return message ? hl7Escaped(message->value(u"MSH", n, component)) : QString();
    };
    QString text = QStringList{QStringLiteral("MSH"),
                               QStringLiteral("^~\\&"),
                               QLatin1String(hl7SendingApplication),
                               hl7Escaped(facility),
                               field(3),
                               field(4),
                               hl7Time(sent),
                               {},
                               QStringLiteral("ACK^%1^ACK").arg(field(9, 2)),
                               hl7Escaped(controlId),
                               QStringLiteral("P"),
                               QStringLiteral("2.5.1"),
                               {},
                               {},
                               {},
                               {},
                               {},
                               QStringLiteral("UNICODE UTF-8")}
                       .join(QLatin1Char('|')) +
                   QLatin1Char('\r');
    text +=
        QStringList{QStringLiteral("MSA"), QLatin1String(code), field(10), hl7Escaped(reason)}.join(
            QLatin1Char('|')) +
        QLatin1Char('\r');
    if (!reason.isEmpty())
        text += QStringLiteral("ERR|||207^Application internal error^HL70357|E||||%1\r")
                    .arg(hl7Escaped(reason));
    return text.toUtf8();
}
