#include "textfile.h"

#include "common/failure.h"
#include "cp1252.h"
#include "files/atomicfile.h"

#include <QDir>

#include <algorithm>
#include <cstring>

namespace {

// Reads start small, so that the first lines of a long file cost no more than those of
// a short one, and grow for the files that are read to their end.
constexpr qsizetype firstChunk = 4 * 1024;
constexpr qsizetype largestChunk = 64 * 1024;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TextFileReader::TextFileReader(const QString &path) : m_path(path), m_chunk(firstChunk)
{
    openForReading(m_file, path);
    fill();
}

bool TextFileReader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + m_chunk);
    const qint64 got = m_file.read(m_buffer.data() + old, m_chunk);
    m_chunk = std::min(m_chunk * 2, largestChunk);
    if (got < 0) {
        m_buffer.resize(old);
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2")
                          .arg(shown(m_path), m_file.errorString()));
    }
    m_buffer.resize(old + got);
    if (got == 0)
        m_eof = true;
    return got > 0;
}

void TextFileReader::failTooLong() const
{
    throw Failure(QStringLiteral("Die Datei „%1“ ist nicht lesbar: Zeile %2 ist länger als %3 "
                                 "Zeichen.")
                      .arg(shown(m_path))
                      .arg(m_lineNumber + 1)
                      .arg(maxLineBytes));
}

bool TextFileReader::atEnd() const
{
    return m_eof && m_pos >= m_buffer.size();
}

QString TextFileReader::readLine()
{
    for (;;) {
        // Only bytes not searched before are searched: a long line costs its length.
        const char *start = m_buffer.constData() + m_pos;
        const qsizetype left = m_buffer.size() - m_pos;
        if (const void *lf = std::memchr(start + m_scanned, '\n', left - m_scanned)) {
            const qsizetype length = static_cast<const char *>(lf) - start;
            const qsizetype textLength =
                length > 0 && start[length - 1] == '\r' ? length - 1 : length;
            if (textLength > maxLineBytes)
                failTooLong();
            const QString line = decodeCp1252(QByteArrayView(start, textLength));
            m_pos += length + 1;
            m_scanned = 0;
            ++m_lineNumber;
            if (m_pos >= m_buffer.size() && !m_eof)
                fill(); // so that atEnd() knows whether another line follows
            return line;
        }
        m_scanned = left;
        // One byte more for the CR of a line end that has not arrived yet.
        if (m_scanned > maxLineBytes + 1)
            failTooLong();
        if (!fill()) {
            // The last line has no line end; fill() may have moved the buffer.
            if (m_buffer.size() - m_pos > maxLineBytes)
                failTooLong();
            const QString line = decodeCp1252(QByteArrayView(m_buffer).sliced(m_pos));
            m_pos = m_buffer.size();
            m_scanned = 0;
            ++m_lineNumber;
            return line;
        }
    }
}

QStringList readAllLines(const QString &path)
{
    TextFileReader reader(path);
    QStringList lines;
    while (!reader.atEnd())
        lines << reader.readLine();
    return lines;
}

void requireReadable(const QString &path)
{
    if (!fileExists(path))
        return;
    TextFileReader reader(path);
    while (!reader.atEnd())
        reader.readLine();
}

QByteArray encodeLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    QString unencodable;
    for (const QString &line : lines) {
        bytes += encodeCp1252(line, &unencodable);
        bytes += "\r\n";
    }
    if (!unencodable.isEmpty()) {
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: Die Zeichen "
                                     "„%2“ sind in Windows-1252 nicht darstellbar.")
                          .arg(shown(path), unencodable));
    }
    return bytes;
}
