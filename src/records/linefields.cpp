#include "linefields.h"

#include "common/failure.h"
#include "common/numbertext.h"

#include <algorithm>

QString lastChars(const QString &line, qsizetype n)
{
    return line.size() <= n ? line : line.right(n);
}

QString sexLetter(const QString &header)
{
    return lastChars(header, 16).left(1);
}

QString ageText(const QString &header)
{
    return lastChars(header, 7).left(2);
}

QString bmiText(const QString &recordLine)
{
    return lastChars(recordLine, 2);
}

HeaderFields headerFields(const QString &header)
{
    static const QString man = QStringLiteral("  männlich ");
    static const QString woman = QStringLiteral("  weiblich ");
    static const QString years = QStringLiteral("Jahre");
    if (header.endsWith(years)) {
        const qsizetype atMan = header.lastIndexOf(man);
        const qsizetype atWoman = header.lastIndexOf(woman);
        const qsizetype at = std::max(atMan, atWoman);
        const qsizetype ageStart = at + man.size();
        const qsizetype ageEnd = header.size() - years.size();
        if (at >= 0 && ageEnd > ageStart) {
            return {at == atMan ? QStringLiteral("m") : QStringLiteral("w"),
                    header.mid(ageStart, ageEnd - ageStart)};
        }
    }
    return {sexLetter(header), ageText(header)};
}

double numberInLine(const QString &text, const QString &what, int lineNumber,
                    const QString &fileName)
{
    if (const auto value = parseNumber(text))
        return *value;
    throw Failure(QStringLiteral("Die Datei „%1“ ist nicht lesbar: In Zeile %2 ist %3 „%4“ "
                                 "keine Zahl.")
                      .arg(fileName, QString::number(lineNumber), what, text));
}

void failMissingLine(int lineNumber, const QString &fileName)
{
    throw Failure(QStringLiteral("Die Datei „%1“ ist unvollständig: Zeile %2 fehlt.")
                      .arg(fileName, QString::number(lineNumber)));
}
