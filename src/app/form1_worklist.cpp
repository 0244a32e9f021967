#include "form1.h"
#include "services.h"

#include "common/logcategories.h"
#include "orders/worklist.h"
#include "records/personfile.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>

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
