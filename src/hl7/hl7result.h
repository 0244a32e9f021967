#pragma once

#include "records/measurement.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Who sends and who receives, as the settings name them (MSH-4 to MSH-6).
struct Hl7Parties
{
    QString facility;             // MSH-4, this station's place
    QString receivingApplication; // MSH-5
    QString receivingFacility;    // MSH-6
    QString assigningAuthority;   // PID-3.4 where the order names none
};

inline constexpr char hl7SendingApplication[] = "TESSARINE";

// The measurement as an ORU^R01 of HL7 v2.5.1 in UTF-8, segments ended by CR: MSH
// (MSH-10 controlId, MSH-7 sent), PID (the order's patient number, authority and birth
// date, the names and sex as taken over), OBR (the order's placer number), NTE per
// assessment line, and one OBX per value: LOINC 29463-7 kg, 8302-2 cm, 39156-5 kg/m2 and
// for a child's percentile 59576-9 %; units as UCUM, OBX-2 NM, OBX-11 F, OBX-14 the
// time taken.
QByteArray hl7Result(const Measurement &measurement, const Hl7Parties &parties,
                     const QString &controlId, const QDateTime &sent);

// A control id no other message of this station has: time and a random part.
QString hl7NewControlId();
