#include "fedline.h"
#include "filebytes.h"
#include "windowfixture.h"

#include "app/fieldedit.h"
#include "app/serialports.h"

#include "common/failure.h"
#include "recordingprinter.h"
#include "records/rating.h"
#include "scale/scaleframe.h"
#include "scale/serialline.h"

#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <functional>
#include <utility>

namespace {

// A line whose device cannot be opened, as with a missing or busy port.
class UnopenableLine : public SerialLine
{
public:
    QString deviceName() const override { return QStringLiteral("/dev/ttyS9"); }
    void open() override
    {
        ++opens;
        throw Failure(QStringLiteral("Die serielle Schnittstelle /dev/ttyS9 kann nicht geöffnet "
                                     "werden: Gerät nicht gefunden."));
    }
    qint64 bytesWaiting() const override { return 0; }
    QByteArray input() override { return {}; }
    void discard() override { ++discards; }

    int opens = 0;
    int discards = 0;
};

// Message boxes that, like real ones, run the event loop while they are open.
class ModalMessageBoxes : public RecordingMessageBoxes
{
public:
    void inform(const QString &text, const QString &detail = {}) override
    {
        RecordingMessageBoxes::inform(text, detail);
        if (whileOpen)
            std::exchange(whileOpen, nullptr)();
    }
    std::function<void()> whileOpen;
};

QRect twips(int left, int top, int width, int height)
{
    auto px = [](int t) { return qRound(t / 15.0); };
    return {px(left), px(top), px(width), px(height)};
}

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void startsWithMaleTodayAndTheSentinel()
    {
        WindowFixture f;
        f.create();
        QVERIFY(f.find<QRadioButton>("Option1")->isChecked());
        QVERIFY(!f.find<QRadioButton>("Option2")->isChecked());
        QCOMPARE(f.field("Text3")->text(), QStringLiteral("06.12.2026"));
        QCOMPARE(f.field("Text1")->text(), QStringLiteral("99999"));
        for (const char *name : {"text", "Text7", "Text5", "Text2", "bmi", "Text10"})
            QVERIFY2(f.field(name)->text().isEmpty(), name);
        QCOMPARE(f.list()->count(), 0);
        QVERIFY(f.messages.shown.isEmpty());
        QVERIFY(f.field("Text10")->isReadOnly()); // the scale link's, not the operator's
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Tessarine"));
    }

    void datesKeepFourDigitYears()
    {
        WindowFixture f;
        f.clock.date = QDate(2031, 1, 9);
        f.create();
        QCOMPARE(f.field("Text3")->text(), QStringLiteral("09.01.2031"));
    }

    void sexOptionsFormOneGroup()
    {
        WindowFixture f;
        f.create();
        auto *male = f.find<QRadioButton>("Option1");
        auto *female = f.find<QRadioButton>("Option2");
        QTest::mouseClick(female, Qt::LeftButton);
        QVERIFY(female->isChecked());
        QVERIFY(!male->isChecked());
        QTest::mouseClick(male, Qt::LeftButton);
        QVERIFY(male->isChecked());
        QVERIFY(!female->isChecked());
    }

    void controlsStandWhereTheStationHasThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("accessible");
        QTest::newRow("text") << "text" << twips(1200, 720, 1215, 285) << "Vorname";
        QTest::newRow("Text7") << "Text7" << twips(1200, 1200, 1215, 315) << "Nachname";
        QTest::newRow("Text5") << "Text5" << twips(1200, 1680, 1215, 285) << "Alter";
        QTest::newRow("Option1") << "Option1" << twips(1680, 2160, 255, 195) << "männlich";
        QTest::newRow("Option2") << "Option2" << twips(1680, 2520, 255, 195) << "weiblich";
        QTest::newRow("Text3") << "Text3" << twips(1200, 3840, 1215, 285) << "Datum";
        QTest::newRow("Text2") << "Text2" << twips(1200, 4320, 1215, 285) << "Größe";
        QTest::newRow("Text1") << "Text1" << twips(1200, 4800, 1215, 285) << "Gewicht";
        QTest::newRow("bmi") << "bmi" << twips(1200, 5400, 1215, 285) << "BMI";
        QTest::newRow("Text10") << "Text10" << twips(9240, 5040, 255, 195) << "Nullpunkt";
        QTest::newRow("List1") << "List1" << twips(4080, 5760, 6375, 2205)
                               << "Ausgabefeld für Daten und Bewertungen";
        QTest::newRow("Command2") << "Command2" << twips(120, 6120, 2895, 375)
                                  << "Daten übernehmen";
        QTest::newRow("Command5") << "Command5" << twips(120, 6720, 2895, 375)
                                  << "Tabelle  auslesen";
        QTest::newRow("Command1") << "Command1" << twips(120, 7320, 2895, 375)
                                  << "Grafik erstellen";
        QTest::newRow("Command3") << "Command3" << twips(120, 7920, 2895, 375) << "Drucken";
        QTest::newRow("Command4") << "Command4" << twips(10920, 5400, 975, 2895) << "EXIT";
    }
    void controlsStandWhereTheStationHasThem()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, accessible);
        WindowFixture f;
        f.create();
        auto *control = f.form->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->accessibleName(), accessible);
    }

    void noLabelCoversAControl()
    {
        // Label rectangles overlap fields (the output title reaches into the list);
        // every corner of every control must still take the clicks.
        WindowFixture f;
        f.create();
        for (QWidget *control : f.form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<QLabel *>(control) || control->objectName().isEmpty() ||
                control->isHidden()) // the list of known persons, until typing opens it
                continue;
            const QRect r = control->geometry().adjusted(2, 2, -2, -2);
            for (const QPoint corner :
                 {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
                QWidget *hit = f.form->childAt(corner);
                QVERIFY2(hit && (hit == control || control->isAncestorOf(hit)),
                         qPrintable(control->objectName()));
            }
        }
    }

    void windowAndButtonCaptions()
    {
        WindowFixture f;
        f.create();
        QCOMPARE(f.form->size(), QSize(799, 573));
        QCOMPARE(f.button("Command2")->text(), QStringLiteral("&Daten übernehmen"));
        QCOMPARE(f.button("Command5")->text(), QStringLiteral("&Tabelle  auslesen"));
        QCOMPARE(f.button("Command1")->text(), QStringLiteral("&Grafik erstellen"));
        QCOMPARE(f.button("Command3")->text(), QStringLiteral("D&rucken"));
        QCOMPARE(f.button("Command4")->text(), QStringLiteral("&EXIT"));
        QCOMPARE(f.button("Command4")->font().pointSizeF(), 13.5);
        QVERIFY(f.button("Command4")->font().bold());

        QStringList captions;
        for (const QLabel *label : f.form->findChildren<QLabel *>())
            captions << label->text();
        for (const char *caption : {"Vom Benutzer einzugebende Daten:",
                                    "&Vorname:",
                                    "&Nachname:",
                                    "&Alter:",
                                    "männlich:",
                                    "weiblich:",
                                    "Vom Rechner ünernommene und errechnete Werte",
                                    "Datum:",
                                    "Größe:",
                                    " mm",
                                    "Gewicht:",
                                    " kg",
                                    "BMI:",
                                    "Ausgabefeld für Daten und Bewertungen:",
                                    "BMI",
                                    "40",
                                    "35",
                                    "30",
                                    "25",
                                    "20",
                                    "15",
                                    "Tag",
                                    "Normalwerte"})
            QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);

        // Drawn, too: the I of "BMI", its last letter, leaves pixels in its box.
        QLabel *bmi = f.form->findChildren<QLabel *>().at(captions.indexOf(QStringLiteral("BMI")));
        QImage image(bmi->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        bmi->render(&image, {}, {}, QWidget::DrawChildren);
        const QFontMetrics metrics(bmi->font());
        int inked = 0;
        for (int x = metrics.horizontalAdvance(QStringLiteral("BM")); x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                inked += qGray(image.pixel(x, y)) < 160;
        QVERIFY2(inked >= metrics.capHeight() / 2, qPrintable(QString::number(inked)));
    }

    void accessKeysReachTheirFields()
    {
        WindowFixture f;
        f.create();
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QCOMPARE(QApplication::focusWidget(), f.field("text")); // ready for the first name
        QTest::keyClick(f.form.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), f.field("Text7"));
        QTest::keyClick(f.form.get(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), f.field("Text5"));
    }

    void tabOrderFollowsTheStation()
    {
        WindowFixture f;
        f.create();
        const QStringList expected{"Text10",   "List1",    "text",     "Text7",
                                   "Text5",    "Option1",  "Option2",  "Command2",
                                   "Command5", "Command1", "Command3", "Command4",
                                   "Text1",    "Text2",    "Text3",    "bmi"};
        QStringList order;
        QWidget *w = f.form->findChild<QWidget *>(QStringLiteral("Text10"));
        for (int i = 0; i < 200 && order.size() < expected.size(); ++i) {
            if (expected.contains(w->objectName()) && !order.contains(w->objectName()))
                order << w->objectName();
            w = w->nextInFocusChain();
        }
        QCOMPARE(order, expected);
    }

    void typedLengthLimitsBindTypingOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");
        QTest::newRow("age") << "Text5" << 3;
        QTest::newRow("height") << "Text2" << 4;
        QTest::newRow("weight") << "Text1" << 5;
    }
    void typedLengthLimitsBindTypingOnly()
    {
        QFETCH(QString, name);
        QFETCH(int, limit);
        WindowFixture f;
        f.create();
        auto *field = f.form->findChild<QLineEdit *>(name);
        field->clear();
        QTest::keyClicks(field, QStringLiteral("1234567890"));
        QCOMPARE(field->text(), QStringLiteral("1234567890").left(limit));
        const QString written = QStringLiteral("69,2771084337349");
        field->setText(written);
        QCOMPARE(field->text(), written); // the program's text is never cut
        // Behind a longer text the limit still binds: nothing typed or pasted gets in,
        // while shortening it is the operator's to do.
        field->end(false);
        QTest::keyClicks(field, QStringLiteral("777"));
        QGuiApplication::clipboard()->setText(QStringLiteral("7"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), written);
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), written.chopped(1));
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("1234567890"));
        QCOMPARE(field->text(), QStringLiteral("1234567890").left(limit));
    }

    void longReadingsKeepTheirExponentInSight_data()
    {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("start"); // of what the field shows
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("cut"); // shown with an ellipsis
        QTest::addColumn<bool>("tip"); // whole text as tooltip
        QTest::newRow("residue of an empty scale") << "-4,44089209850313E-16"
                                                   << "-4,4"
                                                   << "E-16" << true << true;
        QTest::newRow("positive residue") << "4,2632564145606E-14"
                                          << "4,2"
                                          << "E-14" << true << true;
        QTest::newRow("long decimal: its start") << "86,7469879518072"
                                                 << "86,7469879518072"
                                                 << "" << false << true;
        QTest::newRow("weight") << "72,5"
                                << "72,5"
                                << "" << false << false;
    }
    void longReadingsKeepTheirExponentInSight()
    {
        QFETCH(QString, weight);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, cut);
        QFETCH(bool, tip);
        WindowFixture f;
        f.create();
        f.form->show();
        auto *field = qobject_cast<FieldEdit *>(f.field("Text1"));
        QVERIFY(field);
        field->setText(weight);
        QCOMPARE(field->text(), weight);
        const QString shown = field->shownText();
        QVERIFY2(shown.startsWith(start) && shown.endsWith(end), qPrintable(shown));
        QCOMPARE(shown.contains(QChar(0x2026)), cut); // the ellipsis marks the cut
        if (cut)
            QVERIFY(field->fontMetrics().horizontalAdvance(shown) <= field->width());
        QTRY_COMPARE(field->toolTip(), tip ? weight : QString()); // the scale writes fast
        QTRY_COMPARE(field->accessibleDescription(), tip ? weight : QString());
        field->resize(field->width() * 4, field->height()); // room for every text
        QCOMPARE(field->toolTip(), QString());
    }

    void exitAsksAndCancelChangesNothing()
    {
        WindowFixture f;
        f.create();
        f.field("text")->setText(QStringLiteral("Anna"));
        f.messages.answerOk = false;
        f.button("Command4")->click();
        QCOMPARE(f.messages.shown, QStringList{QStringLiteral("Software beenden?")});
        QCOMPARE(f.shutdown.requests, 0);
        QCOMPARE(f.field("text")->text(), QStringLiteral("Anna"));
    }

    void exitWithOkRequestsShutdownOncePerConfirmation()
    {
        WindowFixture f;
        f.create();
        f.messages.answerOk = true;
        f.button("Command4")->click();
        QCOMPARE(f.shutdown.requests, 1);
        f.button("Command4")->click();
        QCOMPARE(f.shutdown.requests, 2);
        QCOMPARE(f.messages.shown.size(), 2);
    }

    void portThatCannotOpenIsReportedOnce()
    {
        UnopenableLine line;
        WindowFixture f;
        f.services.serial = &line;
        f.services.portAdvice = [] {
            return portAdvice(QStringLiteral("in /etc/xdg/Tessarine/tessarine.conf gesetzt"),
                              {QStringLiteral("/dev/ttyUSB0 (USB-Serial Controller)")});
        };
        f.create();
        QCOMPARE(line.opens, 1);
        QCOMPARE(line.discards, 0); // abandoned before the discard
        QCOMPARE(f.messages.shown.size(), 1);
        // The cause, then where the port is set and which ones there are.
        QVERIFY(f.messages.shown.first().contains(QStringLiteral("/dev/ttyS9")));
        QVERIFY(f.messages.shown.first().endsWith(
            QStringLiteral("Die Schnittstelle ist in /etc/xdg/Tessarine/tessarine.conf gesetzt.\n"
                           "Vorhandene serielle Schnittstellen:\n"
                           "    /dev/ttyUSB0 (USB-Serial Controller)")));
        QVERIFY(f.find<QRadioButton>("Option1")->isChecked());
        QCOMPARE(f.field("Text3")->text(), QStringLiteral("06.12.2026"));
        // The program goes on: the next handler runs as usual.
        f.button("Command4")->click();
        QCOMPARE(f.messages.shown.size(), 2);
    }

    void failuresWhileAMessageIsOpenAddNoSecondBox()
    {
        FedLine line;
        ModalMessageBoxes messages;
        WindowFixture f;
        f.services.serial = &line;
        f.services.messages = &messages;
        f.create();
        line.failure = QStringLiteral("Die Leitung „x“ ist gestört.");
        auto frame = [&line] {
            QSignalSpy waiting(&line, &SerialLine::dataWaiting);
            line.feed(encodeFrame(528, 1000));
            QVERIFY(waiting.wait(1000));
        };
        messages.whileOpen = [&] {
            frame();
            frame();
        };
        frame();
        QCOMPARE(line.inputs, 3);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown.first().contains(QStringLiteral("„x“")));
        frame(); // the box is closed: the next failure is shown again
        QCOMPARE(messages.shown.size(), 2);
    }

    void dateFollowsTheCalendarUnlessTyped_data()
    {
        QTest::addColumn<QString>("typed");     // empty: the operator typed nothing
        QTest::addColumn<QStringList>("dates"); // on the 6th, 7th and 1 January
        QTest::newRow("start-up's date")
            << "" << QStringList{"06.12.2026", "07.12.2026", "01.01.2027"};
        QTest::newRow("typed date stays") << "05.12.2026" << QStringList(3, "05.12.2026");
    }
    void dateFollowsTheCalendarUnlessTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, dates);
        WindowFixture f;
        f.create();
        if (!typed.isEmpty())
            f.field("Text3")->setText(typed);
        const QDate days[] = {{2026, 12, 6}, {2026, 12, 7}, {2027, 1, 1}};
        for (int i = 0; i < 3; ++i) {
            f.clock.date = days[i];
            QTest::qWait(300); // a tick of the clock
            QCOMPARE(f.field("Text3")->text(), dates.at(i));
        }
    }

    void filesThatCannotBeReadAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        const QString person = QStringLiteral("Anna Beispiel.txt");
        QTest::newRow("take-over, FIFO") << "Command2" << person << "fifo";
        QTest::newRow("take-over, folder") << "Command2" << person << "folder";
        QTest::newRow("take-over, rating FIFO") << "Command2"
                                                << "bmi2.txt"
                                                << "fifo";
        QTest::newRow("chart, FIFO") << "Command1" << person << "fifo";
        QTest::newRow("chart, folder") << "Command1" << person << "folder";
        QTest::newRow("chart, 128 MiB line") << "Command1" << person << "long line";
        QTest::newRow("listing, FIFO") << "Command5" << person << "fifo";
        QTest::newRow("listing, 128 MiB line") << "Command5" << person << "long line";
        QTest::newRow("report, FIFO") << "Command3" << person << "fifo";
        QTest::newRow("report, 128 MiB line") << "Command3" << person << "long line";
    }
    void filesThatCannotBeReadAreRefusedAtOnce()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QString, kind);
        RecordingPrinterProvider printers;
        WindowFixture f;
        f.services.printers = &printers;
        f.create();
        for (int c = 0; c <= 5; ++c)
            writeBytes(ratingFilePath(f.dir.path(), c), "Bewertung\r\n");
        const QString path = f.filePath(file);
        QFile::remove(path);
        QFile sparse(path);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QLatin1String("long line"))
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(128) << 20));
#ifdef Q_OS_UNIX
        else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
        else
            QSKIP("no FIFOs in a folder here");
#endif
        const char *names[] = {"text", "Text7", "Text5", "Text1", "Text2", "bmi"};
        const QStringList entries{"Anna", "Beispiel", "34", "72,5", "1750", "21"};
        QStringList after;
        for (int i = 0; i < 6; ++i)
            f.field(names[i])->setText(entries.at(i));
        f.list()->addItem(QStringLiteral("vorher"));

        f.button(qPrintable(button))->click(); // a FIFO would block right here

        QCOMPARE(f.messages.shown.size(), 1);
        const QString message = f.messages.shown.at(0);
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)) &&
                     message.contains(kind == QLatin1String("long line")
                                          ? QStringLiteral("Zeile 1 ist länger als 65536 Zeichen")
                                          : QStringLiteral("keine gewöhnliche Datei")),
                 qPrintable(message));
        QCOMPARE(printers.begunPaths, QStringList());
        if (file.startsWith(QLatin1String("bmi")))
            return; // the record is stored; the list was emptied for that class
        for (const char *name : names)
            after << f.field(name)->text();
        QCOMPARE(after, entries);
        QCOMPARE(f.listItems(), QStringList{QStringLiteral("vorher")});
        QVERIFY(f.form->surface().drawing().empty());
    }

    void surfaceKeepsShapesWithTheSettingsOfTheirTime()
    {
        WindowFixture f;
        f.create();
        ChartSurface surface;
        surface.setDrawWidth(1);
        surface.setFillColor({255, 100, 100});
        surface.setFillStyle(FillStyle::Cross);
        surface.drawBox({3865, 4905}, {11865, 4000}, {255, 3, 5});
        surface.setDrawWidth(2);
        surface.drawLine({3861, 3448}, {4128, 3264}, {0, 0, 0});
        const Drawing expected{
            DrawnBox{
                {3865, 4905}, {11865, 4000}, {255, 3, 5}, {255, 100, 100}, FillStyle::Cross, 1},
            DrawnLine{{3861, 3448}, {4128, 3264}, {0, 0, 0}, 2}};
        QVERIFY(surface.drawing() == expected);
        surface.clear();
        QVERIFY(surface.drawing().empty());
    }

    void drawnShapesArePaintedBeneathTheFrame()
    {
        // A red box drawn through the surface shows in the window's pixels at its twips.
        WindowFixture f;
        f.create();
        const_cast<ChartSurface &>(f.form->surface()).setFillStyle(FillStyle::Solid);
        const_cast<ChartSurface &>(f.form->surface()).setFillColor({255, 0, 0});
        const_cast<ChartSurface &>(f.form->surface())
            .drawBox({6000, 1500}, {7500, 3000}, {255, 0, 0});
        const QImage image = f.form->grab().toImage();
        QCOMPARE(image.pixelColor(450, 150), QColor(255, 0, 0)); // (6750, 2250) twips
        // The chart frame's bottom edge (y 4920 twips = 328 px) is drawn, 3 px wide.
        QCOMPARE(image.pixelColor(500, 328).lightness() < 64, true);
    }
};

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
