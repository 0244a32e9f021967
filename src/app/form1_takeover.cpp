#include "form1.h"
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
    if (const QString refusal = takeOverRefusal(entries); !refusal.isEmpty()) {
        qCInfo(logRecords).noquote() << QStringLiteral("Übernahme abgelehnt: ") + refusal;
        m_services.messages->inform(takeOverRefused, refusal);
        return;
    }
    // 2. Name.
    const QString name = personName(entries.first, entries.last);
    // 3. BMI, by its first two characters. It shows once it is stored, so that a
    // failed store leaves nothing on the window that suggests a stored record.
    const double bmiValue = bodyMassIndex(textNumber(entries.weight), textNumber(entries.height));
    const QString bmiShown = shortBmiText(bmiValue);
    // 4. Sex word.
    const bool woman = Option2->isChecked();
    const QString sex = sexWord(woman);
    // 5. Store; on the disk before the assessment shows. A request's patient must not
    // land in a file of another patient of the same name unless the operator says so.
    const QString path = personFilePath(m_services.dataDir, entries.first, entries.last);
    if (!isRequestedPatientsFile(entries, path))
        return;
    const qint64 before = QFileInfo(path).size();
    storeMeasurement(path, headerLine(name, sex, entries.age),
                     recordLine(entries.date, entries.weight, entries.height, bmiShown));
    qCInfo(logRecords).noquote() << QStringLiteral("Übernahme gespeichert in „%1“: %2 → %3 Bytes")
                                        .arg(QDir::toNativeSeparators(path))
                                        .arg(before)
                                        .arg(QFileInfo(path).size());
    bmi->setText(bmiShown);
    // 6.-8. Rating: only the RatingFile of the class finally reached is read. A child
    // may be rated by the percentile of the exact BMI, which then heads the assessment.
    QStringList assessment;
    std::optional<double> percentile;
    std::exception_ptr ratingFailure;
    try {
        std::optional<int> ratingClassReached;
        if (const auto child =
                childRating(bmiValue, ratingAge(entries), woman, m_services.children)) {
            percentile = child->percentile;
            ratingClassReached = child->ratingClass;
        } else {
            ratingClassReached =
                ratingClass(ratingValue(textNumber(bmiShown), textNumber(entries.age), woman));
        }
        if (ratingClassReached) {
            List1->clear();
            if (percentile)
                assessment << percentileLine(*percentile);
            assessment << readRatingFile(ratingFilePath(m_services.dataDir, *ratingClassReached));
            List1->addItems(assessment);
        }
    } catch (...) {
        ratingFailure = std::current_exception();
    }
    // The record is stored: the practice system gets it even without an assessment.
    if (isRequestedPerson(entries)) {
        // An index that cannot be written must not hold back the answer.
        try {
            PersonIndex(m_services.dataDir)
                .record(QFileInfo(path).fileName(), m_order->patientNumber);
        } catch (const Failure &failure) {
            qCWarning(logRecords).noquote() << failure.message();
        }
    }
    answerGdtRequest(entries, woman, assessment, percentile);
    m_takenOver = true;
    m_typed = false;
    takeNextIfFree();
    if (ratingFailure)
        std::rethrow_exception(ratingFailure);
}
