#include "hl7text.h"

#include "common/numbertext.h"

#include <QLocale>

QString hl7Escaped(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '|':
            escaped += QLatin1String("\\F\\");
            break;
        case '^':
            escaped += QLatin1String("\\S\\");
            break;
        case '&':
            escaped += QLatin1String("\\T\\");
            break;
        case '~':
            escaped += QLatin1String("\\R\\");
            break;
        case '\\':
            escaped += QLatin1String("\\E\\");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                escaped +=
                    QStringLiteral("\\X%1\\").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
            else
                escaped += c;
        }
    }
    return escaped;
}

static QString unescapedSequence(QStringView body)
{
    if (body == u"F")
        return QStringLiteral("|");
    if (body == u"S")
        return QStringLiteral("^");
    if (body == u"T")
        return QStringLiteral("&");
    if (body == u"R")
        return QStringLiteral("~");
    if (body == u"E")
        return QStringLiteral("\\");
    QString bytes;
    if (body.startsWith(u'X') && body.size() % 2 == 1) {
        for (qsizetype i = 1; i < body.size(); i += 2) {
            bool ok = false;
            const uint byte = body.mid(i, 2).toUInt(&ok, 16);
            if (!ok)
                return {};
            bytes += QChar(byte);
        }
    }
    return bytes;
}

QString hl7Unescaped(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end = text[i] == u'\\' ? text.indexOf(u'\\', i + 1) : -1;
        if (end < 0) {
            plain += text[i];
            continue;
        }
        plain += unescapedSequence(text.mid(i + 1, end - i - 1));
        i = end;
    }
    return plain;
}

QString hl7Number(double value)
{
    return numberText(value, QLocale::c());
}

QString hl7Time(const QDateTime &time)
{
    const int offset = time.offsetFromUtc() / 60;
    return time.toString(QStringLiteral("yyyyMMddHHmmss")) +
           QStringLiteral("%1%2%3")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
               .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
}

QString hl7Date(QDate date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

std::optional<QDate> hl7ReadDate(QStringView text)
{
    const QDate date = QDate::fromString(text.left(8).toString(), QStringLiteral("yyyyMMdd"));
    if (text.size() < 8 || !date.isValid())
        return std::nullopt;
    return date;
}
