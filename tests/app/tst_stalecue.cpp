#include "fedline.h"
#include "windowfixture.h"

#include "records/rating.h"
#include "records/takeover.h"
#include "scale/scaleframe.h"

#include <QFile>
#include <QSignalSpy>

// A reading the scale stopped sending must not pass for a live one: after two seconds
// without a frame, weight and height are greyed until the next frame.
class tst_StaleCue : public QObject
{
    Q_OBJECT

    static bool greyed(const QLineEdit *field)
    {
        return field->property("stale").toBool() &&
               field->palette().color(QPalette::Text) ==
                   QPalette().color(QPalette::Disabled, QPalette::Text);
    }

    static void frame(FedLine &line, int weightCount)
    {
        QSignalSpy waiting(&line, &SerialLine::dataWaiting);
        line.feed(encodeFrame(528, weightCount));
        QVERIFY(waiting.wait(1000));
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void greysAfterTwoSecondsWithoutFrameAndRecovers()
    {
        FedLine line;
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        auto *weight = f.field("Text1");
        auto *height = f.field("Text2");

        // Before any frame there is no reading to call old.
        f.clock.ms = 60000;
        QTest::qWait(400);
        QVERIFY(!greyed(weight));

        frame(line, 1000);
        const QString weightText = weight->text();
        QCOMPARE(height->text(), QStringLiteral("2095"));
        f.clock.ms += 1999;
        QTest::qWait(400);
        QVERIFY(!greyed(weight));
        QVERIFY(!greyed(height));

        f.clock.ms += 1;
        QTRY_VERIFY_WITH_TIMEOUT(greyed(weight) && greyed(height), 2000);
        QCOMPARE(weight->text(), weightText); // the texts stay as they were
        QCOMPARE(height->text(), QStringLiteral("2095"));

        frame(line, 1200);
        QVERIFY(!greyed(weight)); // at once, not at the next check
        QVERIFY(!greyed(height));
    }

    void emptiedFieldsAfterChartAreNotStaleReadings()
    {
        // Another handler empties the fields; the cue only greys, it never refills.
        FedLine line;
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        frame(line, 1000);
        f.field("Text1")->clear();
        f.clock.ms += 5000;
        QTRY_VERIFY_WITH_TIMEOUT(greyed(f.field("Text1")), 2000);
        QVERIFY(f.field("Text1")->text().isEmpty());
    }

    void lostLineRefusesTheLastReadingUntilTheNextFrame()
    {
        FedLine line;
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        for (int c = 0; c <= 5; ++c) {
            QFile rating(ratingFilePath(f.dir.path(), c));
            QVERIFY(rating.open(QIODevice::WriteOnly));
        }
        f.field("text")->setText(QStringLiteral("Anna"));
        f.field("Text7")->setText(QStringLiteral("Beispiel"));
        f.field("Text5")->setText(QStringLiteral("34"));
        frame(line, 0);       // the zero reference
        frame(line, 33 * 72); // a person on the scale
        Q_EMIT line.fault(QStringLiteral("Die Waage ist nicht mehr angeschlossen."));
        const QString person = f.filePath(QStringLiteral("Anna Beispiel.txt"));

        f.button("Command2")->click(); // the fields still show the last reading
        QCOMPARE(f.messages.shown.last(), takeOverRefused);
        QCOMPARE(f.messages.details.last(),
                 QStringLiteral("Die Verbindung zur Waage ist unterbrochen."));
        QVERIFY(!QFile::exists(person));

        frame(line, 33 * 72); // the line is back
        const qsizetype shown = f.messages.shown.size();
        f.button("Command2")->click();
        QCOMPARE(f.messages.shown.size(), shown);
        QVERIFY(QFile::exists(person));
    }
};

QTEST_MAIN(tst_StaleCue)
#include "tst_stalecue.moc"
