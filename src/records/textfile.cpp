#include "textfile.h"

#include "common/failure.h"
#include "cp1252.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Reads start small, so that the first lines of a long file cost no more than those of
// a short one, and grow for the files that are read to their end.
constexpr qsizetype firstChunk = 4 * 1024;
constexpr qsizetype largestChunk = 64 * 1024;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void fail(const QString &what, const QString &path, const QString &cause)
{
    throw Failure(
        QStringLiteral("Die Datei „%1“ kann nicht %2 werden: %3").arg(shown(path), what, cause));
}

// The data must be on the disk before the operator is told it was stored: the
// station may be switched off right after.
bool syncToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// A new directory entry is only durable once its directory is synced as well.
void syncDirectoryOf(const QString &path)
{
#ifndef Q_OS_WIN
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

void writeAllAndSync(QFile &file, const QString &path, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size())
        fail(QStringLiteral("geschrieben"), path, file.errorString());
    if (!syncToDisk(file))
        fail(QStringLiteral("gespeichert"), path, file.errorString());
    file.close();
}

} // namespace

bool fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

TextFileReader::TextFileReader(const QString &path) : m_file(path), m_chunk(firstChunk)
{
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        fail(QStringLiteral("geöffnet"), path, m_file.errorString());
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
        fail(QStringLiteral("gelesen"), m_file.fileName(), m_file.errorString());
    }
    m_buffer.resize(old + got);
    if (got == 0)
        m_eof = true;
    return got > 0;
}

bool TextFileReader::atEnd() const
{
    return m_eof && m_pos >= m_buffer.size();
}

QString TextFileReader::readLine()
{
    for (;;) {
        const char *start = m_buffer.constData() + m_pos;
        const qsizetype left = m_buffer.size() - m_pos;
        if (const void *lf = std::memchr(start, '\n', left)) {
            const qsizetype length = static_cast<const char *>(lf) - start;
            m_pos += length + 1;
            const qsizetype textLength =
                length > 0 && start[length - 1] == '\r' ? length - 1 : length;
            const QString line = decodeCp1252(QByteArrayView(start, textLength));
            if (m_pos >= m_buffer.size() && !m_eof)
                fill(); // so that atEnd() knows whether another line follows
            return line;
        }
        if (!fill()) {
            // The last line has no line end; fill() may have moved the buffer.
            const QString line = decodeCp1252(QByteArrayView(m_buffer).sliced(m_pos));
            m_pos = m_buffer.size();
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

QByteArray encodeLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    QString unencodable;
    for (const QString &line : lines) {
        bytes += encodeCp1252(line, &unencodable);
        bytes += "\r\n";
    }
    if (!unencodable.isEmpty()) {
        fail(QStringLiteral("geschrieben"), path,
             QStringLiteral("Die Zeichen „%1“ sind in Windows-1252 nicht darstellbar.")
                 .arg(unencodable));
    }
    return bytes;
}

bool createNewFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        if (QFileInfo::exists(path))
            return false;
        fail(QStringLiteral("angelegt"), path, file.errorString());
    }
    writeAllAndSync(file, path, bytes);
    syncDirectoryOf(path);
    return true;
}

bool appendToExistingFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::Append | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        if (!QFileInfo::exists(path))
            return false;
        fail(QStringLiteral("geöffnet"), path, file.errorString());
    }
    writeAllAndSync(file, path, bytes);
    return true;
}
