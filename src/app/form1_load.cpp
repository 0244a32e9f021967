#include "form1.h"

#include "common/failure.h"
#include "gdt/gdtanswersink.h"
#include "gdt/gdtexchange.h"
#include "outbox/outboxpump.h"
#include "scale/serialline.h"
#include "services.h"

#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

namespace {

// The user's short date form, but always with a four-digit year: the date is stored
// in every history record, and "06.12.26" would be ambiguous there.
QString shortDateText(const QDate &date, const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return locale.toString(date, format);
}

} // namespace

void Form1::writeStartState()
{
    Option1->setChecked(true);
    writeDate(m_services.clock->today());
}

void Form1::Form_Load()
{
    writeStartState();
    // After the defaults above, so that they do not overwrite a request waiting since
    // before the start; before the port, whose failure ends this handler.
    if (m_services.worklist) {
        takeNextIfFree(); // waiting since before the start
        showWhatWaits();
    }
    if (m_services.gdt)
        m_services.gdt->start();
    if (m_services.outbox)
        m_services.outbox->deliverDue();
    if (m_services.serial) {
        try {
            m_services.serial->open();
        } catch (const Failure &failure) {
            if (!m_services.portAdvice)
                throw;
            throw Failure(failure.message() + QStringLiteral("\n\n") + m_services.portAdvice());
        }
        m_services.serial->discard();
    }
}

void Form1::writeDate(const QDate &date)
{
    m_dateDay = date;
    m_dateText = shortDateText(date, QLocale());
    Text3->setText(m_dateText);
}

// A station left running past midnight would stamp the new day's records with
// yesterday's date. The date start-up wrote follows the calendar; a date the operator
// typed stays as typed.
void Form1::followCalendar()
{
    if (!m_dateDay.isValid() || !m_services.clock)
        return;
    const QDate today = m_services.clock->today();
    if (today == m_dateDay)
        return;
    if (Text3->text() == m_dateText)
        writeDate(today);
    else
        m_dateDay = today;
}

void Form1::Command4_Click()
{
    // Results still on their way are lost to no exit, but the operator may wait for them.
    const Outbox *outbox = m_services.outbox ? &m_services.outbox->outbox() : nullptr;
    const qsizetype waiting = outbox ? outbox->waiting() : 0;
    const qsizetype toPractice = outbox ? outbox->waiting(gdtDestination) : 0;
    const QString to = waiting == toPractice ? QStringLiteral("an die Praxissoftware ")
                       : toPractice == 0     ? QStringLiteral("an das Kliniksystem ")
                                             : QString();
    QString question = QStringLiteral("Software beenden?");
    if (waiting == 1)
        question.prepend(QStringLiteral("1 Ergebnis ist noch nicht %1übergeben.\n").arg(to));
    else if (waiting > 1)
        question.prepend(
            QStringLiteral("%1 Ergebnisse sind noch nicht %2übergeben.\n").arg(waiting).arg(to));
    if (m_services.messages->confirm(question))
        m_services.shutdown->request();
}
