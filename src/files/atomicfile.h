#pragma once

#include "files/systemerror.h" // systemCause(), the causes named here

#include <QByteArray>
#include <QFile>
#include <QString>

// The file-system operations behind every file the station writes, all or nothing: a
// failure of any kind (full disk, I/O error, a sync that fails) leaves the files as
// they were and throws a Failure that names the file and gives the system's own cause
// in the user's language. What a call wrote is on the disk when it returns. Only
// regular files are opened: a directory, FIFO, device or symbolic link (on Windows any
// reparse point) under a file's name is refused at once, and nothing here can block on
// one or write through a link. The folders above a file may be links.

// True if path names a regular file, false if nothing is there. Throws a Failure
// naming path when something else is (directory, FIFO, device, link).
bool fileExists(const QString &path);

// Opens the regular file at path for reading into file, unbuffered; throws a Failure
// naming path when it cannot or when path is no regular file.
void openForReading(QFile &file, const QString &path);

// A file written under a temporary name beside its final path and put in place whole;
// until then, and after any failure, nothing of it is left in the directory.
class PendingFile
{
public:
    // Creates the temporary file; throws a Failure naming path when it cannot.
    explicit PendingFile(const QString &path);
    ~PendingFile(); // removes the temporary file unless it was put in place
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    // Writes the whole content and syncs it; once only.
    void write(const QByteArray &bytes);
    // Puts the file in place as a new file; false, leaving the existing one untouched,
    // when a file of that name exists by then.
    bool placeNew();
    // Puts the file in place, replacing a file of that name.
    void placeReplacing();

private:
    void close();

    QString m_path;
    QString m_tempPath;
    qintptr m_handle = -1; // file descriptor, or a HANDLE on Windows
};

// Creates path with bytes, whole or not at all. Returns false, without touching
// anything, when path exists.
bool createNewFile(const QString &path, const QByteArray &bytes);

// Appends bytes to the regular file at path, under an exclusive lock against other
// writers. A last line without its line end gets one first, so that bytes start a
// line of their own; an empty file gets ifEmpty instead (when given). On any failure
// the file is cut back to its old length, byte for byte as before. Returns false,
// without creating anything, when nothing exists at path.
bool appendToExistingFile(const QString &path, const QByteArray &bytes,
                          const QByteArray &ifEmpty = {});

// Renames from to to, durably, without replacing: false, leaving both as they were,
// when a file named to exists.
bool renameWithoutReplacing(const QString &from, const QString &to);

// Removes the file at path.
void removeFile(const QString &path);
