#include "form1.h"
#include "services.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "common/numbertext.h"
#include "gdt/age.h"
#include "gdt/gdtanswer.h"
#include "gdt/gdtanswerdelivery.h"
#include "gdt/gdtanswersink.h"
#include "gdt/gdtexchange.h"
#include "gdt/gdtorder.h"
#include "orders/personindex.h"
#include "orders/worklist.h"
#include "outbox/outboxpump.h"
#include "records/cp1252.h"
#include "records/personfile.h"
#include "records/takeover.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <cmath>

namespace {

QString requestText(const QString &file)
{
    return QStringLiteral("Die GDT-Anfrage „%1“").arg(QDir::toNativeSeparators(file));
}

// The link an order came by, as the operator knows it: "GDT" for both kinds of request.
QString linkOf(const Order &order)
{
    return order.source == QLatin1String(gdtChartSource) ? QStringLiteral("GDT") : order.source;
}

// "Die GDT-Anfrage „…“", "Der HL7-Auftrag „…“"
QString orderText(const Order &order)
{
    if (linkOf(order) == QLatin1String(gdtOrderSource))
        return requestText(order.requestFile);
    return QStringLiteral("Der %1-Auftrag „%2“").arg(order.source, order.requestFile);
}

bool samePerson(const Order &a, const Order &b)
{
    return a.source == b.source && a.patientNumber == b.patientNumber;
}

} // namespace

void Form1::connectGdt()
{
    GdtExchange *gdt = m_services.gdt;
    connect(gdt, &GdtExchange::requestArrived, this, &Form1::gdtRequestArrived);
    connect(gdt, &GdtExchange::requestRejected, this, &Form1::gdtRequestRejected);
    connect(gdt, &GdtExchange::problem, this,
            [this](const QString &message) { m_services.messages->inform(message); });
    gdt->setKeeper([this](const GdtRequest &request,
                          const QString &path) { return keepGdtRequest(request, path); },
                   QStringLiteral("Es warten schon %1 Personen; die Anfrage wird gelesen, sobald "
                                  "eine davon übernommen oder verworfen ist.")
                       .arg(Worklist::capacity));
    OutboxPump *outbox = m_services.outbox;
    // The answers are the link's result sink; the window wires the link up.
    m_gdtAnswers =
        std::make_unique<GdtAnswerSink>(outbox->outbox(), gdt->stationId(), gdt->practiceId());
    m_services.sinks.append(m_gdtAnswers.get());
    connect(gdt, &GdtExchange::looked, outbox, &OutboxPump::deliverDue);
    outbox->setCourier(gdtDestination, [gdt, this](const OutboxEntry &entry) {
        const GdtAnswerDelivery delivery =
            deliverGdtAnswer(gdt->answerDirectory(), gdt->answerFileName(), gdt->answerNames(),
                             entry.payload, m_services.clock->now());
        switch (delivery.kind) {
        case GdtAnswerDelivery::Kind::Written:
            qCInfo(logGdt).noquote() << QStringLiteral("GDT-Antwort geschrieben: „%1“")
                                            .arg(QDir::toNativeSeparators(delivery.path));
            return CourierResult{CourierResult::Kind::Delivered, {}};
        case GdtAnswerDelivery::Kind::Waiting:
            return CourierResult{CourierResult::Kind::Waiting, delivery.message};
        case GdtAnswerDelivery::Kind::Failed:
            break;
        }
        return CourierResult{CourierResult::Kind::Failed, delivery.message};
    });
}

// Runs before the request file is removed: once this returns true the worklist holds
// the request on the disk. Names no history file can carry are not kept (told below).
bool Form1::keepGdtRequest(const GdtRequest &request, const QString &path)
{
    if (!nameProblem(request.firstName).isEmpty() || !nameProblem(request.lastName).isEmpty())
        return true;
    return m_services.worklist->add(orderOfGdtRequest(request, path));
}

// The practice system names a person to be measured: the window shows them at once
// when it holds no one else's input; else they wait, and the title says so.
void Form1::gdtRequestArrived(const GdtRequest &request, const QString &path)
{
    // 1. Names that no history file can carry. A character beyond Windows-1252 in a
    // practice system's name is all but always a byte read in the wrong set (ⁿ for ü).
    for (const QString *name : {&request.firstName, &request.lastName}) {
        QString problem = nameProblem(*name);
        if (problem.isEmpty())
            continue;
        if (!isCp1252Encodable(*name))
            problem = QStringLiteral("enthält ein Zeichen, das im Zeichensatz der Anfrage (%1) "
                                     "kein Buchstabe eines Namens sein kann. Schreibt die "
                                     "Praxissoftware einen anderen Zeichensatz, als sie in Feld "
                                     "9206 angibt, legt die Einstellung gdt/charset ihn fest")
                          .arg(gdtCharsetName(request.charset));
        m_services.messages->inform(
            requestText(path) + QStringLiteral(" wird nicht übernommen."),
            QStringLiteral("Der Name „%1“ %2.")
                .arg(personName(request.firstName, request.lastName), problem));
        return;
    }
    takeNextIfFree();
    showWhatWaits();
}

void Form1::gdtRequestRejected(const QString &path, const QString &movedTo, const GdtError &error)
{
    m_services.messages->inform(
        requestText(path) +
            QStringLiteral(" ist fehlerhaft und wird nicht übernommen. Sie liegt jetzt als „%1“ "
                           "im GDT-Verzeichnis.")
                .arg(QFileInfo(movedTo).fileName()),
        gdtErrorText(error));
}

// Oldest first, without the one the window shows.
QList<Order> Form1::waitingOrders() const
{
    QList<Order> waiting;
    if (!m_services.worklist)
        return waiting;
    for (const Order &order : m_services.worklist->orders()) {
        if (!m_order || !samePerson(order, *m_order))
            waiting << order;
    }
    return waiting;
}

// Empty person fields, or a person taken over and not typed over since.
bool Form1::windowIsFree() const
{
    return m_takenOver || (text->text().isEmpty() && Text7->text().isEmpty());
}

void Form1::takeNextIfFree()
{
    const QList<Order> waiting = waitingOrders();
    if (!waiting.isEmpty() && windowIsFree())
        fillFromOrder(waiting.first());
}

// Names, age and sex as the order gives them; what it leaves open the operator fills in.
void Form1::fillFromOrder(const Order &order)
{
    m_order = order;
    m_typed = false;
    m_takenOver = false;
    text->setText(order.firstName);
    Text7->setText(order.lastName);
    bmi->clear();
    List1->clear();
    if (order.source == QLatin1String(gdtChartSource)) {
        showOrdersChart(order);
        return;
    }
    QStringList toDo;
    const QDate today = m_services.clock->today();
    const auto age = order.birthDate ? ageInYears(*order.birthDate, today) : std::nullopt;
    Text5->setText(age ? QString::number(*age) : QString());
    const QString request = orderText(order);
    if (!order.birthDate && !order.birthDateSent.isEmpty())
        toDo << request + QStringLiteral(" nennt ein Geburtsdatum, das nicht lesbar ist („%1“). "
                                         "Bitte das Alter eingeben.")
                              .arg(order.birthDateSent);
    else if (!order.birthDate)
        toDo << request + QStringLiteral(" nennt kein Geburtsdatum. Bitte das Alter eingeben.");
    else if (!age)
        toDo << request + QStringLiteral(" nennt ein Geburtsdatum nach dem heutigen Tag (%1). "
                                         "Bitte das Alter eingeben.")
                              .arg(order.birthDate->toString(QStringLiteral("dd.MM.yyyy")));
    if (order.sex == Order::Sex::Male)
        Option1->setChecked(true);
    else if (order.sex == Order::Sex::Female)
        Option2->setChecked(true);
    else
        toDo << request + QStringLiteral(" nennt kein Geschlecht. Bitte männlich oder weiblich "
                                         "wählen.");
    qCInfo(logGdt).noquote() << QStringLiteral("Im Fenster: %1 (Patientennummer %2, %3)")
                                    .arg(orderPerson(order), order.patientNumber,
                                         order.requestFile);
    showWhatWaits();
    if (!toDo.isEmpty())
        m_services.messages->inform(toDo.join(QLatin1Char('\n')));
}

// The practice system asks to see a person's data: their chart, as "&Grafik erstellen"
// draws it. Nothing is answered; the window is free for the next request at once.
void Form1::showOrdersChart(const Order &order)
{
    m_services.worklist->remove(order);
    m_order.reset();
    m_takenOver = true;
    qCInfo(logGdt).noquote() << QStringLiteral("Grafik für %1 (Patientennummer %2, %3)")
                                    .arg(orderPerson(order), order.patientNumber,
                                         order.requestFile);
    showWhatWaits();
    guard([this] { Command1_Click(); });
}

// The window's layout is fixed; its title has room to say who waits and that answers
// wait for the practice system to read the one before.
void Form1::showWhatWaits()
{
    QString title = QStringLiteral("Tessarine");
    const QList<Order> waiting = waitingOrders();
    QString who;
    if (waiting.size() == 1)
        who = QStringLiteral("%1 wartet (%2)")
                  .arg(orderPerson(waiting.first()), linkOf(waiting.first()));
    else if (waiting.size() > 1)
        who = QStringLiteral("%1 und %2 weitere warten (%3)")
                  .arg(orderPerson(waiting.first()))
                  .arg(waiting.size() - 1)
                  .arg(linkOf(waiting.first()));
    if (!who.isEmpty())
        title += QStringLiteral(" – ") + who;
    const qsizetype answers =
        m_services.outbox ? m_services.outbox->outbox().waiting(gdtDestination) : 0;
    if (answers == 1)
        title += QStringLiteral(" – GDT-Antwort wartet");
    else if (answers > 1)
        title += QStringLiteral(" – %1 GDT-Antworten warten").arg(answers);
    title += hospitalResultsWaiting();
    setWindowTitle(title);
    const QString first = waiting.isEmpty() ? QString() : orderPerson(waiting.first());
    if (!first.isEmpty() && first != m_waitingLogged)
        qCInfo(logGdt).noquote() << QStringLiteral("Wartet: %1 (Patientennummer %2, %3); im "
                                                   "Fenster steht %4")
                                        .arg(first, waiting.first().patientNumber,
                                             waiting.first().requestFile,
                                             personName(text->text(), Text7->text()));
    m_waitingLogged = first;
}

bool Form1::isRequestedPerson(const TakeOverEntries &entries) const
{
    return m_order && entries.first == m_order->firstName && entries.last == m_order->lastName;
}

// True unless the history file holds another patient number than the request's and the
// operator keeps the measurement out of it.
bool Form1::isRequestedPatientsFile(const TakeOverEntries &entries, const QString &path)
{
    if (!isRequestedPerson(entries))
        return true;
    const QString file = QFileInfo(path).fileName();
    const auto recorded = PersonIndex(m_services.dataDir).patientOf(file);
    if (!recorded || *recorded == m_order->patientNumber)
        return true;
    if (m_services.messages->confirm(QStringLiteral("Die Datei „%1“ enthält Messungen zur "
                                                    "Patientennummer %2; die Anfrage gilt %3. "
                                                    "Trotzdem dort speichern?")
                                         .arg(file, *recorded, m_order->patientNumber)))
        return true;
    qCInfo(logRecords).noquote()
        << QStringLiteral("Übernahme abgebrochen: „%1“ enthält Messungen zur Patientennummer "
                          "%2, die Anfrage gilt %3")
               .arg(file, *recorded, m_order->patientNumber);
    return false;
}

// The age a rating uses: exact from the birth date when the person is the order's and
// the age field still holds the order's whole years, else from the typed years. Years
// typed with a decimal separator ("7,0") are taken as typed; whole years without one
// are the middle of that year.
double Form1::ratingAge(const TakeOverEntries &entries) const
{
    const double typed = textNumber(entries.age);
    if (entries.age.contains(QLocale().decimalPoint()))
        return typed;
    if (isRequestedPerson(entries) && m_order->birthDate) {
        const auto exact = exactAgeInYears(*m_order->birthDate, m_services.clock->today());
        if (exact && std::floor(*exact) == typed)
            return *exact;
    }
    return ageOfTypedYears(typed);
}

// A stored take-over goes to every result sink. One that answers the shown order has
// it in the outbox on the disk when it returns; the order leaves the worklist after that.
// Should the outbox fail, the record is stored all the same and the order stays: the
// measurement is kept, and the next take-over for the order hands over this one instead
// of storing a second record (resendUnanswered).
void Form1::handOver(const Measurement &measurement)
{
    handOverTo(measurement, m_services.sinks, false);
}

// Hands measurement to sinks in order. A sink that fails keeps the measurement with the
// sinks not yet served, so that taking over again serves only those, storing nothing.
void Form1::handOverTo(const Measurement &measurement, QList<MeasurementSink *> sinks,
                       bool answered)
{
    m_unanswered.reset();
    for (; !sinks.isEmpty(); sinks.removeFirst()) {
        try {
            answered = sinks.first()->take(measurement) || answered;
        } catch (const Failure &failure) {
            m_unanswered = Unanswered{measurement, sinks, answered};
            throw Failure(
                QStringLiteral("Die Messung ist in „%1“ gespeichert, doch das Ergebnis "
                               "konnte nicht zur Übergabe vorgemerkt werden: %2\nErneut "
                               "„Daten übernehmen“ übergibt diese Messung, ohne sie noch "
                               "einmal zu speichern.")
                    .arg(QDir::toNativeSeparators(measurement.historyFile), failure.message()));
        }
    }
    if (answered) {
        m_services.worklist->remove(*m_order);
        m_order.reset();
    }
    OutboxPump *outbox = m_services.outbox;
    if (!outbox)
        return;
    outbox->deliverDue();
    if (const qsizetype waiting = outbox->outbox().waiting(gdtDestination); waiting > 0)
        qCInfo(logGdt).noquote() << QStringLiteral("GDT-Antwort wartet, bis die vorige gelesen "
                                                   "ist (%1 wartend)")
                                        .arg(waiting);
}

// True when the shown order has a stored measurement whose answer could not be queued:
// that one is handed over again, and nothing is stored twice.
bool Form1::resendUnanswered(const TakeOverEntries &entries)
{
    if (!m_unanswered || !m_unanswered->measurement.order || !m_order ||
        !isRequestedPerson(entries) || !samePerson(*m_unanswered->measurement.order, *m_order))
        return false;
    qCInfo(logGdt).noquote() << QStringLiteral("Ergebnis der gespeicherten Messung von %1 erneut "
                                               "zur Übergabe vorgemerkt; nicht noch einmal "
                                               "gespeichert")
                                    .arg(orderPerson(*m_order));
    const Unanswered unanswered = *m_unanswered;
    handOverTo(unanswered.measurement, unanswered.pending, unanswered.answered);
    m_takenOver = true;
    m_typed = false;
    takeNextIfFree();
    return true;
}
