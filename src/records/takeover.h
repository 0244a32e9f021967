#pragma once

#include <QString>

// The entries of one take-over, as the window's fields hold them.
struct TakeOverEntries
{
    QString first;  // first name
    QString last;   // last name
    QString age;    // years
    QString weight; // kilograms, "99999" until the scale has sent a reading
    QString height; // millimetres
};

inline const QString takeOverRefused =
    QStringLiteral("Daten nicht übernommen! Bitte Eingaben überprüfen!");

// Whether a take-over may store these entries. Refused are: an empty first name,
// last name or age; a name a file name cannot carry or Windows-1252 cannot encode; an
// age that is not a number, or whose header would not read back as one ("1E1"); no
// scale reading yet; a weight or height that is not a number above zero; a BMI whose
// text is no number. A refused take-over changes nothing, so a bad header or a
// corrupted record never reaches the file.
bool entriesAccepted(const TakeOverEntries &entries);
