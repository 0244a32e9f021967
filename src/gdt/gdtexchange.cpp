#include "gdtexchange.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "entrynames.h"
#include "gdtfiles.h"

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

void GdtExchange::sendAnswer(const QByteArray &bytes)
{
    m_answers.push_back(bytes);
    look();
    if (!m_answers.empty()) {
        qCInfo(logGdt).noquote() << QStringLiteral("GDT-Antwort wartet, bis die vorige gelesen "
                                                   "ist (%1 wartend)")
                                        .arg(m_answers.size());
    }
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
        if (waitingAnswers() != m_announcedWaiting) {
            m_announcedWaiting = waitingAnswers();
            emit waitingAnswersChanged(m_announcedWaiting);
        }
    } while (m_lookAgain);
    m_looking = false;
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
    deliverAnswers();
    if (!m_problemThisLook)
        m_lastProblem.clear();
}

// One request per look, the oldest first: each replaces the one before in the window.
void GdtExchange::lookForRequests()
{
    // By name first: only a request's name is looked at further.
    QFileInfoList found;
    const QDir dir(m_directory);
    for (const QString &name :
         entryNamesOfLength(m_directory, requestFileName(m_stationId, m_practiceId).size())) {
        if (isRequestFileName(name, m_stationId, m_practiceId))
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
bool GdtExchange::takeRequest(const QString &path)
{
    try {
        const ExchangeFileRead read = readExchangeFile(path);
        if (read.kind == ExchangeFileRead::Kind::NotAFile) {
            tellOnce(path, notAFile(path));
            return false;
        }
        const auto parsed =
            read.kind == ExchangeFileRead::Kind::TooLarge
                ? std::variant<GdtRequest, GdtError>(
                      GdtError{0, QStringLiteral("Die Datei ist %1 Bytes groß; ein GDT-Satz hat "
                                                 "höchstens %2 Bytes.")
                                      .arg(read.size)
                                      .arg(longestGdtFile)})
                : parseGdtRequest(read.bytes, m_charset);
        if (const auto *error = std::get_if<GdtError>(&parsed)) {
            const QString movedTo = moveAside(path);
            qCWarning(logGdt).noquote() << QStringLiteral("GDT-Anfrage abgelehnt: „%1“, Zeile %2")
                                               .arg(QDir::toNativeSeparators(path))
                                               .arg(error->line);
            emit requestRejected(path, movedTo, *error);
            return true;
        }
        removeExchangeFile(path);
        qCInfo(logGdt).noquote()
            << QStringLiteral("GDT-Anfrage gelesen: „%1“").arg(QDir::toNativeSeparators(path));
        emit requestArrived(std::get<GdtRequest>(parsed), path);
        return true;
    } catch (const Failure &failure) {
        tellOnce(path, failure.message());
        return false;
    }
}

void GdtExchange::deliverAnswers()
{
    if (m_answers.empty())
        return;
    if (!QFileInfo(m_answerDirectory).isDir()) {
        report(QStringLiteral("Das GDT-Antwortverzeichnis „%1“ ist nicht erreichbar.")
                   .arg(QDir::toNativeSeparators(m_answerDirectory)));
        return;
    }
    try {
        while (!m_answers.empty()) {
            if (deliverFile(m_answerDirectory, m_answerName, m_answers.front()) ==
                Delivery::Waiting)
                break;
            m_answers.pop_front();
            qCInfo(logGdt).noquote() << QStringLiteral("GDT-Antwort geschrieben: „%1“")
                                            .arg(QDir::toNativeSeparators(
                                                QDir(m_answerDirectory).filePath(m_answerName)));
            emit answerWritten(QDir(m_answerDirectory).filePath(m_answerName));
        }
    } catch (const Failure &failure) {
        report(failure.message());
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
