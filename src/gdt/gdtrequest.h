#pragma once

#include "gdtcharset.h"
#include "gdtrecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <variant>

// A practice system's request for the station: patient data (record type 6301), a
// new examination (6302) or the data of an examination to be shown (6311).

enum class GdtSex { Unknown, Male, Female };

struct GdtRequest
{
    QByteArray recordType = "6302";
    GdtCharset charset = GdtCharset::Cp437;
    QString receiverId; // 8315, empty when absent
    QString senderId;   // 8316, empty when absent
    QString deviceCode; // 8402, empty when absent; the answer names it again
    QString patientNumber;
    QString lastName;
    QString firstName;
    std::optional<QDate> birthDate;
    QString birthDateUnread; // 3103 as written when it is no date; the answer repeats it
    GdtSex sex = GdtSex::Unknown;
    QString requestIdent; // 8310, empty when absent; the answer repeats both
    QString requestUid;   // 8314

    bool operator==(const GdtRequest &) const = default;
};

// The request in bytes (read in charset when given, see readGdtRecord), or its first
// fault with its line: a record type other than 6301, 6302 or 6311; a field used here
// given twice or with a byte its set does not hold; no last name (3101), first name
// (3102) or patient number (3000). A birth date (3103) is read as YYYYMMDD when that is
// a date from 1800 on, else as DDMMYYYY; one that is neither, and a sex (3110) other
// than 1, 2, M or W in either case are taken as absent: the operator gives them.
// Other fields are ignored. Blanks around the patient number and the names are dropped:
// practice systems pad fields, and a trailing blank would name another history file.
std::variant<GdtRequest, GdtError> parseGdtRequest(QByteArrayView bytes,
                                                   std::optional<GdtCharset> charset = {});

// GDT version a record of the station's declares in 9218: the line format with 8100
// and 9206 is that of version 2.1.
inline constexpr char gdtVersion[] = "02.10";

// The record of a request in its character set, as a practice system writes it.
QByteArray writeGdtRequest(const GdtRequest &request);

// A date as GDT writes it: DDMMYYYY.
QString gdtDate(QDate date);
