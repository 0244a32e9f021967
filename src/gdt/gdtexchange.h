#pragma once

#include "gdtanswerdelivery.h"
#include "gdtrecord.h"
#include "gdtrequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <optional>

// The station's side of an exchange directory. It looks for the practice system's
// requests (<station><practice>.GDT or .NNN, oldest first) at start, shortly after the
// directory reports changes (one look for a burst of them) and at a fixed interval (a network share
// may report nothing), and takes a request file once it has stayed the same for a settling time, so
// that a file still being written is not read half; one shorter than its own 8100 says
// waits for the rest up to incompleteLimit and is then moved aside as faulty. A request
// is read under a name of the station's own (<name>.tessarine), so that a request
// written anew meanwhile is never removed unread. A good request is removed and
// announced; a bad one, or one larger than a GDT record can be, is moved aside and
// reported. Anything
// else under a request's name (a directory, a FIFO, a device) is named once and left
// alone; a request that cannot be read or removed is named once and taken as soon as it
// can be. A request is removed only once the keeper has kept it (the worklist written);
// one the keeper has no room for stays and is named once. Answers go out through the
// station's outbox (see deliverGdtAnswer); each look tells looked() when it is done.
class GdtExchange : public QObject
{
    Q_OBJECT
public:
    GdtExchange(const QString &directory, const QString &stationId, const QString &practiceId,
                QObject *parent = nullptr);

    // Where answers go when not beside the requests: some practice systems keep them
    // apart. Empty: the exchange directory.
    void setAnswerDirectory(const QString &directory);
    void setAnswerNames(GdtAnswerNames names) { m_answerNames = names; }
    GdtAnswerNames answerNames() const { return m_answerNames; }
    // The set requests are read in whatever their 9206 declares, for practice systems
    // that declare it wrongly; none: as declared.
    void setCharset(std::optional<GdtCharset> charset) { m_charset = charset; }

    // The time a request shorter than its 8100 has waited is measured on now.
    using Now = std::function<QDateTime()>;
    void setClock(Now now) { m_now = std::move(now); }
    static constexpr std::chrono::seconds incompleteLimit{30};

    // The first look happens here; the next ones on changes and every recheck.
    void start(std::chrono::milliseconds recheck = std::chrono::seconds(2),
               std::chrono::milliseconds settle = std::chrono::milliseconds(500));

    // Keeps a request before its file is removed: false when there is no room (the file
    // stays and is named once, with full's message), a Failure when it cannot be kept.
    // None: every request is taken.
    using Keeper = std::function<bool(const GdtRequest &request, const QString &path)>;
    void setKeeper(Keeper keeper, QString full)
    {
        m_keeper = std::move(keeper);
        m_full = std::move(full);
    }

    QString directory() const { return m_directory; }
    QString answerDirectory() const { return m_answerDirectory; }
    QString stationId() const { return m_stationId; }
    QString practiceId() const { return m_practiceId; }
    QString answerFileName() const { return m_answerName; }

Q_SIGNALS:
    // The request file has been read and removed.
    void requestArrived(const GdtRequest &request, const QString &path);
    // The request file was no usable request and has been renamed to movedTo.
    void requestRejected(const QString &path, const QString &movedTo, const GdtError &error);
    // A look at the directories is done: a good moment to deliver what waits.
    void looked();
    // A German message for the operator: a missing directory, a file that cannot be
    // read, removed or written, something under a request's name that is no file. Each
    // is told once until the exchange works again or the file is gone.
    void problem(const QString &message);

private:
    void look();
    void lookOnce();
    void lookForRequests();
    bool takeRequest(const QString &path);
    enum class Short { No, Waits, TooLong };
    Short shortness(const QString &path, QByteArrayView bytes);
    void putBack(const QString &taken, const QString &original);
    void report(const QString &message);
    void tellOnce(const QString &path, const QString &message);

    struct Snapshot
    {
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Snapshot &) const = default;
    };
    struct Settling
    {
        Snapshot snapshot;
        QElapsedTimer since;
    };

    QString m_directory;
    QString m_answerDirectory;
    std::optional<GdtCharset> m_charset;
    QString m_stationId;
    QString m_practiceId;
    QString m_answerName;
    GdtAnswerNames m_answerNames = GdtAnswerNames::Fixed;
    static constexpr int changesGatheredMs = 250;

    QFileSystemWatcher m_watcher;
    QTimer m_changed; // a look after the directory reported changes
    QTimer m_recheck;
    QTimer m_settle;
    std::chrono::milliseconds m_settleTime{500};
    std::map<QString, Settling> m_settling; // request files seen, by path
    std::map<QString, QString> m_told;      // the message told about a file, by path
    std::map<QString, QDateTime> m_short;   // since when a request is shorter than its 8100
    Now m_now = [] { return QDateTime::currentDateTimeUtc(); };
    inline static const QString takenSuffix = QStringLiteral(".tessarine");
    Keeper m_keeper;
    QString m_full;
    QString m_lastProblem;
    bool m_problemThisLook = false;
    bool m_looking = false;
    bool m_lookAgain = false;
};
