#pragma once

#include "records/knownpersons.h"

#include <QObject>

#include <QString>
#include <atomic>

#include <memory>

class QThread;

// The persons of the data directory, kept current by a thread of its own that reads the
// directory again every pollMs (other stations may add files to a shared one) and when
// asked to; the window's thread only takes the latest reading. The thread knows nothing
// but its own state, and the destructor stops and joins it.
class PersonDirectory : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultPollMs = 2000;

    explicit PersonDirectory(const QString &dataDir, int pollMs = defaultPollMs,
                             QObject *parent = nullptr);
    ~PersonDirectory() override;

    // The latest reading; empty until the first one is done.
    std::shared_ptr<const KnownPersons> persons() const;
    // The latest reading, waiting for the first one when it is not done yet.
    std::shared_ptr<const KnownPersons> personsRead() const;

    // Reads the directory again soon, e.g. after a file was added.
    void readAgain();

Q_SIGNALS:
    void read(); // a new reading is there

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::unique_ptr<QThread> m_thread; // a QThread: Qt keeps its thread data with it
};
