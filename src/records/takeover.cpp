#include "takeover.h"

#include "common/logcategories.h"
#include "common/numbertext.h"
#include "cp1252.h"
#include "linefields.h"
#include "personfile.h"
#include "rating.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

// The scale's resolution: 33.2 counts a kilogram. Less than half a count is the
// rounding residue of an empty scale ("3,60822483003176E-16"), not a weight.
constexpr double zeroWeightKg = 0.5 / 33.2;

bool hasControlCharacter(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool plainNonNegative(const QString &text)
{
    const auto value = parseNumber(text);
    return value && !std::signbit(*value) && !text.contains(QLatin1Char('E'), Qt::CaseInsensitive);
}

} // namespace

QString takeOverRefusal(const TakeOverEntries &e)
{
    if (e.first.trimmed().isEmpty())
        return QStringLiteral("Bitte den Vornamen eingeben.");
    if (e.last.trimmed().isEmpty())
        return QStringLiteral("Bitte den Nachnamen eingeben.");
    if (e.age.isEmpty())
        return QStringLiteral("Bitte das Alter eingeben.");
    for (const QString *name : {&e.first, &e.last}) {
        if (const QString problem = nameProblem(*name); !problem.isEmpty())
            return QStringLiteral("Der Name %1.").arg(problem);
    }
    for (const QString *text : {&e.age, &e.date, &e.weight, &e.height}) {
        if (hasControlCharacter(*text))
            return QStringLiteral("Ein Feld enthält ein Steuerzeichen, z. B. einen Zeilenumbruch.");
    }
    // Readers take the age back out of the header; it must read as the number it is.
    const HeaderFields header =
        headerFields(headerLine(personName(e.first, e.last), sexWord(false), e.age));
    if (!isCp1252Encodable(e.age) || !plainNonNegative(e.age) || !plainNonNegative(header.ageText))
        return QStringLiteral("Das Alter muss eine Zahl ab 0 sein.");
    if (e.weight == QLatin1String("99999"))
        return QStringLiteral("Die Waage hat noch kein Gewicht gemeldet.");
    if (e.scaleLineLost)
        return QStringLiteral("Die Verbindung zur Waage ist unterbrochen.");
    const auto weight = parseNumber(e.weight);
    if (!weight)
        return QStringLiteral("Das Gewicht ist keine Zahl.");
    if (*weight < zeroWeightKg)
        return QStringLiteral("Die Waage meldet kein Gewicht.");
    const auto height = parseNumber(e.height);
    if (!height || *height <= 0)
        return QStringLiteral("Die Größe muss eine Zahl über 0 sein.");
    if (!parseNumber(shortBmiText(bodyMassIndex(*weight, *height))))
        return QStringLiteral("Aus Gewicht und Größe ergibt sich kein BMI.");
    return {};
}

QString refusedTakeOver(const TakeOverEntries &entries)
{
    const QString refusal = takeOverRefusal(entries);
    if (!refusal.isEmpty())
        qCInfo(logRecords).noquote() << QStringLiteral("Übernahme abgelehnt: ") + refusal;
    return refusal;
}

TakenOver takeOver(const TakeOverEntries &entries, const TakeOverPerson &person,
                   const QString &path, const QString &dataDir, ChildRatings children,
                   const QDateTime &takenAt)
{
    TakenOver result;
    Measurement &m = result.measurement;
    m.firstName = entries.first;
    m.lastName = entries.last;
    m.woman = person.woman;
    m.ageText = entries.age;
    m.ratingAge = person.ratingAge;
    m.takenAt = takenAt;
    m.dateText = entries.date;
    m.weightKg = textNumber(entries.weight);
    m.heightMm = textNumber(entries.height);
    // The stored BMI is the text of its first two characters.
    m.bmi = bodyMassIndex(m.weightKg, m.heightMm);
    m.bmiStored = shortBmiText(m.bmi);
    m.historyFile = path;
    m.order = person.order;

    const qint64 before = QFileInfo(path).size();
    storeMeasurement(path,
                     headerLine(personName(m.firstName, m.lastName), sexWord(m.woman), m.ageText),
                     recordLine(m.dateText, entries.weight, entries.height, m.bmiStored));
    qCInfo(logRecords).noquote() << QStringLiteral("Übernahme gespeichert in „%1“: %2 → %3 Bytes")
                                        .arg(QDir::toNativeSeparators(path))
                                        .arg(before)
                                        .arg(QFileInfo(path).size());
    try {
        if (const auto child = childRating(m.bmi, m.ratingAge, m.woman, children)) {
            m.percentile = child->percentile;
            m.ratingClass = child->ratingClass;
        } else {
            m.ratingClass =
                ratingClass(ratingValue(textNumber(m.bmiStored), textNumber(m.ageText), m.woman));
        }
        if (m.ratingClass) {
            if (m.percentile)
                m.assessment << percentileLine(*m.percentile);
            m.assessment << readRatingFile(ratingFilePath(dataDir, *m.ratingClass));
        }
    } catch (...) {
        result.ratingFailure = std::current_exception();
    }
    return result;
}
