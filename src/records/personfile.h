#pragma once

#include <QString>

#include <functional>

// The PersonFile: one history file per person in the data directory, a header line,
// an empty line, then one record line per measurement taken over. Readers take sex,
// age and BMI from fixed positions counted from the end of a line (linefields.h), so
// the pieces below are neither padded nor cut.

// dataDir + "/" + personName(first, last) + ".txt".
QString personFilePath(const QString &dataDir, const QString &first, const QString &last);

// Why a name cannot be part of a file name, as the end of a German sentence that
// starts "Der Name " ("besteht nur aus Leerzeichen"); empty when it can. Refused are
// blanks only; \ / : * ? " < > |, control characters and characters Windows-1252 cannot
// encode, which would reach outside the data directory or fail; and Windows device
// names (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, also with superscript 1 to 3,
// with or without an extension, in any case), which on a Windows station sharing the
// folder name the device and not a file, whatever the system that stores them.
QString nameProblem(const QString &name);
inline bool isSafeName(const QString &name)
{
    return nameProblem(name).isEmpty();
}

// The path the history views and the report read for the names, or the empty text
// (which names no file) for a name that isSafeName refuses.
QString historyFilePath(const QString &dataDir, const QString &first, const QString &last);

// What the readers show when a person has no PersonFile.
QString noRecordMessage();

// first + " " + last without blanks around either, the name in the header and in the
// file name.
QString personName(const QString &first, const QString &last);

// "  männlich" or "  weiblich".
QString sexWord(bool woman);

// name + sex word + " " + age + "Jahre", e.g. "Anna Beispiel  weiblich 34Jahre".
QString headerLine(const QString &name, const QString &sexWord, const QString &age);

// "  " + date + "    " + weight + "kg    " + height + "mm    " + " BMI: " + bmi,
// e.g. "  06.12.2026    72,5kg    1750mm     BMI: 23".
QString recordLine(const QString &date, const QString &weight, const QString &height,
                   const QString &bmi);

enum class Stored { Created, Appended };

// Stores one measurement, all or nothing (atomicfile.h): appends recordLine to an
// existing PersonFile, on a line of its own; otherwise puts the new file with header,
// empty line and record in place whole. A file that appears after the existence test,
// e.g. created by another station on a shared folder, is appended to; an empty one
// gets the header as well. A file the readers refuse (textfile.h) is refused before
// anything is appended. The bytes are on the disk when this returns. Throws a
// Failure naming the file and the cause when it cannot be stored; the files are then
// as they were. Nothing is written when a line cannot be encoded. exists is the
// existence test (tests replace it).
Stored storeMeasurement(const QString &path, const QString &header, const QString &record,
                        const std::function<bool(const QString &)> &exists = {});
