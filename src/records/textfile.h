#pragma once

#include "files/atomicfile.h" // the writing side, and fileExists()

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Line-oriented Windows-1252 text files with CR LF line ends, as the station stores
// them. Every failure throws a Failure whose German message names the file.

// The longest line a reader accepts, in bytes without the line end: far more than any
// line the station writes, far less than would freeze the window.
constexpr qsizetype maxLineBytes = 64 * 1024;

// Reads a regular text file from the start, one line at a time, without loading it
// whole: the cost of a line does not depend on the size of the file, and reading is
// linear in the bytes read. A line longer than maxLineBytes throws a Failure naming
// the file and the line.
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
    [[noreturn]] void failTooLong() const;

    QString m_path;
    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;     // start of the next line
    qsizetype m_scanned = 0; // bytes from m_pos on that hold no line feed
    qsizetype m_chunk = 0;
    int m_lineNumber = 0; // lines returned so far
    bool m_eof = false;
};

// All lines of a text file.
QStringList readAllLines(const QString &path);

// Reads the file at path through and throws the Failure a reader would throw for it,
// naming the file and the line; returns when nothing is there.
void requireReadable(const QString &path);

// The bytes of lines in Windows-1252, each followed by CR LF. Throws a Failure naming
// path when a character cannot be encoded, so that nothing gets stored in its place.
QByteArray encodeLines(const QString &path, const QStringList &lines);
