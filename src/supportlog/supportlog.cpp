#include "supportlog.h"

#include "logtext.h"

#include <QDateTime>
#include <QMutex>

namespace {

QMutex mutex;
LogFile *current = nullptr;
QtMessageHandler previous = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QString category = QString::fromLatin1(context.category ? context.category : "default");
    {
        const QMutexLocker lock(&mutex);
        if (current)
            current->write(logLine(QDateTime::currentDateTime(), type, category, text));
    }
    // The program's own events below a warning are for the log only: a console user
    // gets on standard error what was there before.
    const bool event = type == QtDebugMsg || type == QtInfoMsg;
    if (previous && !(event && category.startsWith(QLatin1String("tessarine."))))
        previous(type, context, text);
}

} // namespace

SupportLog::SupportLog(const QString &path, std::function<void(const QString &)> complain)
{
    if (!path.isEmpty())
        m_file = std::make_unique<LogFile>(path, std::move(complain));
    const QMutexLocker lock(&mutex);
    current = m_file.get();
    previous = qInstallMessageHandler(handler);
}

SupportLog::~SupportLog()
{
    qInstallMessageHandler(previous);
    const QMutexLocker lock(&mutex);
    current = nullptr;
}

bool SupportLog::isWriting() const
{
    return m_file && m_file->isWriting();
}
