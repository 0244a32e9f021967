#include "form1.h"
#include "persondirectory.h"
#include "repaintpacer.h"

#include "common/failure.h"
#include "fieldedit.h"
#include "gdt/gdtexchange.h"
#include "records/measurement.h"
#include "scale/scalereading.h"
#include "scale/serialline.h"
#include "services.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <exception>

namespace {

constexpr int clientWidthTwips = 11985;
constexpr int clientHeightTwips = 8595;
constexpr int staleAfterMs = 2000;

QRect twipsRect(int left, int top, int width, int height)
{
    const int k = Form1::twipsPerPixel;
    return {qRound(left / double(k)), qRound(top / double(k)), qRound(width / double(k)),
            qRound(height / double(k))};
}

QPointF twipsPoint(QPoint p)
{
    return {p.x() / double(Form1::twipsPerPixel), p.y() / double(Form1::twipsPerPixel)};
}

QFont stationFont(double points, bool bold)
{
    QFont font;
    // The station's font where it is installed, else a sans-serif of similar width. The
    // TrueType "Microsoft Sans Serif" comes before the bitmap "MS Sans Serif" of the same
    // metrics: it scales with the display.
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans")});
    // Smoothed: Wine's GDI leaves out the one-pixel stem of a capital I in plain text.
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString accessibleFromCaption(QString caption)
{
    caption.remove(QLatin1Char('&'));
    caption.remove(QLatin1Char(':'));
    return caption.trimmed();
}

QColor toColor(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

Qt::BrushStyle brushStyle(FillStyle style)
{
    switch (style) {
    case FillStyle::Solid:
        return Qt::SolidPattern;
    case FillStyle::Transparent:
        return Qt::NoBrush;
    case FillStyle::HorizontalLines:
        return Qt::HorPattern;
    case FillStyle::VerticalLines:
        return Qt::VerPattern;
    case FillStyle::UpwardDiagonal:
        return Qt::BDiagPattern;
    case FillStyle::DownwardDiagonal:
        return Qt::FDiagPattern;
    case FillStyle::Cross:
        return Qt::CrossPattern;
    case FillStyle::DiagonalCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::NoBrush;
}

} // namespace

Form1::Form1(const Form1Services &services, QWidget *parent)
    : QWidget(parent), m_services(services), m_surface([this] { update(); }),
      m_scale(makeStationScale())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessarine"));
    setFont(stationFont(13.5, true));
    setFixedSize(twipsRect(0, 0, clientWidthTwips, clientHeightTwips).size());
    buildControls();
    connectHandlers();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    const QFont controlFont = stationFont(8.25, false);
    const QFont boldFont = stationFont(8.25, true);

    auto place = [this](QWidget *w, const char *name, QRect twips, const QFont &font) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        w->setFont(font);
    };
    auto lineEdit = [&](const char *name, QRect twips, int typedLimit, const QString &accessible,
                        bool keepExponent = false) {
        auto *edit = new FieldEdit(this, typedLimit, keepExponent);
        place(edit, name, twips, controlFont);
        edit->setAccessibleName(accessible);
        return edit;
    };
    auto button = [&](const char *name, const QString &caption, QRect twips, const QFont &font) {
        auto *b = new QPushButton(caption, this);
        place(b, name, twips, font);
        b->setAutoDefault(false);
        b->setAccessibleName(accessibleFromCaption(caption));
        return b;
    };

    Text10 = lineEdit("Text10", {9240, 5040, 255, 195}, 0, QStringLiteral("Nullpunkt"));
    Text10->setFont(boldFont);
    // The zero reference is the scale link's, not the operator's: a typed letter there
    // would make every later frame fail. Start-up focus goes to the first name instead.
    Text10->setReadOnly(true);
    Text10->setFocusPolicy(Qt::NoFocus);
    List1 = new QListWidget(this);
    place(List1, "List1", {4080, 5760, 6375, 2205}, controlFont);
    List1->setUniformItemSizes(true);
    List1->setAccessibleName(QStringLiteral("Ausgabefeld für Daten und Bewertungen"));

    text = lineEdit("text", {1200, 720, 1215, 285}, 0, QStringLiteral("Vorname"));
    Text7 = lineEdit("Text7", {1200, 1200, 1215, 315}, 0, QStringLiteral("Nachname"));
    const QString keys = QStringLiteral("F5 ruft die nächste wartende Person der Praxissoftware "
                                        "auf, Umschalt+F5 verwirft deren angezeigte Anfrage.");
    text->setToolTip(QStringLiteral("Vorname. ") + keys);
    Text7->setToolTip(QStringLiteral("Nachname. ") + keys);
    Text5 = lineEdit("Text5", {1200, 1680, 1215, 285}, 3, QStringLiteral("Alter"));

    Option1 = new QRadioButton(QStringLiteral("Option1"), this);
    place(Option1, "Option1", {1680, 2160, 255, 195}, controlFont);
    Option1->setAccessibleName(QStringLiteral("männlich"));
    Option2 = new QRadioButton(QStringLiteral("Option2"), this);
    place(Option2, "Option2", {1680, 2520, 255, 195}, controlFont);
    Option2->setAccessibleName(QStringLiteral("weiblich"));

    Command2 = button("Command2", QStringLiteral("&Daten übernehmen"), {120, 6120, 2895, 375},
                      controlFont);
    Command5 = button("Command5", QStringLiteral("&Tabelle  auslesen"), {120, 6720, 2895, 375},
                      controlFont);
    Command1 = button("Command1", QStringLiteral("&Grafik erstellen"), {120, 7320, 2895, 375},
                      controlFont);
    Command3 = button("Command3", QStringLiteral("D&rucken"), {120, 7920, 2895, 375}, controlFont);
    Command4 = button("Command4", QStringLiteral("&EXIT"), {10920, 5400, 975, 2895}, font());

    // A weight residue such as "-4,44089209850313E-16" keeps its exponent in sight.
    Text1 = lineEdit("Text1", {1200, 4800, 1215, 285}, 5, QStringLiteral("Gewicht"), true);
    Text1->setText(QStringLiteral("99999"));
    Text2 = lineEdit("Text2", {1200, 4320, 1215, 285}, 4, QStringLiteral("Größe"));
    // Written up to 240 and repainted up to 30 times a second while the scale sends: they
    // cover their whole rectangle themselves, so that the window beneath and its labels are
    // not painted again, and their digits are laid out without shaping, which Latin
    // numbers do not need.
    for (QWidget *reading : {Text1, Text2}) {
        reading->setAttribute(Qt::WA_OpaquePaintEvent);
        QFont digits = reading->font();
        digits.setStyleStrategy(QFont::PreferNoShaping);
        reading->setFont(digits);
    }
    Text3 = lineEdit("Text3", {1200, 3840, 1215, 285}, 0, QStringLiteral("Datum"));
    bmi = lineEdit("bmi", {1200, 5400, 1215, 285}, 0, QStringLiteral("BMI"));

    struct LabelEntry
    {
        const char *caption;
        QRect twips;
        enum { Regular, Bold, Larger } font;
        QWidget *buddy;
    };
    const LabelEntry labels[] = {
        {"Vom Benutzer einzugebende Daten:", {120, 120, 2295, 615}, LabelEntry::Bold, nullptr},
        {"&Vorname:", {240, 720, 735, 255}, LabelEntry::Regular, text},
        {"&Nachname:", {240, 1200, 1215, 255}, LabelEntry::Regular, Text7},
        {"&Alter:", {240, 1680, 495, 255}, LabelEntry::Regular, Text5},
        {"männlich:", {240, 2160, 1455, 375}, LabelEntry::Regular, nullptr},
        {"weiblich:", {240, 2520, 1575, 255}, LabelEntry::Regular, nullptr},
        {"Vom Rechner ünernommene und errechnete Werte",
         {120, 3120, 2655, 495},
         LabelEntry::Bold,
         nullptr},
        {"Datum:", {240, 3840, 855, 255}, LabelEntry::Regular, nullptr},
        {"Größe:", {240, 4320, 735, 255}, LabelEntry::Regular, nullptr},
        {" mm", {2400, 4440, 375, 255}, LabelEntry::Regular, nullptr},
        {"Gewicht:", {240, 4800, 735, 255}, LabelEntry::Regular, nullptr},
        {" kg", {2400, 4920, 375, 255}, LabelEntry::Regular, nullptr},
        {"BMI:", {240, 5280, 1095, 255}, LabelEntry::Regular, nullptr},
        {"Ausgabefeld für Daten und Bewertungen:",
         {3840, 5280, 2415, 735},
         LabelEntry::Bold,
         nullptr},
        {"BMI", {3360, 0, 495, 255}, LabelEntry::Regular, nullptr},
        {"40", {3480, 240, 255, 255}, LabelEntry::Regular, nullptr},
        {"35", {3480, 1080, 255, 255}, LabelEntry::Larger, nullptr},
        {"30", {3480, 2040, 375, 255}, LabelEntry::Larger, nullptr},
        {"25", {3480, 2880, 375, 255}, LabelEntry::Regular, nullptr},
        {"20", {3480, 3840, 375, 255}, LabelEntry::Larger, nullptr},
        {"15", {3480, 4800, 375, 255}, LabelEntry::Regular, nullptr},
        {"Tag", {11280, 4920, 615, 255}, LabelEntry::Regular, nullptr},
        {"Normalwerte", {10680, 2400, 1095, 255}, LabelEntry::Regular, nullptr},
    };
    const QFont largerFont = stationFont(9.75, false);
    for (const LabelEntry &entry : labels) {
        auto *label = new QLabel(QString::fromUtf8(entry.caption), this);
        const QFont &font = entry.font == LabelEntry::Bold     ? boldFont
                            : entry.font == LabelEntry::Larger ? largerFont
                                                               : controlFont;
        label->setGeometry(
            twipsRect(entry.twips.x(), entry.twips.y(), entry.twips.width(), entry.twips.height()));
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(entry.twips.height() > 300);
        // Frame titles cover the frame line they stand on, as a group box title does.
        label->setAutoFillBackground(entry.font == LabelEntry::Bold);
        label->lower(); // beneath the fields and the list their rectangles overlap
        if (entry.buddy)
            label->setBuddy(entry.buddy);
        else
            label->setTextFormat(Qt::PlainText);
        if (qstrcmp(entry.caption, "Normalwerte") == 0) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
            label->setPalette(palette);
            label->setAutoFillBackground(true); // legible over the hatched band
            label->setObjectName(QStringLiteral("Normalwerte"));
        }
    }

    // Tab order by the station's tab indexes; labels take the numbers in between.
    QWidget *const tabOrder[] = {Text10,  List1,    text,     Text7,    Text5,    Option1,
                                 Option2, Command2, Command5, Command1, Command3, Command4,
                                 Text1,   Text2,    Text3,    bmi};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    text->setFocus();

    offerKnownPersons();

    m_readingRepaints = new RepaintPacer(RepaintPacer::readingRefreshMs, this);

    m_staleTimer = new QTimer(this);
    m_staleTimer->setInterval(250);
    connect(m_staleTimer, &QTimer::timeout, this, &Form1::updateStaleCue);
    m_staleTimer->start();
}

void Form1::connectHandlers()
{
    const std::pair<QPushButton *, void (Form1::*)()> buttons[] = {
        {Command2, &Form1::Command2_Click}, {Command5, &Form1::Command5_Click},
        {Command1, &Form1::Command1_Click}, {Command3, &Form1::Command3_Click},
        {Command4, &Form1::Command4_Click},
    };
    for (const auto &[button, handler] : buttons) {
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { guard([this, handler] { (this->*handler)(); }); });
    }
    if (m_services.serial) {
        connect(m_services.serial, &SerialLine::dataWaiting, this,
                [this] { guard([this] { MSComm1_OnComm(); }); });
        connect(m_services.serial, &SerialLine::fault, this, &Form1::showLineFault);
    }
    if (m_services.worklist && m_services.outbox)
        connectWorklist();
    if (m_services.gdt)
        connectGdt();
    // The stale cue's tick also watches the calendar.
    connect(m_staleTimer, &QTimer::timeout, this, &Form1::followCalendar);
}

void Form1::guard(const std::function<void()> &handler)
{
    QString message;
    try {
        handler();
        return;
    } catch (const Failure &failure) {
        message = failure.message();
    } catch (const std::exception &error) {
        message =
            QStringLiteral("Unerwarteter Fehler: %1").arg(QString::fromLocal8Bit(error.what()));
    }
    report(message);
}

void Form1::showLineFault(const QString &message)
{
    // The fields keep the last reading; it must not be taken over as a new one.
    m_scaleLineLost = true;
    report(message);
}

void Form1::report(const QString &message)
{
    // A message box runs its own event loop, in which the next frames arrive. Should
    // they fail as well, one open box says it: no pile of boxes, five a second.
    if (m_reporting)
        return;
    m_reporting = true;
    m_services.messages->inform(message);
    m_reporting = false;
}

void Form1::updateStaleCue()
{
    // A reading older than two seconds is shown greyed, so that nobody takes over a
    // weight the scale stopped sending; the texts themselves stay as they are.
    const bool stale = m_lastFrameMs >= 0 && m_services.clock &&
                       m_services.clock->elapsedMs() - m_lastFrameMs >= staleAfterMs;
    if (stale == m_readingStale)
        return; // as shown: a frame finds nothing to do here
    m_readingStale = stale;
    for (QLineEdit *field : {Text1, Text2}) {
        field->setProperty("stale", stale);
        QPalette palette = field->palette();
        const QPalette standard = QPalette();
        palette.setColor(QPalette::Text, stale ? standard.color(QPalette::Disabled, QPalette::Text)
                                               : standard.color(QPalette::Active, QPalette::Text));
        field->setPalette(palette);
    }
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // What the handlers drew lies beneath the fixed frame lines and the controls.
    for (const DrawnShape &shape : m_surface.drawing()) {
        if (const auto *line = std::get_if<DrawnLine>(&shape)) {
            painter.setPen(QPen(toColor(line->color), line->penWidth));
            painter.drawLine(twipsPoint(line->from), twipsPoint(line->to));
        } else if (const auto *box = std::get_if<DrawnBox>(&shape)) {
            painter.setPen(QPen(toColor(box->outline), box->penWidth));
            painter.setBrush(QBrush(toColor(box->fill), brushStyle(box->fillStyle)));
            painter.drawRect(
                QRectF(twipsPoint(box->corner1), twipsPoint(box->corner2)).normalized());
            painter.setBrush(Qt::NoBrush);
        }
    }

    // Fixed frames; gaps in the top and left edges leave room for the frame titles.
    const QColor frameColor = palette().color(QPalette::WindowText);
    auto edge = [&](int x1, int y1, int x2, int y2, int width) {
        painter.setPen(QPen(frameColor, width, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(twipsPoint({x1, y1}), twipsPoint({x2, y2}));
    };
    struct Frame
    {
        int left, top, right, bottom, topFrom, leftFrom, width;
    };
    const Frame frames[] = {
        {120, 240, 3000, 2880, 1440, 600, 1},     // input
        {120, 3240, 3000, 5760, 2640, 3600, 1},   // values
        {3840, 120, 11880, 4920, 3840, 120, 3},   // chart, closed
        {3840, 5400, 10680, 8280, 6240, 5760, 1}, // output
    };
    for (const Frame &f : frames) {
        edge(f.topFrom, f.top, f.right, f.top, f.width);
        edge(f.left, f.leftFrom, f.left, f.bottom, f.width);
        edge(f.right, f.top, f.right, f.bottom, f.width);
        edge(f.left, f.bottom, f.right, f.bottom, f.width);
    }
}
