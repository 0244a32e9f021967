#include "persondirectory.h"

#include <QMetaObject>
#include <QThread>

#include <QMutex>
#include <QWaitCondition>

struct PersonDirectory::Shared
{
    QMutex mutex;
    QWaitCondition wake; // a stop or a request to the thread
    QWaitCondition done; // a reading to the window's thread
    std::shared_ptr<const KnownPersons> latest;
    bool readAgain = false;
    std::atomic<bool> stop = false;
};

PersonDirectory::PersonDirectory(const QString &dataDir, int pollMs, QObject *parent)
    : QObject(parent), m_shared(std::make_shared<Shared>())
{
    m_thread.reset(QThread::create([shared = m_shared, dataDir, pollMs, self = this] {
        PersonDirectoryReader reader(dataDir);
        while (!shared->stop) {
            auto persons = reader.read(shared->stop);
            QMutexLocker lock(&shared->mutex);
            if (persons) {
                shared->latest = std::make_shared<const KnownPersons>(std::move(*persons));
                shared->done.wakeAll();
                // Posted, not called: the object may only be touched on its own thread,
                // and a posted event is dropped with the object.
                QMetaObject::invokeMethod(self, &PersonDirectory::read, Qt::QueuedConnection);
            }
            if (!shared->stop && !shared->readAgain)
                shared->wake.wait(&shared->mutex, QDeadlineTimer(pollMs));
            shared->readAgain = false;
        }
    }));
    m_thread->start();
}

PersonDirectory::~PersonDirectory()
{
    Shared *const shared = m_shared.get();
    if (!shared)
        return;
    {
        QMutexLocker lock(&shared->mutex);
        shared->stop.store(true);
    }
    shared->wake.wakeAll();
    m_thread->wait();
}

std::shared_ptr<const KnownPersons> PersonDirectory::persons() const
{
    QMutexLocker lock(&m_shared->mutex);
    if (!m_shared->latest)
        return std::make_shared<const KnownPersons>();
    return m_shared->latest;
}

std::shared_ptr<const KnownPersons> PersonDirectory::personsRead() const
{
    QMutexLocker lock(&m_shared->mutex);
    while (!m_shared->latest)
        m_shared->done.wait(&m_shared->mutex);
    return m_shared->latest;
}

void PersonDirectory::readAgain()
{
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->readAgain = true;
    }
    m_shared->wake.wakeAll();
}
