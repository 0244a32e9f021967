#include "gdtexchange.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "gdtfiles.h"

#include <QDir>
#include <QFileInfo>

GdtExchange::GdtExchange(const QString &directory, const QString &stationId,
                         const QString &practiceId, QObject *parent)
    : QObject(parent), m_directory(directory), m_stationId(stationId), m_practiceId(practiceId),
      m_requestName(::requestFileName(stationId, practiceId)),
      m_answerName(::answerFileName(stationId, practiceId))
{
    m_settle.setSingleShot(true);
    m_settle.setTimerType(Qt::PreciseTimer);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &GdtExchange::look);
    connect(&m_recheck, &QTimer::timeout, this, &GdtExchange::look);
    connect(&m_settle, &QTimer::timeout, this, &GdtExchange::look);
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
        lookOnce();
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
    if (!m_watcher.directories().contains(m_directory))
        m_watcher.addPath(m_directory);

    const QString path = findFileIgnoringCase(m_directory, m_requestName);
    if (path.isEmpty()) {
        m_candidate = {};
    } else {
        const QFileInfo info(path);
        const Snapshot now{path, info.size(), info.lastModified().toMSecsSinceEpoch()};
        if (now == m_candidate && m_candidateSince.elapsed() >= m_settleTime.count()) {
            m_candidate = {};
            takeRequest(path);
        } else {
            if (now != m_candidate) {
                qCDebug(logGdt).noquote() << QStringLiteral("GDT-Anfrage „%1“ mit %2 Bytes, "
                                                            "noch nicht fertig geschrieben?")
                                                 .arg(QDir::toNativeSeparators(path))
                                                 .arg(now.size);
                m_candidate = now;
                m_candidateSince.start();
            }
            m_settle.start(m_settleTime);
        }
    }
    deliverAnswers();
    if (!m_problemThisLook)
        m_lastProblem.clear();
}

void GdtExchange::takeRequest(const QString &path)
{
    try {
        const auto parsed = parseGdtRequest(readExchangeFile(path));
        if (const auto *error = std::get_if<GdtError>(&parsed)) {
            const QString movedTo = moveAside(path);
            qCWarning(logGdt).noquote() << QStringLiteral("GDT-Anfrage abgelehnt: „%1“, Zeile %2")
                                               .arg(QDir::toNativeSeparators(path))
                                               .arg(error->line);
            emit requestRejected(path, movedTo, *error);
            return;
        }
        removeExchangeFile(path);
        qCInfo(logGdt).noquote()
            << QStringLiteral("GDT-Anfrage gelesen: „%1“").arg(QDir::toNativeSeparators(path));
        emit requestArrived(std::get<GdtRequest>(parsed), path);
    } catch (const Failure &failure) {
        report(failure.message());
    }
}

void GdtExchange::deliverAnswers()
{
    try {
        while (!m_answers.empty()) {
            if (deliverFile(m_directory, m_answerName, m_answers.front()) == Delivery::Waiting)
                break;
            m_answers.pop_front();
            qCInfo(logGdt).noquote()
                << QStringLiteral("GDT-Antwort geschrieben: „%1“")
                       .arg(QDir::toNativeSeparators(QDir(m_directory).filePath(m_answerName)));
            emit answerWritten(QDir(m_directory).filePath(m_answerName));
        }
    } catch (const Failure &failure) {
        report(failure.message());
    }
}

void GdtExchange::report(const QString &message)
{
    m_problemThisLook = true;
    if (message == m_lastProblem)
        return;
    m_lastProblem = message;
    emit problem(message);
}
