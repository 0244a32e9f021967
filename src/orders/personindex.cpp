#include "personindex.h"

#include "files/statefile.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

const QString fileKey = QStringLiteral("file");
const QString patientKey = QStringLiteral("patient");

} // namespace

PersonIndex::PersonIndex(const QString &dataDir, qsizetype capacity)
    : m_path(dataDir + QStringLiteral("/tessarine-patientennummern.json")), m_capacity(capacity)
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
