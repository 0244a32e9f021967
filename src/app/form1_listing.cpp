#include "form1.h"

#include "common/logcategories.h"
#include "files/atomicfile.h"
#include "records/historyfile.h"
#include "records/personfile.h"
#include "services.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>

void Form1::Command5_Click()
{
    if (text->text().isEmpty() || Text7->text().isEmpty()) {
        m_services.messages->inform(noRecordMessage());
        return;
    }
    const QString path = historyFilePath(m_services.dataDir, text->text(), Text7->text());
    // Read before anything changes: a file that cannot be read leaves the window as it was.
    const bool exists = fileExists(path);
    const QStringList lines = exists ? historyLines(readHistoryFile(path)) : QStringList();
    Text1->clear();
    Text2->clear();
    bmi->clear();
    List1->clear();
    if (!exists) {
        m_services.messages->inform(noRecordMessage());
        return;
    }
    qCDebug(logViews).noquote()
        << QStringLiteral("Liste aus „%1“").arg(QDir::toNativeSeparators(path));
    // One batch: item by item, a long history would relayout the list once per line.
    List1->addItems(lines);
}
