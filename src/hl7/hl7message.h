#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A received HL7 v2 message, cut into segments and fields with the delimiters its MSH
// declares. Text is UTF-8 unless MSH-18 names ISO 8859-1.
class Hl7Message
{
public:
    // Nothing when the bytes do not start with an MSH segment with its delimiters.
    static std::optional<Hl7Message> parse(QByteArrayView bytes);

    // Field n of the first segment named segment, its first repetition, component c,
    // unescaped; empty when absent. Counted as HL7 does: MSH-1 is the field separator.
    QString value(QStringView segment, int field, int component = 1) const;
    bool hasSegment(QStringView segment) const;

private:
    QList<QStringList> m_segments; // [0] is the segment's name
    QChar m_component;
    QChar m_repetition;
};
