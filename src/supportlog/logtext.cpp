#include "logtext.h"

#include <QRegularExpression>

#include <cstdlib>

namespace {

QString levelName(QtMsgType level)
{
    switch (level) {
    case QtDebugMsg:
        return QStringLiteral("debug");
    case QtInfoMsg:
        return QStringLiteral("info");
    case QtWarningMsg:
        return QStringLiteral("warning");
    case QtCriticalMsg:
        return QStringLiteral("critical");
    case QtFatalMsg:
        return QStringLiteral("fatal");
    }
    return QStringLiteral("info");
}

QString offsetText(int seconds)
{
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

bool namesFile(const QString &quoted)
{
    static const QRegularExpression extension(QStringLiteral("\\.[A-Za-z]{2,}$"));
    return quoted.contains(QLatin1Char('/')) || quoted.contains(QLatin1Char('\\')) ||
           extension.match(quoted).hasMatch();
}

} // namespace

QString logLine(const QDateTime &localTime, QtMsgType level, const QString &category,
                const QString &text)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\\r\\n|\\n|\\r"));
    QString oneLine = text;
    oneLine.replace(lineBreaks, QStringLiteral(" | "));
    return QStringLiteral("%1%2 %3 %4 %5")
        .arg(localTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
             offsetText(localTime.offsetFromUtc()), levelName(level), category, oneLine);
}

QString withoutPersonalData(const QString &text)
{
    static const QRegularExpression quoted(QStringLiteral("„([^“]*)“"));
    static const QRegularExpression date(QStringLiteral("\\b\\d{1,2}\\.\\d{1,2}\\.\\d{2,4}\\b"));
    QString result;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &m : quoted.globalMatch(text)) {
        result += QStringView(text).sliced(from, m.capturedStart() - from);
        result += namesFile(m.captured(1)) ? m.captured() : QStringLiteral("„…“");
        from = m.capturedEnd();
    }
    result += QStringView(text).sliced(from);
    return result.replace(date, QStringLiteral("…"));
}
