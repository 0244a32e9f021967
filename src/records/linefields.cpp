#include "linefields.h"

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
