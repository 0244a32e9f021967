#include "persondirectory.h"

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <mutex>

struct PersonDirectory::Shared
{
    std::mutex mutex;
    std::condition_variable wake; // a stop or a request to the thread
    std::condition_variable done; // a reading to the window's thread
    std::shared_ptr<const KnownPersons> latest;
    bool readAgain = false;
    std::atomic<bool> stop = false;
};

PersonDirectory::PersonDirectory(const QString &dataDir, int pollMs, QObject *parent)
    : QObject(parent), m_shared(std::make_shared<Shared>())
{
    m_thread = std::thread([shared = m_shared, dataDir, pollMs, self = this] {
        PersonDirectoryReader reader(dataDir);
        while (!shared->stop) {
            auto persons = reader.read(shared->stop);
            std::unique_lock lock(shared->mutex);
            if (persons) {
                shared->latest = std::make_shared<const KnownPersons>(std::move(*persons));
                shared->done.notify_all();
                // Posted, not called: the object may only be touched on its own thread,
                // and a posted event is dropped with the object.
                QMetaObject::invokeMethod(self, &PersonDirectory::read, Qt::QueuedConnection);
            }
            shared->wake.wait_for(lock, std::chrono::milliseconds(pollMs),
                                  [&] { return shared->stop || shared->readAgain; });
            shared->readAgain = false;
        }
    });
}

PersonDirectory::~PersonDirectory()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
    }
    m_shared->wake.notify_all();
    m_thread.join();
}

std::shared_ptr<const KnownPersons> PersonDirectory::persons() const
{
    std::lock_guard lock(m_shared->mutex);
    if (!m_shared->latest)
        return std::make_shared<const KnownPersons>();
    return m_shared->latest;
}

std::shared_ptr<const KnownPersons> PersonDirectory::personsRead() const
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->done.wait(lock, [&] { return m_shared->latest != nullptr; });
    return m_shared->latest;
}

void PersonDirectory::readAgain()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->readAgain = true;
    }
    m_shared->wake.notify_all();
}
