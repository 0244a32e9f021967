#pragma once

#include <QByteArray>
#include <QString>

// Files in the exchange directory a practice system and the station share. A GDT file
// is named by the receiver's ID followed by the sender's and ".GDT"; several practice
// systems number their requests ".001" to ".999" instead. Failures throw a Failure
// whose German message names the file.

// <stationId><practiceId>.GDT: what the practice system writes for the station.
QString requestFileName(const QString &stationId, const QString &practiceId);

// <practiceId><stationId>.GDT: what the station writes for the practice system.
QString answerFileName(const QString &stationId, const QString &practiceId);

// True for <stationId><practiceId>.GDT and <stationId><practiceId>.NNN (.000 to .999; some
// practice systems count from 0) in any case.
bool isRequestFileName(const QString &name, const QString &stationId, const QString &practiceId);

// The path of the file in dir whose name equals name when case is ignored (practice
// systems on Windows and network shares do not keep it); empty when there is none.
QString findFileIgnoringCase(const QString &dir, const QString &name);

// The most a GDT record can hold: 8100 has five digits.
inline constexpr qint64 longestGdtFile = 99999;

struct ExchangeFileRead
{
    enum class Kind { Read, NotAFile, TooLarge };
    Kind kind = Kind::Read;
    QByteArray bytes; // when Read
    qint64 size = 0;  // when Read or TooLarge
};

// The whole file when it is a regular one (after following a link) of at most limit
// bytes. Anyone may put anything in an exchange directory: a FIFO or a device under
// the name is never read and nothing here blocks on one, and a larger file is not read
// into memory. Throws a Failure naming path when it cannot be read.
ExchangeFileRead readExchangeFile(const QString &path, qint64 limit = longestGdtFile);

// Removes the file.
void removeExchangeFile(const QString &path);

// Renames a file that must not be read again to "<named>.fehlerhaft", or to
// "<named>.2.fehlerhaft" and on when that is taken, and returns the new path; named is
// path unless given.
QString moveAside(const QString &path, const QString &named = {});

enum class Delivery { Written, Waiting };

// Writes bytes as dir/name so that a reader only ever sees the whole file: under a
// temporary name, synced to disk, then put in place without replacing. A file of that
// name (in any case) that is there already has not been read yet: it is never
// replaced, nothing is written and Waiting is returned.
Delivery deliverFile(const QString &dir, const QString &name, const QByteArray &bytes);
