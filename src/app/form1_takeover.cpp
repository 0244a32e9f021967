#include "form1.h"
#include "persondirectory.h"
#include "services.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "common/numbertext.h"
#include "orders/personindex.h"
#include "records/childbmi.h"
#include "records/personfile.h"
#include "records/rating.h"
#include "records/takeover.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <exception>

void Form1::Command2_Click()
{
    // 1. Check the entries; a refused take-over changes nothing.
    const TakeOverEntries entries{text->text(),  Text7->text(), Text5->text(),  Text3->text(),
                                  Text1->text(), Text2->text(), m_scaleLineLost};
    if (resendUnanswered(entries))
        return;
    if (const QString refusal = refusedTakeOver(entries); !refusal.isEmpty()) {
        m_services.messages->inform(takeOverRefused, refusal);
        return;
    }
    // 2. A request's patient must not land in a file of another patient of the same name
    // unless the operator says so.
    const QString path = personFilePath(m_services.dataDir, entries.first, entries.last);
    if (!isRequestedPatientsFile(entries, path) || !isWantedNewFile(entries, path))
        return;
    // 3. Store and rate; on the disk before anything shows, so that a failed store leaves
    // nothing on the window that suggests a stored record.
    const bool requested = isRequestedPerson(entries);
    const TakeOverPerson person{Option2->isChecked(), ratingAge(entries),
                                requested ? m_order : std::nullopt};
    const TakenOver taken = takeOver(entries, person, path, m_services.dataDir, m_services.children,
                                     m_services.clock->now());
    const Measurement &measurement = taken.measurement;
    if (m_persons)
        m_persons->readAgain(); // a new file is offered from now on
    bmi->setText(measurement.bmiStored);
    if (measurement.ratingClass) {
        List1->clear();
        if (!taken.ratingFailure)
            List1->addItems(measurement.assessment);
    }
    // 4. The record is stored: the practice system gets it even without an assessment.
    if (requested) {
        // An index that cannot be written must not hold back the answer.
        try {
            PersonIndex(m_services.dataDir)
                .record(QFileInfo(path).fileName(), m_order->patientNumber);
        } catch (const Failure &failure) {
            qCWarning(logRecords).noquote() << failure.message();
        }
    }
    handOver(measurement);
    m_takenOver = true;
    m_typed = false;
    takeNextIfFree();
    if (taken.ratingFailure)
        std::rethrow_exception(taken.ratingFailure);
}
