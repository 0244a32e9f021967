#include "form1.h"
#include "services.h"

#include "common/numbertext.h"
#include "records/personfile.h"
#include "records/rating.h"
#include "records/takeover.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

void Form1::Command2_Click()
{
    // 1. Check the entries; a refused take-over changes nothing.
    const TakeOverEntries entries{text->text(), Text7->text(), Text5->text(), Text1->text(),
                                  Text2->text()};
    if (!entriesAccepted(entries)) {
        m_services.messages->inform(takeOverRefused);
        return;
    }
    // 2. Name.
    const QString name = personName(entries.first, entries.last);
    // 3. BMI, shown by its first two characters.
    bmi->setText(numberText(bodyMassIndex(textNumber(Text1->text()), textNumber(Text2->text()))));
    bmi->setText(bmi->text().left(2));
    // 4. Sex word.
    const bool woman = Option2->isChecked();
    const QString sex = sexWord(woman);
    // 5. Store; on the disk before the assessment shows.
    storeMeasurement(personFilePath(m_services.dataDir, entries.first, entries.last),
                     headerLine(name, sex, Text5->text()),
                     recordLine(Text3->text(), Text1->text(), Text2->text(), bmi->text()));
    // 6.-8. Rating: only the RatingFile of the class finally reached is read.
    const double rating = ratingValue(textNumber(bmi->text()), textNumber(Text5->text()), woman);
    if (const auto ratingClassReached = ratingClass(rating)) {
        List1->clear();
        List1->addItems(readRatingFile(ratingFilePath(m_services.dataDir, *ratingClassReached)));
    }
}
