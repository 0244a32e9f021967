#include "form1.h"
#include "services.h"

#include "common/numbertext.h"
#include "records/personfile.h"
#include "records/rating.h"
#include "records/takeover.h"

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
        m_services.messages->inform(takeOverRefused, refusal);
        return;
    }
    // 2. Name.
    const QString name = personName(entries.first, entries.last);
    // 3. BMI, by its first two characters. It shows once it is stored, so that a
    // failed store leaves nothing on the window that suggests a stored record.
    const QString bmiShown =
        shortBmiText(bodyMassIndex(textNumber(entries.weight), textNumber(entries.height)));
    // 4. Sex word.
    const bool woman = Option2->isChecked();
    const QString sex = sexWord(woman);
    // 5. Store; on the disk before the assessment shows.
    storeMeasurement(personFilePath(m_services.dataDir, entries.first, entries.last),
                     headerLine(name, sex, entries.age),
                     recordLine(entries.date, entries.weight, entries.height, bmiShown));
    bmi->setText(bmiShown);
    // 6.-8. Rating: only the RatingFile of the class finally reached is read.
    QStringList assessment;
    std::exception_ptr ratingFailure;
    try {
        const double rating = ratingValue(textNumber(bmiShown), textNumber(entries.age), woman);
        if (const auto ratingClassReached = ratingClass(rating)) {
            List1->clear();
            assessment = readRatingFile(ratingFilePath(m_services.dataDir, *ratingClassReached));
            List1->addItems(assessment);
        }
    } catch (...) {
        ratingFailure = std::current_exception();
    }
    // The record is stored: the practice system gets it even without an assessment.
    answerGdtRequest(entries, assessment);
    if (ratingFailure)
        std::rethrow_exception(ratingFailure);
}
