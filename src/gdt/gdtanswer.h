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
    QString patientNumber;
    QString lastName;
    QString firstName;
    std::optional<QDate> birthDate;
    GdtSex sex = GdtSex::Unknown;
    QDateTime takenAt;
    double weightKg = 0;
    double heightMm = 0;
    QStringList findings;                // one 6220 line each; empty ones are left out
    std::optional<double> bmiPercentile; // a child's, as a fourth test
};

// GDT version the answer declares in 9218: the line format with 8100 and 9206 is
// that of version 2.1.
inline constexpr char gdtVersion[] = "02.10";

// An answer to request, addressed back to its sender: the request's character set,
// its 8316 as receiver and its 8315 as sender (practiceId and stationId where the
// request has none), and its patient.
GdtAnswer answerTo(const GdtRequest &request, const QString &stationId, const QString &practiceId);

// A number as the answer writes it: a decimal point and one decimal ("72.5", "175.0").
QString gdtDecimal(double value);

// The bytes of the answer (see writeGdtRecord). Height goes out in centimetres, weight
// in kilograms and the BMI from both, each with one decimal. Characters the set cannot
// hold become '?' and are listed in *unencodable.
QByteArray writeGdtAnswer(const GdtAnswer &answer, QString *unencodable = nullptr);
