#include "filebytes.h"
#include "pseudoterminal.h"
#include "smallfilesystem.h"
#include "windowfixture.h"

#include "files/atomicfile.h"
#include "gdt/gdtexchange.h"
#include "orders/personindex.h"
#include "records/rating.h"
#include "scale/scaleframe.h"
#include "scale/serialportline.h"

#include <QDir>
#include <QSignalSpy>

namespace {

const QString title = QStringLiteral("Tessarine");
const QString waitingTitle = QStringLiteral("Tessarine – GDT-Antwort wartet");

// The real window with the link on an exchange directory of its own, a small file
// system where it can be mounted, so that one case can fill it up.
struct GdtWindow : WindowFixture
{
    GdtWindow()
    {
        services.gdt = &exchange;
        for (int c = 0; c <= 5; ++c)
            writeBytes(ratingFilePath(dir.path(), c), "Bewertung \xFC\r\n\r\nZeile zwei\r\n");
    }
    QString gdtPath(const char *name) const { return QDir(disk.path()).filePath(name); }
    // The practice system puts a request in place.
    void request(const QByteArray &bytes) { writeBytes(gdtPath("BMI1EDV1.GDT"), bytes); }

    SmallFileSystem disk;
    GdtExchange exchange{disk.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1")};
};

GdtRequest anna()
{
    GdtRequest r;
    r.patientNumber = QStringLiteral("17");
    r.firstName = QStringLiteral("Anna");
    r.lastName = QStringLiteral("Beispiel");
    r.birthDate = QDate(1990, 12, 6);
    r.sex = GdtSex::Female;
    return r;
}

// Each field of a GDT file as "<ID> <content>", in file order.
QStringList fieldsOf(const QByteArray &bytes)
{
    const auto record = readGdtRecord(bytes);
    if (const auto *error = std::get_if<GdtError>(&record))
        qFatal("no record: %s", qPrintable(gdtErrorText(*error)));
    if (const auto line = wrongLineLength(bytes))
        qFatal("line %d: wrong length", *line);
    QStringList fields;
    for (const GdtField &field : std::get<GdtRecord>(record).fields)
        fields << QString::fromLatin1(field.id) + QLatin1Char(' ') + field.content;
    return fields;
}

} // namespace

class TestGdtWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // A request written as a practice system writes it (code page 437, umlauts), a
    // take-over from a scale on a pseudo-terminal, and the answer read back.
    void requestToAnswerThroughTheWindowAndTheScale()
    {
        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        GdtWindow f;
        f.services.serial = &line;
        f.create();
        f.find<QRadioButton>("Option2")->setChecked(true); // the previous person's
        f.request("01380006302\r\n0138315BMI1\r\n0138316EDV1\r\n01092062\r\n"
                  "0138310A-17\r\n01330004711\r\n0143101M\x81\xE1ig\r\n0153102J\x81rgen\r\n"
                  "017310324121960\r\n01031101\r\n0148402BMI01\r\n");
        QTRY_COMPARE(f.field("Text7")->text(), QStringLiteral("Müßig"));
        QCOMPARE(f.field("text")->text(), QStringLiteral("Jürgen"));
        QCOMPARE(f.field("Text5")->text(), QStringLiteral("65"));
        QVERIFY(f.find<QRadioButton>("Option1")->isChecked());
        QVERIFY(QDir(f.disk.path()).isEmpty()); // the request is removed once read

        scale.write(encodeReading(1750, 0)); // the zero reference
        QTRY_COMPARE(f.field("Text10")->text(), QStringLiteral("0"));
        scale.write(encodeReading(1750, weightCountOf(72.5)));
        QTRY_COMPARE(f.field("Text1")->text(), QStringLiteral("72,5"));
        QCOMPARE(f.field("Text2")->text(), QStringLiteral("1750"));
        f.button("Command2")->click();

        QCOMPARE(f.messages.shown, QStringList());
        QVERIFY(fileExists(f.filePath(QStringLiteral("Jürgen Müßig.txt"))));
        const QByteArray answer = readBytes(f.gdtPath("EDV1BMI1.GDT"));
        const QString length = QStringLiteral("%1").arg(answer.size(), 5, 10, QChar('0'));
        const QStringList expected =
            QStringLiteral("8000 6310|8100 %1|8315 EDV1|8316 BMI1|9206 2|9218 02.10|8402 BMI01|"
                           "8310 A-17|3000 4711|3101 Müßig|3102 Jürgen|3103 24121960|3110 1|"
                           "6200 06122026|6201 090507|3622 175.0|3623 72.5|8410 GEWICHT|"
                           "8411 Gewicht|8420 72.5|8421 kg|8410 GROESSE|8411 Größe|8420 175.0|"
                           "8421 cm|8410 BMI|8411 Body-Mass-Index|8420 23.7|8421 kg/m2|"
                           "6220 Bewertung ü|6220 Zeile zwei")
                .arg(length)
                .split(QLatin1Char('|'));
        QCOMPARE(fieldsOf(answer), expected);
    }

    void requestFillsTheWindow_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QStringList>("fields"); // first, last, age, sex afterwards
        QTest::addColumn<QString>("message");    // %1: the request's path
        QTest::addColumn<QString>("detail");     // its start
        const auto row = [](const char *name, const QByteArray &request, const char *fields,
                            const char *message = "", const char *detail = "") {
            QTest::newRow(name) << request << QString::fromUtf8(fields).split(QLatin1Char('|'))
                                << QString::fromUtf8(message) << QString::fromUtf8(detail);
        };
        auto with = [](auto change) {
            GdtRequest r = anna();
            change(r);
            return writeGdtRequest(r);
        };
        const char *before = "||50|w|23|1";
        const char *refused = "Die GDT-Anfrage „%1“ wird nicht übernommen.";
        row("woman, birthday today", writeGdtRequest(anna()), "Anna|Beispiel|36|w||0");
        row("no birth date: age emptied", with([](GdtRequest &r) { r.birthDate.reset(); }),
            "Anna|Beispiel||w||0",
            "Die GDT-Anfrage „%1“ nennt kein Geburtsdatum. Bitte das Alter eingeben.");
        row("unreadable birth date", with([](GdtRequest &r) {
                r.birthDate.reset();
                r.birthDateUnread = QStringLiteral("1990-12-06");
            }),
            "Anna|Beispiel||w||0",
            "Die GDT-Anfrage „%1“ nennt ein Geburtsdatum, das nicht lesbar ist („1990-12-06“). "
            "Bitte das Alter eingeben.");
        row("6311: the chart", with([](GdtRequest &r) { r.recordType = "6311"; }),
            "Anna|Beispiel|50|w||0", "Kein Datensatz vorhanden ! !");
        row("born after today", with([](GdtRequest &r) { r.birthDate = QDate(2026, 12, 7); }),
            "Anna|Beispiel||w||0",
            "Die GDT-Anfrage „%1“ nennt ein Geburtsdatum nach dem heutigen Tag (07.12.2026). "
            "Bitte das Alter eingeben.");
        row("sex not given: options stay", with([](GdtRequest &r) {
                r.sex = GdtSex::Unknown;
                r.firstName = QStringLiteral("Kim");
            }),
            "Kim|Beispiel|36|w||0",
            "Die GDT-Anfrage „%1“ nennt kein Geschlecht. Bitte männlich oder weiblich wählen.");
        row("unsafe name", with([](GdtRequest &r) { r.lastName = QStringLiteral("Bei/spiel"); }),
            before, refused, "Der Name „Anna Bei/spiel“");
        row("name outside Windows-1252",
            with([](GdtRequest &r) { r.lastName = QStringLiteral("Σigma"); }), before, refused,
            "Der Name „Anna Σigma“ enthält ein Zeichen, das im Zeichensatz der Anfrage "
            "(Codepage 437) kein Buchstabe eines Namens sein kann. Schreibt die Praxissoftware "
            "einen anderen Zeichensatz, als sie in Feld 9206 angibt, legt die Einstellung "
            "gdt/charset ihn fest.");
        row("Windows device name", with([](GdtRequest &r) { r.lastName = "Con.txt"; }), before,
            refused, "Der Name „Anna Con.txt“ ist unter Windows ein Gerätename");
        row("bad byte in a name: moved aside", "01380006302\r\n0143101K\tm\r\n", before,
            "Die GDT-Anfrage „%1“ ist fehlerhaft und wird nicht übernommen. Sie liegt jetzt als "
            "„BMI1EDV1.GDT.fehlerhaft“ im GDT-Verzeichnis.",
            "Zeile 2: ");
    }
    void requestFillsTheWindow()
    {
        QFETCH(QByteArray, request);
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        GdtWindow f;
        f.create();
        f.field("Text5")->setText(QStringLiteral("50")); // no name: the window is free
        f.find<QRadioButton>("Option2")->setChecked(true);
        f.field("bmi")->setText(QStringLiteral("23"));
        f.list()->addItem(QStringLiteral("the previous person's assessment"));
        f.request(request);
        QTRY_VERIFY(!QFile::exists(f.gdtPath("BMI1EDV1.GDT")));

        const QStringList shown{
            f.field("text")->text(),  f.field("Text7")->text(),
            f.field("Text5")->text(), f.find<QRadioButton>("Option1")->isChecked() ? "m" : "w",
            f.field("bmi")->text(),   QString::number(f.list()->count())};
        QCOMPARE(shown, fields);
        QCOMPARE(f.messages.shown.join('|'),
                 message.isEmpty() ? message : message.arg(f.gdtPath("BMI1EDV1.GDT")));
        QCOMPARE(f.messages.details.join('|').left(detail.size()), detail);
    }

    // Typed input is never replaced by a request: requests wait, oldest first, until
    // called with F5 or taken once the window is free; Shift+F5 dismisses one.
    void requestsWaitWhileTheWindowHoldsAPerson()
    {
        GdtWindow f;
        f.create();
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTest::keyClicks(f.field("text"), QStringLiteral("Walter"));
        QTest::keyClicks(f.field("Text7"), QStringLiteral("Laufkunde"));
        GdtRequest bert = anna();
        bert.firstName = QStringLiteral("Bert");
        bert.patientNumber = QStringLiteral("18");
        bert.recordType = "6311"; // his chart: it waits as a take-over's request does
        writeBytes(f.gdtPath("BMI1EDV1.001"), writeGdtRequest(anna()));
        QTest::qWait(20);
        writeBytes(f.gdtPath("BMI1EDV1.002"), writeGdtRequest(bert));
        QTRY_VERIFY(QDir(f.disk.path()).isEmpty());
        QCOMPARE(f.worklist.size(), 2);
        QCOMPARE(f.field("text")->text(), QStringLiteral("Walter"));
        QCOMPARE(f.form->windowTitle(),
                 QStringLiteral("Tessarine – Anna Beispiel und 1 weitere warten (GDT)"));

        QTest::keyClick(f.form.get(), Qt::Key_F5); // No keeps Walter
        QCOMPARE(f.messages.shown.last(), QStringLiteral("Anna Beispiel aufrufen? Die Eingaben "
                                                         "für Walter Laufkunde werden verworfen."));
        QCOMPARE(f.field("text")->text(), QStringLiteral("Walter"));
        f.messages.answerOk = true;
        QTest::keyClick(f.form.get(), Qt::Key_F5);
        QCOMPARE(f.field("text")->text(), QStringLiteral("Anna"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Tessarine – Bert Beispiel wartet (GDT)"));

        QTest::keyClick(f.form.get(), Qt::Key_F5, Qt::ShiftModifier); // Anna dismissed
        QVERIFY(
            f.messages.shown.join('|').contains(QStringLiteral("BMI1EDV1.001“ für Anna Beispiel")));
        QCOMPARE(f.field("text")->text(), QStringLiteral("Bert")); // the window was free
        QCOMPARE(f.worklist.size(), 0); // his chart was drawn (he has none yet): done
        QCOMPARE(f.form->windowTitle(), title);
    }

    // A history file named like the request's person but holding another patient's
    // measurements takes the measurement only when the operator says so.
    void asksBeforeStoringIntoAnotherPatientsFile()
    {
        GdtWindow f;
        f.create();
        PersonIndex(f.dir.path())
            .record(QStringLiteral("Anna Beispiel.txt"), QStringLiteral("0815"));
        f.request(writeGdtRequest(anna()));
        QTRY_COMPARE(f.field("text")->text(), QStringLiteral("Anna"));
        f.field("Text1")->setText(QStringLiteral("72,5"));
        f.field("Text2")->setText(QStringLiteral("1750"));
        f.button("Command2")->click();
        QCOMPARE(f.messages.shown.last(),
                 QStringLiteral("Die Datei „Anna Beispiel.txt“ enthält Messungen zur "
                                "Patientennummer 0815; die Anfrage gilt 17. Trotzdem dort "
                                "speichern?"));
        QVERIFY(!QFile::exists(f.filePath(QStringLiteral("Anna Beispiel.txt"))));
        QCOMPARE(f.outbox.waiting(), 0);
        f.messages.answerOk = true;
        f.button("Command2")->click();
        QVERIFY(QFile::exists(f.filePath(QStringLiteral("Anna Beispiel.txt"))));
        QCOMPARE(f.outbox.waiting() + QFile::exists(f.gdtPath("EDV1BMI1.GDT")), 1);
        QCOMPARE(PersonIndex(f.dir.path()).patientOf(QStringLiteral("Anna Beispiel.txt")),
                 QStringLiteral("17"));
    }

    // What is not yet delivered is named before the program ends.
    void exitNamesResultsNotYetDelivered()
    {
        GdtWindow f;
        f.create();
        writeBytes(f.gdtPath("EDV1BMI1.GDT"), "unread");
        const std::pair<const char *, const char *> asked[] = {
            {"gdt", "1 Ergebnis ist noch nicht an die Praxissoftware"},
            {"gdt", "2 Ergebnisse sind noch nicht an die Praxissoftware"},
            {"hl7", "3 Ergebnisse sind noch nicht"}}; // to both: no one named
        for (const auto &[destination, question] : asked) {
            f.outbox.enqueue(destination, "answer", QDateTime::currentDateTime());
            f.button("Command4")->click();
            QCOMPARE(f.messages.shown.last(),
                     QString::fromUtf8(question) + " übergeben.\nSoftware beenden?");
        }
        QCOMPARE(f.shutdown.requests, 0);
    }

    void answersOneStoredTakeOverOfTheRequestsPerson_data()
    {
        QTest::addColumn<QString>("last"); // typed for the first take-over
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("obstacle"); // in the way of the first take-over
        QTest::addColumn<bool>("answered");    // by the first take-over, else the second
        const auto row = [](const char *name, const char *last, const char *weight,
                            const char *obstacle, bool answered) {
            QTest::newRow(name) << QString::fromUtf8(last) << QString::fromUtf8(weight)
                                << QString::fromUtf8(obstacle) << answered;
        };
        row("the request's person", "Beispiel", "72,5", "", true);
        row("another person's name", "Anders", "72,5", "", false);
        row("refused take-over", "Beispiel", "99999", "", false);
        row("earlier answer unread", "Beispiel", "72,5", "unread", true);
        row("full disk", "Beispiel", "72,5", "full", true);
        row("rating file missing", "Beispiel", "72,5", "no rating", true);
        row("outbox cannot be written", "Beispiel", "72,5", "no outbox", true);
    }
    void answersOneStoredTakeOverOfTheRequestsPerson()
    {
        QFETCH(QString, last);
        QFETCH(QString, weight);
        QFETCH(QString, obstacle);
        QFETCH(bool, answered);
        GdtWindow f;
        if (obstacle == QLatin1String("full") && !f.disk.mounted())
            QSKIP(f.disk.whyNot());
        f.create();
        QSignalSpy written(&f.pump, &OutboxPump::delivered);
        f.request(writeGdtRequest(anna()));
        QTRY_COMPARE(f.field("text")->text(), QStringLiteral("Anna"));
        const QString answer = f.gdtPath("EDV1BMI1.GDT");
        if (obstacle == QLatin1String("unread"))
            writeBytes(answer, "alt");
        if (obstacle == QLatin1String("full"))
            f.disk.fill();
        if (obstacle == QLatin1String("no rating")) // the record is stored all the same
            QFile::remove(ratingFilePath(f.dir.path(), 2));
        const QString outboxPath = f.dir.filePath(QStringLiteral("state/outbox.json"));
        if (obstacle == QLatin1String("no outbox"))
            QVERIFY(QDir().mkpath(outboxPath));
        const bool held = obstacle == QLatin1String("unread") ||
                          obstacle == QLatin1String("full") || obstacle == u"no outbox";

        auto takeOver = [&f](const QString &lastName, const QString &kg) {
            f.field("Text7")->setText(lastName);
            f.field("Text1")->setText(kg);
            f.field("Text2")->setText(QStringLiteral("1750"));
            f.button("Command2")->click();
        };
        takeOver(last, weight);
        QCOMPARE(f.form->windowTitle(), held && obstacle != u"no outbox" ? waitingTitle : title);
        QCOMPARE(written.count(), answered && !held ? 1 : 0);
        if (obstacle == QLatin1String("full")) {
            QCOMPARE(f.messages.shown.size(), 1);
            QVERIFY2(f.messages.shown.at(0).contains(answer) &&
                         f.messages.shown.at(0).endsWith(systemCause(ENOSPC)),
                     qPrintable(f.messages.shown.at(0)));
            f.disk.freeSpace();
        }
        if (obstacle == QLatin1String("no outbox")) { // stored once, handed over on the retry
            QVERIFY(f.messages.shown.last().contains(QStringLiteral("ohne sie noch einmal")));
            QVERIFY(QDir().rmdir(outboxPath));
            takeOver(last, weight);
            QCOMPARE(readBytes(f.filePath(QStringLiteral("Anna Beispiel.txt"))).count("BMI"), 1);
        }
        if (obstacle == QLatin1String("unread")) {
            QCOMPARE(readBytes(answer), QByteArray("alt"));
            QFile::remove(answer); // the practice system reads it
        }
        QTRY_COMPARE(written.count(), answered ? 1 : 0);
        QCOMPARE(f.form->windowTitle(), title);
        QFile::remove(answer);

        // With the request's names: the answer if none went out yet, else nothing.
        takeOver(QStringLiteral("Beispiel"), QStringLiteral("72,5"));
        QCOMPARE(written.count(), 1);
        QCOMPARE(QFile::exists(answer), !answered);
    }
};

QTEST_MAIN(TestGdtWindow)
#include "tst_gdtwindow.moc"
