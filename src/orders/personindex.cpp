#include "personindex.h"

#include "common/failure.h"
#include "files/statefile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLockFile>

namespace {

const QString fileKey = QStringLiteral("file");
const QString patientKey = QStringLiteral("patient");

} // namespace

PersonIndex::PersonIndex(const QString &dataDir, qsizetype capacity,
                         std::chrono::milliseconds lockWait)
    : m_path(dataDir + QStringLiteral("/tessarine-patientennummern.json")), m_capacity(capacity),
      m_lockWait(lockWait)
{}

std::optional<QString> PersonIndex::patientOf(const QString &fileName) const
{
    for (const QJsonValue &value : readStateFile(m_path).document.array()) {
        if (value[fileKey].toString() == fileName)
            return value[patientKey].toString();
    }
    return std::nullopt;
}

// Oldest first: the file's entry moves to the end, and the first ones go beyond capacity.
void PersonIndex::record(const QString &fileName, const QString &patientNumber)
{
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(m_lockWait)) {
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: Sie ist "
                                     "seit %2 Sekunden gesperrt (eine andere Station schreibt "
                                     "sie, oder die Sperrdatei „%1.lock“ lässt sich nicht "
                                     "anlegen).")
                          .arg(QDir::toNativeSeparators(m_path))
                          .arg(m_lockWait.count() / 1000.0));
    }
    QJsonArray entries;
    for (const QJsonValue &value : readStateFile(m_path).document.array()) {
        if (value[fileKey].toString() != fileName)
            entries << value;
    }
    entries << QJsonObject{{fileKey, fileName}, {patientKey, patientNumber}};
    while (entries.size() > m_capacity)
        entries.removeFirst();
    writeStateFile(m_path, QJsonDocument(entries));
}
