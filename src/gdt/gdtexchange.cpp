#include "gdtexchange.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "entrynames.h"
#include "gdtfiles.h"

#include "files/atomicfile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <utility>

namespace {

QString notAFile(const QString &path)
{
    return QStringLiteral("Im GDT-Verzeichnis liegt „%1“, doch das ist keine Datei (sondern "
                          "z. B. ein Verzeichnis, eine Pipe oder ein Gerät). Es wird nicht "
                          "gelesen.")
        .arg(QDir::toNativeSeparators(path));
}

QString requestNamed(const QString &path)
{
    return QStringLiteral("Die GDT-Anfrage „%1“").arg(QDir::toNativeSeparators(path));
}

} // namespace

GdtExchange::GdtExchange(const QString &directory, const QString &stationId,
                         const QString &practiceId, QObject *parent)
    : QObject(parent), m_directory(directory), m_answerDirectory(directory), m_stationId(stationId),
      m_practiceId(practiceId), m_answerName(::answerFileName(stationId, practiceId))
{
    m_settle.setSingleShot(true);
    m_settle.setTimerType(Qt::PreciseTimer);
    // A busy directory changes many times a second; one look follows a burst of changes.
    m_changed.setSingleShot(true);
    m_changed.setInterval(changesGatheredMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!m_changed.isActive())
            m_changed.start();
    });
    connect(&m_changed, &QTimer::timeout, this, &GdtExchange::look);
    connect(&m_recheck, &QTimer::timeout, this, &GdtExchange::look);
    connect(&m_settle, &QTimer::timeout, this, &GdtExchange::look);
}

void GdtExchange::setAnswerDirectory(const QString &directory)
{
    m_answerDirectory = directory.isEmpty() ? m_directory : directory;
}

void GdtExchange::start(std::chrono::milliseconds recheck, std::chrono::milliseconds settle)
{
    m_settleTime = settle;
    m_recheck.start(recheck);
    look();
}

// A handler of a signal may open a dialog whose event loop calls back in here; such
// a look waits for the running one and then happens once more.
void GdtExchange::look()
{
    if (m_looking) {
        m_lookAgain = true;
        return;
    }
    m_looking = true;
    do {
        m_lookAgain = false;
        // Nothing from the directory may end the program; what is no Failure still
        // gets its message.
        try {
            lookOnce();
        } catch (const std::exception &e) {
            report(
                QStringLiteral("Das GDT-Verzeichnis „%1“ kann nicht gelesen werden: %2")
                    .arg(QDir::toNativeSeparators(m_directory), QString::fromLocal8Bit(e.what())));
        }
    } while (m_lookAgain);
    m_looking = false;
    emit looked();
}

void GdtExchange::lookOnce()
{
    m_problemThisLook = false;
    if (!QFileInfo(m_directory).isDir()) {
        report(QStringLiteral("Das GDT-Verzeichnis „%1“ ist nicht erreichbar.")
                   .arg(QDir::toNativeSeparators(m_directory)));
        return;
    }
    for (const QString &dir : {m_directory, m_answerDirectory}) {
        if (!m_watcher.directories().contains(dir) && QFileInfo(dir).isDir())
            m_watcher.addPath(dir);
    }
    lookForRequests();
    if (!m_problemThisLook)
        m_lastProblem.clear();
}

// One request per look, the oldest first.
void GdtExchange::lookForRequests()
{
    // By name first: only a request's name is looked at further.
    QFileInfoList found;
    const QDir dir(m_directory);
    const qsizetype length = requestFileName(m_stationId, m_practiceId).size();
    for (const QString &name : entryNamesStartingWith(m_directory, m_stationId + m_practiceId)) {
        const bool taken = name.size() == length + takenSuffix.size() && name.endsWith(takenSuffix);
        if (isRequestFileName(taken ? name.first(length) : name, m_stationId, m_practiceId))
            found << QFileInfo(dir, name);
    }
    std::sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const auto byAge = [](const QFileInfo &f) {
            return std::pair(f.lastModified().toMSecsSinceEpoch(), f.fileName());
        };
        return byAge(a) < byAge(b);
    });
    // What is gone is forgotten: a new file of the name is told about anew.
    const auto gone = [&found](const QString &path) {
        return std::none_of(found.begin(), found.end(),
                            [&path](const QFileInfo &f) { return f.filePath() == path; });
    };
    std::erase_if(m_settling, [&gone](const auto &entry) { return gone(entry.first); });
    std::erase_if(m_told, [&gone](const auto &entry) { return gone(entry.first); });
    std::erase_if(m_short, [&gone](const auto &entry) { return gone(entry.first); });

    for (const QFileInfo &info : found) {
        const QString path = info.filePath();
        const Snapshot now{info.size(), info.lastModified().toMSecsSinceEpoch()};
        Settling &settling = m_settling[path];
        if (settling.snapshot != now || !settling.since.isValid()) {
            qCDebug(logGdt).noquote() << QStringLiteral("GDT-Anfrage „%1“ mit %2 Bytes, noch "
                                                        "nicht fertig geschrieben?")
                                             .arg(QDir::toNativeSeparators(path))
                                             .arg(now.size);
            settling.snapshot = now;
            settling.since.start();
        }
        if (settling.since.elapsed() < m_settleTime.count()) {
            m_settle.start(m_settleTime);
            return;
        }
        if (takeRequest(path)) {
            m_settling.erase(path);
            m_told.erase(path);
            m_settle.start(m_settleTime); // the next one
            return;
        }
    }
}

// False when the file could not be taken: it stays and is tried again on each look.
// path is a request's name, or one the station gave a request it took (left by a crash).
bool GdtExchange::takeRequest(const QString &path)
{
    const bool ours = path.endsWith(takenSuffix);
    const QString original = ours ? path.chopped(takenSuffix.size()) : path;
    const QString taken = original + takenSuffix;
    bool renamed = false;
    try {
        // 1. A pipe or a device is neither read nor renamed; a request that is still
        // being written waits.
        if (!ours) {
            const ExchangeFileRead first = readExchangeFile(path);
            if (first.kind == ExchangeFileRead::Kind::NotAFile) {
                tellOnce(path, notAFile(path));
                return false;
            }
            if (first.kind == ExchangeFileRead::Kind::Read &&
                shortness(original, first.bytes) == Short::Waits)
                return false;
            // 2. Read under a name of the station's own: a request the practice system
            // writes anew meanwhile is another file, never removed unread. A name of
            // ours in the way is a request taken before a crash: it goes first.
            if (!renameWithoutReplacing(path, taken))
                return false;
            renamed = true;
        }
        const ExchangeFileRead read = readExchangeFile(taken);
        std::variant<GdtRequest, GdtError> parsed = GdtError{};
        if (read.kind == ExchangeFileRead::Kind::TooLarge) {
            parsed = GdtError{0, QStringLiteral("Die Datei ist %1 Bytes groß; ein GDT-Satz hat "
                                                "höchstens %2 Bytes.")
                                     .arg(read.size)
                                     .arg(longestGdtFile)};
        } else if (const Short shortNow = shortness(original, read.bytes);
                   shortNow == Short::Waits) {
            putBack(taken, original);
            return false;
        } else if (shortNow == Short::TooLong) {
            const GdtLengths lengths = *gdtLengths(read.bytes);
            parsed = GdtError{0, QStringLiteral("Die Datei ist kürzer, als ihr Feld 8100 angibt "
                                                "(%1 statt %2 Bytes), und wurde in %3 Sekunden "
                                                "nicht fertig geschrieben.")
                                     .arg(lengths.counted)
                                     .arg(lengths.declared)
                                     .arg(incompleteLimit.count())};
        } else {
            parsed = parseGdtRequest(read.bytes, m_charset);
        }
        if (const auto *error = std::get_if<GdtError>(&parsed)) {
            const QString movedTo = moveAside(taken, original);
            m_short.erase(original);
            qCWarning(logGdt).noquote() << QStringLiteral("GDT-Anfrage abgelehnt: „%1“, Zeile %2")
                                               .arg(QDir::toNativeSeparators(original))
                                               .arg(error->line);
            emit requestRejected(original, movedTo, *error);
            return true;
        }
        const auto &request = std::get<GdtRequest>(parsed);
        if (m_keeper && !m_keeper(request, original)) {
            putBack(taken, original);
            tellOnce(original, QStringLiteral("%1 bleibt im GDT-Verzeichnis: %2")
                                   .arg(requestNamed(original), m_full));
            return false;
        }
        removeExchangeFile(taken);
        qCInfo(logGdt).noquote()
            << QStringLiteral("GDT-Anfrage gelesen: „%1“").arg(QDir::toNativeSeparators(original));
        emit requestArrived(request, original);
        return true;
    } catch (const Failure &failure) {
        if (renamed)
            putBack(taken, original);
        tellOnce(path, failure.message());
        return false;
    }
}

// Whether bytes are shorter than their 8100 says, and for how long on the clock.
GdtExchange::Short GdtExchange::shortness(const QString &path, QByteArrayView bytes)
{
    const auto lengths = gdtLengths(bytes);
    if (!lengths || lengths->counted >= lengths->declared) {
        m_short.erase(path);
        return Short::No;
    }
    const QDateTime now = m_now();
    const QDateTime since = m_short.try_emplace(path, now).first->second;
    return since.msecsTo(now) < std::chrono::milliseconds(incompleteLimit).count() ? Short::Waits
                                                                                   : Short::TooLong;
}

// A request not taken after all goes back under its name, unless a new one holds it
// by now: then ours is taken on a later look.
void GdtExchange::putBack(const QString &taken, const QString &original)
{
    try {
        renameWithoutReplacing(taken, original);
    } catch (const Failure &failure) {
        qCWarning(logGdt).noquote() << failure.message();
    }
}

void GdtExchange::tellOnce(const QString &path, const QString &message)
{
    auto &told = m_told[path];
    if (told == message)
        return;
    told = message;
    emit problem(message);
}

void GdtExchange::report(const QString &message)
{
    m_problemThisLook = true;
    if (message == m_lastProblem)
        return;
    m_lastProblem = message;
    emit problem(message);
}
