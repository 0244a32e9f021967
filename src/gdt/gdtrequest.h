#pragma once

#include "gdtcharset.h"
#include "gdtrecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <variant>

// A practice system's request for the station: patient data (record type 6301) or a
// new examination (6302).

enum class GdtSex { Unknown, Male, Female };

struct GdtRequest
{
    QByteArray recordType = "6302";
    GdtCharset charset = GdtCharset::Cp437;
    QString receiverId; // 8315, empty when absent
    QString senderId;   // 8316, empty when absent
    QString patientNumber;
    QString lastName;
    QString firstName;
    std::optional<QDate> birthDate;
    GdtSex sex = GdtSex::Unknown;

    bool operator==(const GdtRequest &) const = default;
};

// The request in bytes, or its first fault (see readGdtRecord) with its line: a record
// type other than 6301 or 6302; a birth date (3103) that is not a date as DDMMYYYY; a
// sex (3110) other than 1 or M (male), 2 or W (female), 3, D, X or U (left unknown); a
// field used here given twice; no last name (3101) or first name (3102). Other fields
// are ignored. Blanks around the patient number and the names are dropped: practice
// systems pad fields, and a trailing blank would name another history file.
std::variant<GdtRequest, GdtError> parseGdtRequest(QByteArrayView bytes);

// The record of a request in its character set, as a practice system writes it.
QByteArray writeGdtRequest(const GdtRequest &request);

// A date as GDT writes it: DDMMYYYY.
QString gdtDate(QDate date);
