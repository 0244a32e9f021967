#pragma once

#include "childbmi.h"
#include "measurement.h"

#include <QDateTime>
#include <QString>

#include <exception>

// The entries of one take-over, as the window's fields hold them.
struct TakeOverEntries
{
    QString first;              // first name
    QString last;               // last name
    QString age;                // years
    QString date;               // as stored in the record
    QString weight;             // kilograms, "99999" until the scale has sent a reading
    QString height;             // millimetres
    bool scaleLineLost = false; // the scale's line went away and no frame came since
};

inline const QString takeOverRefused =
    QStringLiteral("Daten nicht übernommen! Bitte Eingaben überprüfen!");

// Why a take-over may not store these entries, as one short German line for the
// operator; the empty text when it may. Refused are: an empty or blank first name, last
// name, or an empty age; a name that nameProblem refuses; a control
// character (CR, LF, TAB, ...) in any text that goes into the file; an age that is not
// a number of at least 0 in plain form ("1E1" would spoil the header); no scale
// reading yet, or one from a line that has been lost; a weight of zero within the
// scale's resolution (less than half a count, 1/66.4 kg) or below; a height that is not
// a number above zero; a BMI whose text is no number. A refused take-over changes
// nothing, so a bad header or a corrupted record never reaches the file.
QString takeOverRefusal(const TakeOverEntries &entries);

inline bool entriesAccepted(const TakeOverEntries &entries)
{
    return takeOverRefusal(entries).isEmpty();
}

// takeOverRefusal, and the refusal logged.
QString refusedTakeOver(const TakeOverEntries &entries);

// Who is measured, beyond what the fields hold.
struct TakeOverPerson
{
    bool woman = false;
    double ratingAge = 0;       // years; exact where a birth date is known
    std::optional<Order> order; // the request the person came with, when they did
};

// A stored take-over, and why its rating could not be completed.
struct TakenOver
{
    Measurement measurement;
    std::exception_ptr ratingFailure; // the record is stored all the same
};

// Stores the accepted entries in the history file at path (storeMeasurement) and rates
// them: the percentile of the exact BMI for a child where children are rated so, which
// then heads the assessment, else the BMI class of the stored BMI; only the rating file
// of the class reached is read. Throws a Failure when the record cannot be stored,
// with nothing stored; a rating that fails after the store is returned, not thrown.
TakenOver takeOver(const TakeOverEntries &entries, const TakeOverPerson &person,
                   const QString &path, const QString &dataDir, ChildRatings children,
                   const QDateTime &takenAt);
