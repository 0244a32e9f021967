#include "namefolding.h"

namespace {

// Spellings of letters that German keyboards without them type in two letters.
QStringView twoLetterSpelling(QChar ch)
{
    switch (ch.unicode()) {
    case u'ä':
    case u'Ä':
        return u"ae";
    case u'ö':
    case u'Ö':
        return u"oe";
    case u'ü':
    case u'Ü':
        return u"ue";
    case u'ß':
    case u'ẞ':
        return u"ss";
    default:
        return {};
    }
}

} // namespace

QString foldedName(QStringView name)
{
    QString spelled;
    spelled.reserve(name.size() + 4);
    for (const QChar ch : name) {
        if (const QStringView two = twoLetterSpelling(ch); !two.isEmpty())
            spelled += two;
        else
            spelled += ch;
    }
    // Decomposed, an accented letter is its base letter and marks that can go.
    const QString decomposed = spelled.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar ch : decomposed) {
        if (ch.category() != QChar::Mark_NonSpacing)
            folded += ch;
    }
    return folded.toCaseFolded().simplified();
}
