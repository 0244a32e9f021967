#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

enum class LinkSex { Unknown, Male, Female };

// A stored take-over as the hospital links send it: the person as the order named
// them and the values as the history file holds them.
struct LinkMeasurement
{
    QString patientId;          // empty: typed by hand, sent by no link
    QString assigningAuthority; // who gave patientId; empty: the link's setting
    QString placerOrder;        // the order this answers, empty when none
    QString lastName;
    QString firstName;
    std::optional<QDate> birthDate;
    LinkSex sex = LinkSex::Unknown;
    QDateTime taken; // when the values were taken, with its offset from UTC
    double weightKg = 0;
    double heightCm = 0;
    double bmi = 0;
    std::optional<double> percentile; // BMI percentile of a child rated by percentiles
    QStringList assessment;           // the lines of the rating, as shown
};
