#pragma once

#include <QByteArray>
#include <QString>

// Files in the exchange directory a practice system and the station share. A GDT file
// is named by the receiver's ID followed by the sender's and ".GDT". Failures throw a
// Failure whose German message names the file.

// <stationId><practiceId>.GDT: what the practice system writes for the station.
QString requestFileName(const QString &stationId, const QString &practiceId);

// <practiceId><stationId>.GDT: what the station writes for the practice system.
QString answerFileName(const QString &stationId, const QString &practiceId);

// The path of the file in dir whose name equals name when case is ignored (practice
// systems on Windows and network shares do not keep it); empty when there is none.
QString findFileIgnoringCase(const QString &dir, const QString &name);

// The whole file.
QByteArray readExchangeFile(const QString &path);

// Removes the file.
void removeExchangeFile(const QString &path);

// Renames a file that must not be read again to "<path>.fehlerhaft", or to
// "<path>.2.fehlerhaft" and on when that is taken, and returns the new path.
QString moveAside(const QString &path);

enum class Delivery { Written, Waiting };

// Writes bytes as dir/name so that a reader only ever sees the whole file: under a
// temporary name, synced to disk, then put in place without replacing. A file of that
// name (in any case) that is there already has not been read yet: it is never
// replaced, nothing is written and Waiting is returned.
Delivery deliverFile(const QString &dir, const QString &name, const QByteArray &bytes);
