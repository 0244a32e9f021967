#include "form1.h"
#include "persondirectory.h"
#include "personpicker.h"
#include "services.h"

#include "files/atomicfile.h"
#include "records/takeover.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

void Form1::offerKnownPersons()
{
    if (m_services.dataDir.isEmpty())
        return;
    m_persons = std::make_unique<PersonDirectory>(m_services.dataDir);
    m_picker = new PersonPicker(*m_persons, this);
    m_picker->setFont(text->font());
    for (QLineEdit *field : {text, Text7})
        m_picker->attach(field);
    connect(m_picker, &PersonPicker::picked, this, &Form1::pickPerson);
}

// As the chart fills them from a file: both names, the age and the sex of its header.
void Form1::pickPerson(const KnownPerson &person)
{
    text->setText(person.first);
    Text7->setText(person.last);
    Text5->setText(person.ageText);
    (person.woman ? Option2 : Option1)->setChecked(true);
    m_typed = true; // the operator's choice, as if typed
    m_takenOver = false;
}

// True unless the take-over would start a new history file under a name that only
// spelling, blanks or the order of the names tell from a file there is, and the
// operator answers No.
bool Form1::isWantedNewFile(const TakeOverEntries &entries, const QString &path)
{
    if (!m_persons || fileExists(path))
        return true;
    const QString known = m_persons->personsRead()->nearDuplicate(entries.first, entries.last);
    return known.isEmpty() ||
           m_services.messages->ask(
               QStringLiteral("Es gibt schon „%1“. Trotzdem eine neue Datei „%2“ anlegen?")
                   .arg(known, QFileInfo(path).fileName()));
}
