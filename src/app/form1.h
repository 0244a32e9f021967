#pragma once

#include "chartsurface.h"

#include "gdt/gdtrequest.h"
#include "orders/order.h"
#include "records/childbmi.h"
#include "records/measurement.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class RepaintPacer;

class Clock;
class GdtExchange;
class OutboxPump;
class Worklist;
class MessageBoxes;
class ReportPrinterProvider;
class ScaleDecoder;
class SerialLine;
class ShutdownRequest;
struct Measurement;
class MeasurementSink;
struct TakeOverEntries;
struct KnownPerson;
class PersonDirectory;
class PersonPicker;

// What the window needs from the outside world; main.cpp builds the real ones.
struct Form1Services
{
    MessageBoxes *messages = nullptr;
    ShutdownRequest *shutdown = nullptr;
    SerialLine *serial = nullptr; // the scale's line; null runs without a scale
    ReportPrinterProvider *printers = nullptr;
    Clock *clock = nullptr;
    // The practice system's exchange directory; null when no GDT link is set up.
    // Form_Load starts it.
    GdtExchange *gdt = nullptr;
    // With a link: the waiting orders and the results on their way, both kept in the
    // station's state directory.
    Worklist *worklist = nullptr;
    OutboxPump *outbox = nullptr;
    // Where each stored take-over goes next (the answer to the practice system, ...).
    QList<MeasurementSink *> sinks;
    QString dataDir; // history and rating files; ends without a separator
    ChildRatings children = ChildRatings::Adult; // rating, chart and report of children
    // Added to the message when the port cannot be opened at start: where the port is
    // set and which ports the machine has. May be empty.
    std::function<QString()> portAdvice;
};

// The station's one window. Its fields are the program's whole shared state; every
// operation is one handler that reads fields, computes, and writes fields and files.
// Handlers throw Failure (or any std::exception) to abandon their work at that step;
// the button and line connections run them inside guard(), which reports the error
// and keeps the program going. Each handler lives in a file of its own.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(const Form1Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // Twips to logical pixels: the window is laid out at 15 twips per pixel.
    static constexpr int twipsPerPixel = 15;

    const ChartSurface &surface() const { return m_surface; }

    // Sex and date as a new station starts; also the first thing Form_Load does. Done
    // before the window shows, so that it never shows without them.
    void writeStartState();

    // Runs a handler; an error abandons it and is shown in one message box.
    void guard(const std::function<void()> &handler);

    // An order from a hospital link into the worklist; returns why it is not kept (a
    // name no history file can carry, a full worklist, a write error), else empty.
    QString keepOrder(const Order &order);

public Q_SLOTS:
    void Form_Load();      // start-up: sex, date, serial port
    void MSComm1_OnComm(); // a frame from the scale
    void Command2_Click(); // take-over of a measurement
    void Command1_Click(); // BMI chart
    void Command5_Click(); // table listing
    void Command3_Click(); // printed report
    void Command4_Click(); // exit
    void callNextOrder();  // F5: the next waiting person
    void dismissOrder();   // Shift+F5: the request the window shows

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void showLineFault(const QString &message);
    void report(const QString &message);
    void updateStaleCue();
    void writeDate(const QDate &date);
    void followCalendar();
    void connectGdt();
    void connectWorklist();
    QString hospitalResultsWaiting() const;
    bool keepGdtRequest(const GdtRequest &request, const QString &path);
    void gdtRequestArrived(const GdtRequest &request, const QString &path);
    void gdtRequestRejected(const QString &path, const QString &movedTo, const GdtError &error);
    QList<Order> waitingOrders() const;
    bool windowIsFree() const;
    void takeNextIfFree();
    void fillFromOrder(const Order &order);
    void showOrdersChart(const Order &order);
    void showWhatWaits();
    void handOver(const Measurement &measurement);
    void handOverTo(const Measurement &measurement, QList<MeasurementSink *> sinks, bool answered);
    bool resendUnanswered(const TakeOverEntries &entries);
    bool isRequestedPerson(const TakeOverEntries &entries) const;
    bool isRequestedPatientsFile(const TakeOverEntries &entries, const QString &path);
    double ratingAge(const TakeOverEntries &entries) const;
    void offerKnownPersons();
    void pickPerson(const KnownPerson &person);
    bool isWantedNewFile(const TakeOverEntries &entries, const QString &path);

    Form1Services m_services;
    ChartSurface m_surface;

    // Controls, named as the station names them.
    QLineEdit *text = nullptr;       // first name
    QLineEdit *Text7 = nullptr;      // last name
    QLineEdit *Text5 = nullptr;      // age
    QRadioButton *Option1 = nullptr; // male
    QRadioButton *Option2 = nullptr; // female
    QLineEdit *Text3 = nullptr;      // date
    QLineEdit *Text2 = nullptr;      // height in mm
    QLineEdit *Text1 = nullptr;      // weight in kg
    QLineEdit *bmi = nullptr;        // body-mass index
    QLineEdit *Text10 = nullptr;     // weight zero reference
    QListWidget *List1 = nullptr;    // output list
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;

    bool m_reporting = false; // a message of guard() or of the line is open
    qint64 m_lastFrameMs = -1;
    QTimer *m_staleTimer = nullptr;
    bool m_readingStale = false;               // Text1 and Text2 shown greyed
    bool m_scaleLineLost = false;              // since the line's fault, until the next frame
    QDate m_dateDay;                           // the day of the date last written into Text3
    QString m_dateText;                        // that date's text, as written
    RepaintPacer *m_readingRepaints = nullptr; // Text1 and Text2 at the scale's rate
    // The order whose person is in the fields, until a take-over for that person
    // answers it; it stays in the worklist until then.
    std::optional<Order> m_order;
    // Stored, but a sink could not take it: the sinks not yet served, and whether one of
    // those that were answered the order.
    struct Unanswered
    {
        Measurement measurement;
        QList<MeasurementSink *> pending;
        bool answered = false;
    };
    std::optional<Unanswered> m_unanswered;
    bool m_typed = false;     // a person field typed since the fields were filled or taken over
    bool m_takenOver = false; // the person in the fields is taken over, nothing typed since
    QString m_waitingLogged;  // who was last logged as waiting
    std::unique_ptr<MeasurementSink> m_gdtAnswers; // with a GDT link
    std::unique_ptr<ScaleDecoder> m_scale;         // what the scale's frames say
    // The persons of the data directory, read on a thread of their own that ends with
    // the window; offered by the picker under the name fields. Null without a directory.
    std::unique_ptr<PersonDirectory> m_persons;
    PersonPicker *m_picker = nullptr;
};
