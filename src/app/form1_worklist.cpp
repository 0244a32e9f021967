#include "form1.h"
#include "services.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "gdt/gdtanswersink.h"
#include "orders/worklist.h"
#include "outbox/outboxpump.h"
#include "records/personfile.h"

#include <QDir>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QTimer>

#include <map>

// What every link's orders and results share: what waits shows in the title, a result
// the peer refuses is named, typed input holds back the next order, F5 and Shift+F5.
void Form1::connectWorklist()
{
    OutboxPump *outbox = m_services.outbox;
    connect(outbox, &OutboxPump::waitingChanged, this, &Form1::showWhatWaits);
    connect(outbox, &OutboxPump::problem, this,
            [this](const QString &message) { m_services.messages->inform(message); });
    // Typing into a person's fields makes them the operator's: requests wait.
    for (QLineEdit *field : {text, Text7, Text5}) {
        connect(field, &QLineEdit::textEdited, this, [this] {
            m_typed = true;
            m_takenOver = false;
        });
    }
    const auto key = [this](QKeySequence keys, void (Form1::*handler)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, handler] { guard([this, handler] { (this->*handler)(); }); });
    };
    key(QKeySequence(Qt::Key_F5), &Form1::callNextOrder);
    key(QKeySequence(Qt::SHIFT | Qt::Key_F5), &Form1::dismissOrder);
}

// Runs before the link acknowledges the order: once this returns the empty text the
// worklist holds it on the disk. The person shows when the window is free, as for a
// GDT request.
QString Form1::keepOrder(const Order &order)
{
    for (const QString *name : {&order.firstName, &order.lastName}) {
        if (const QString problem = nameProblem(*name); !problem.isEmpty())
            return QStringLiteral("Der Name „%1“ %2").arg(orderPerson(order), problem);
    }
    try {
        if (!m_services.worklist->add(order))
            return QStringLiteral("Es warten schon %1 Personen").arg(Worklist::capacity);
    } catch (const Failure &failure) {
        return failure.message();
    }
    qCInfo(logApp).noquote() << QStringLiteral("%1-Auftrag „%2“ in der Arbeitsliste: %3 "
                                               "(Patientennummer %4)")
                                    .arg(order.source, order.requestFile, orderPerson(order),
                                         order.patientNumber);
    // After the link's answer: a message box of the fill must not hold back the ACK.
    QTimer::singleShot(0, this, [this] {
        guard([this] {
            takeNextIfFree();
            showWhatWaits();
        });
    });
    return {};
}

// " – 2 HL7-Ergebnisse warten": the results of the links other than GDT's, by link.
QString Form1::hospitalResultsWaiting() const
{
    if (!m_services.outbox)
        return {};
    std::map<QString, qsizetype> waiting;
    for (const OutboxEntry &entry : m_services.outbox->outbox().entries()) {
        if (entry.destination != gdtDestination)
            ++waiting[entry.destination];
    }
    QString text;
    for (const auto &[destination, count] : waiting) {
        const QString link = destination.toUpper();
        text += count == 1 ? QStringLiteral(" – %1-Ergebnis wartet").arg(link)
                           : QStringLiteral(" – %1 %2-Ergebnisse warten").arg(count).arg(link);
    }
    return text;
}

// F5: the oldest waiting person into the window, on purpose. Typed input it would
// discard is the operator's: a question names both persons first.
void Form1::callNextOrder()
{
    const QList<Order> waiting = waitingOrders();
    if (waiting.isEmpty()) {
        m_services.messages->inform(QStringLiteral("Es wartet keine Person der Praxissoftware."));
        return;
    }
    const Order &next = waiting.first();
    const QString shown = personName(text->text(), Text7->text());
    if (!windowIsFree() && (m_typed || !m_order) &&
        !m_services.messages->confirm(
            QStringLiteral("%1 aufrufen? Die Eingaben für %2 werden verworfen.")
                .arg(orderPerson(next), shown)))
        return;
    fillFromOrder(next);
}

// Shift+F5: the request the window shows is not to be answered; it leaves the worklist.
void Form1::dismissOrder()
{
    if (!m_order) {
        m_services.messages->inform(
            QStringLiteral("Im Fenster steht keine Anfrage der Praxissoftware."));
        return;
    }
    const Order order = *m_order;
    if (!m_services.messages->confirm(
            QStringLiteral("Die Anfrage „%1“ für %2 (Patientennummer %3) verwerfen? Die "
                           "Praxissoftware erhält dann kein Ergebnis dazu.")
                .arg(QDir::toNativeSeparators(order.requestFile), orderPerson(order),
                     order.patientNumber)))
        return;
    m_services.worklist->remove(order);
    qCInfo(logGdt).noquote() << QStringLiteral("Anfrage verworfen: „%1“, %2 (Patientennummer %3)")
                                    .arg(order.requestFile, orderPerson(order),
                                         order.patientNumber);
    m_order.reset();
    m_unanswered.reset(); // its answer is not wanted
    for (QLineEdit *field : {text, Text7, Text5, bmi})
        field->clear();
    List1->clear();
    m_typed = false;
    m_takenOver = false;
    takeNextIfFree();
    showWhatWaits();
}
