#include "hl7message.h"

#include "hl7text.h"

#include <QRegularExpression>

static QList<QStringList> segmentsOf(const QString &text, char fieldSeparator)
{
    static const QRegularExpression lineEnds(QStringLiteral("[\r\n]+"));
    QList<QStringList> segments;
    for (const QString &segment : text.split(lineEnds, Qt::SkipEmptyParts))
        segments.append(segment.split(QLatin1Char(fieldSeparator)));
    return segments;
}

std::optional<Hl7Message> Hl7Message::parse(QByteArrayView bytes)
{
    if (bytes.size() < 8 || !bytes.startsWith("MSH"))
        return std::nullopt;
    const char fieldSeparator = bytes[3];
    Hl7Message message;
    message.m_component = QLatin1Char(bytes[4]);
    message.m_repetition = QLatin1Char(bytes[5]);
    message.m_segments = segmentsOf(QString::fromUtf8(bytes), fieldSeparator);
    if (message.value(u"MSH", 18).contains(QLatin1String("8859/1")))
        message.m_segments = segmentsOf(QString::fromLatin1(bytes), fieldSeparator);
    return message;
}

QString Hl7Message::value(QStringView segment, int field, int component) const
{
    for (const QStringList &fields : m_segments) {
        if (fields.first() != segment)
            continue;
        const int index = segment == u"MSH" ? field - 1 : field;
        if (index < 1 || index >= fields.size())
            return {};
        if (segment == u"MSH" && field <= 2)
            return fields[index];
        const QString repetition = fields[index].section(m_repetition, 0, 0);
        return hl7Unescaped(repetition.section(m_component, component - 1, component - 1));
    }
    return {};
}

bool Hl7Message::hasSegment(QStringView segment) const
{
    for (const QStringList &fields : m_segments)
        if (fields.first() == segment)
            return true;
    return false;
}
