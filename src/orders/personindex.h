#pragma once

#include <QString>

#include <chrono>
#include <optional>

// Which patient number last took over into which history file, in a small file of
// the data directory shared by its stations. History files are named by the person's
// name alone, and two patients can share a name: the index lets a take-over for a
// request notice that the file holds another patient's measurements. Each call reads
// the file afresh (another station may have written it); each change is read, changed
// and written whole and atomically under a lock file beside it, so that two stations
// recording at once keep both entries. At most capacity files are kept, the longest
// unused ones go first.
class PersonIndex
{
public:
    static constexpr qsizetype defaultCapacity = 5000;

    explicit PersonIndex(const QString &dataDir, qsizetype capacity = defaultCapacity,
                         std::chrono::milliseconds lockWait = std::chrono::seconds(5));

    QString path() const { return m_path; }
    // The patient number last recorded for the history file named fileName.
    std::optional<QString> patientOf(const QString &fileName) const;
    // Records patientNumber for fileName; throws a Failure when it cannot be written or
    // another station holds the lock for longer than lockWait.
    void record(const QString &fileName, const QString &patientNumber);

private:
    QString m_path;
    qsizetype m_capacity;
    std::chrono::milliseconds m_lockWait;
};
