#include "form1.h"

#include "records/personfile.h"
#include "records/textfile.h"
#include "services.h"
#include "views/historyfile.h"

#include <QLineEdit>
#include <QListWidget>

void Form1::Command5_Click()
{
    if (text->text().isEmpty() || Text7->text().isEmpty()) {
        m_services.messages->inform(noRecordMessage());
        return;
    }
    const QString path = historyFilePath(m_services.dataDir, text->text(), Text7->text());
    Text1->clear();
    Text2->clear();
    bmi->clear();
    List1->clear();
    if (!fileExists(path)) {
        m_services.messages->inform(noRecordMessage());
        return;
    }
    // One batch: item by item, a long history would relayout the list once per line.
    List1->addItems(readAllLines(path));
}
