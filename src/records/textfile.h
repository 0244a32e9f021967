#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Line-oriented Windows-1252 text files with CR LF line ends, as the station stores
// them. Every failure throws a Failure whose German message names the file.

// True if path names an existing file (a directory is not one).
bool fileExists(const QString &path);

// Reads a text file from the start, one line at a time, without loading it whole:
// the cost of a line does not depend on the size of the file.
class TextFileReader
{
public:
    explicit TextFileReader(const QString &path);

    // True when no line is left to read.
    bool atEnd() const;

    // The next line without its line end (CR LF, or a lone LF), decoded from
    // Windows-1252; the empty text once the end has been reached.
    QString readLine();

private:
    bool fill();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_chunk = 0;
    bool m_eof = false;
};

// All lines of a text file.
QStringList readAllLines(const QString &path);

// The bytes of lines in Windows-1252, each followed by CR LF. Throws a Failure naming
// path when a character cannot be encoded, so that nothing gets stored in its place.
QByteArray encodeLines(const QString &path, const QStringList &lines);

// Creates path exclusively and writes bytes to it in one write, then flushes it to
// disk. Returns false, without touching anything, when the file already exists.
bool createNewFile(const QString &path, const QByteArray &bytes);

// Appends bytes to the existing file path in one write and flushes it to disk.
// Returns false, without creating anything, when the file does not exist.
bool appendToExistingFile(const QString &path, const QByteArray &bytes);
