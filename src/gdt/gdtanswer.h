#pragma once

#include "gdtcharset.h"
#include "gdtrequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The station's answer to a request: a record of type 6310 (data of an examination)
// with the patient as the request named them, the time of the take-over, height and
// weight, weight, height and BMI as test results, and the assessment as findings.

struct GdtAnswer
{
    GdtCharset charset = GdtCharset::Cp437;
    QString receiverId; // 8315: the practice system
    QString senderId;   // 8316: the station
    QString deviceCode; // 8402: the request's, empty when it had none
    QString patientNumber;
    QString lastName;
    QString firstName;
    std::optional<QDate> birthDate;
    QString birthDateUnread; // the request's 3103 where it was no date
    QString requestIdent;    // 8310 and 8314: the request's, so that it finds its order
    QString requestUid;
    GdtSex sex = GdtSex::Unknown; // as the take-over rated, not as the request said
    QDateTime takenAt;
    double weightKg = 0;
    double heightMm = 0;
    QStringList findings;                // one 6220 line each; empty ones are left out
    std::optional<double> bmiPercentile; // a child's, as a fourth test
};

// An answer to request, addressed back to its sender: the request's character set,
// its 8316 as receiver and its 8315 as sender (practiceId and stationId where the
// request has none), its 8402, 8310 and 8314, and its patient but for the sex.
GdtAnswer answerTo(const GdtRequest &request, const QString &stationId, const QString &practiceId);

// A number as the answer writes it: a decimal point and one decimal ("72.5", "175.0").
QString gdtDecimal(double value);

// A child's percentile as the answer's 8420 carries it: the digits the window shows
// (percentileText) with a decimal point, "45", "9.6"; a clamp as "<0.1" or ">99.9",
// with no blank, as laboratories write a value beyond what they resolve, so that a
// reader that shows the text shows the bound, and one that takes a number finds none
// rather than a wrong one. '<' and '>' are in every GDT character set.
QString gdtPercentile(double percentile);

// The longest 6220 line the field allows.
inline constexpr qsizetype longestFindingLine = 60;

// text as lines of at most width characters, split after a blank; a word longer than a
// line is cut. Nothing is lost but the blanks at the splits.
QStringList wrappedLines(const QString &text, qsizetype width);

// The bytes of the answer (see writeGdtRecord). 3000 always; 3103 whenever the request
// had one; 3110 only as 1 or 2. Height
// goes out in centimetres, weight in kilograms and the BMI from both, each with one
// decimal; each finding as 6220 lines of at most longestFindingLine characters.
// Characters the set cannot hold become '?' and are listed in *unencodable.
QByteArray writeGdtAnswer(const GdtAnswer &answer, QString *unencodable = nullptr);
