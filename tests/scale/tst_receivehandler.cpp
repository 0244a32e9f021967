#include "bytes.h"
#include "fedline.h"
#include "windowfixture.h"

#include "scale/scaleframe.h"

#include <QTest>

namespace {

// A frame with the Gray-coded height count 528 (2095 mm) and the given weight count.
QByteArray weighing(int weightCount)
{
    return encodeFrame(528, weightCount);
}

} // namespace

class TestReceiveHandler : public QObject
{
    Q_OBJECT

private:
    struct Station
    {
        Station()
        {
            f.services.serial = &line;
            f.create();
        }
        void receive(const QByteArray &data)
        {
            line.feed(data);
            f.form->MSComm1_OnComm();
        }
        QString field(const char *name) const { return f.field(name)->text(); }
        // Another operation empties weight and height: a listing without a history file.
        void emptyFieldsByListing()
        {
            f.field("text")->setText(QStringLiteral("Max"));
            f.field("Text7")->setText(QStringLiteral("Muster"));
            f.button("Command5")->click();
            QCOMPARE(f.field("Text1")->text(), QString());
        }

        FedLine line;
        WindowFixture f;
    };

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void firstFrameTakesTheZeroReference_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QString>("zero");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("height");

        QTest::newRow("16 2 200 0: residue of the zero reference")
            << bytes({16, 2, 200, 0}) << QStringLiteral("6,02409638554217")
            << QStringLiteral("-1,77635683940025E-15") << QStringLiteral("2095");
        QTest::newRow("weight 1000: positive residue")
            << bytes({255, 3, 232, 3}) << QStringLiteral("30,1204819277108")
            << QStringLiteral("4,2632564145606E-14") << QStringLiteral("1785");
        QTest::newRow("weight 2500: text reproduces the reading")
            << bytes({0, 0, 196, 9}) << QStringLiteral("75,3012048192771") << QStringLiteral("0")
            << QStringLiteral("1103");
        QTest::newRow("height 512") << bytes({0, 2, 0, 0}) << QStringLiteral("0")
                                    << QStringLiteral("0") << QStringLiteral("2126");
        QTest::newRow("height 768") << bytes({0, 3, 0, 0}) << QStringLiteral("0")
                                    << QStringLiteral("0") << QStringLiteral("1615");
        QTest::newRow("five bytes: the middle one is ignored")
            << bytes({16, 99, 2, 200, 0}) << QStringLiteral("6,02409638554217")
            << QStringLiteral("-1,77635683940025E-15") << QStringLiteral("2095");
    }
    void firstFrameTakesTheZeroReference()
    {
        QFETCH(QByteArray, received);
        QFETCH(QString, zero);
        QFETCH(QString, weight);
        QFETCH(QString, height);

        Station station;
        QCOMPARE(station.field("Text1"), QStringLiteral("99999"));
        station.receive(received);
        QCOMPARE(station.field("Text10"), zero);
        QCOMPARE(station.field("Text1"), weight);
        QCOMPARE(station.field("Text2"), height);
        QCOMPARE(station.line.bytesWaiting(), 0);
        QCOMPARE(station.f.messages.shown, QStringList());
    }

    void laterFramesMeasureFromTheZeroReference_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("later");
        QTest::addColumn<QString>("zero");
        QTest::addColumn<QString>("weight");

        QTest::newRow("200 then 2500") << 200 << 2500 << QStringLiteral("6,02409638554217")
                                       << QStringLiteral("69,2771084337349");
        QTest::newRow("load below the first frame's")
            << 200 << 0 << QStringLiteral("6,02409638554217")
            << QStringLiteral("-6,02409638554217");
        QTest::newRow("2500 then 10 kg more")
            << 2500 << 2832 << QStringLiteral("75,3012048192771") << QStringLiteral("10");
        QTest::newRow("2500 then 10 counts less")
            << 2500 << 2490 << QStringLiteral("75,3012048192771")
            << QStringLiteral("-0,301204819277103");
    }
    void laterFramesMeasureFromTheZeroReference()
    {
        QFETCH(int, first);
        QFETCH(int, later);
        QFETCH(QString, zero);
        QFETCH(QString, weight);

        Station station;
        station.receive(weighing(first));
        station.receive(weighing(later));
        QCOMPARE(station.field("Text10"), zero);
        QCOMPARE(station.field("Text1"), weight);
        QCOMPARE(station.field("Text2"), QStringLiteral("2095"));
    }

    void nothingWaitingChangesNothing_data()
    {
        QTest::addColumn<bool>("afterAFrame");
        QTest::newRow("before the first frame") << false;
        QTest::newRow("after a frame") << true;
    }
    void nothingWaitingChangesNothing()
    {
        QFETCH(bool, afterAFrame);
        Station station;
        if (afterAFrame)
            station.receive(weighing(200));
        const QStringList before = {station.field("Text1"), station.field("Text2"),
                                    station.field("Text10")};
        const int inputs = station.line.inputs;

        station.f.form->MSComm1_OnComm();
        QCOMPARE(station.line.inputs, inputs);
        QCOMPARE(
            (QStringList{station.field("Text1"), station.field("Text2"), station.field("Text10")}),
            before);
    }

    void emptiedWeightTakesNoNewZeroReference()
    {
        Station station;
        station.receive(weighing(200));
        station.emptyFieldsByListing();
        QCOMPARE(station.field("Text2"), QString());

        station.receive(weighing(2500));
        QCOMPARE(station.field("Text10"), QStringLiteral("6,02409638554217"));
        QCOMPARE(station.field("Text1"), QStringLiteral("69,2771084337349"));
        QCOMPARE(station.field("Text2"), QStringLiteral("2095"));
    }

    // Emptied before any frame came in: the first frame still sets the zero reference
    // instead of failing on an empty number, and later frames measure from it.
    void frameWithoutZeroReferenceTakesIt()
    {
        Station station;
        station.emptyFieldsByListing();
        station.f.messages.shown.clear();

        station.receive(weighing(200));
        QCOMPARE(station.f.messages.shown, QStringList());
        QCOMPARE(station.field("Text10"), QStringLiteral("6,02409638554217"));
        QCOMPARE(station.field("Text1"), QStringLiteral("-1,77635683940025E-15"));

        station.receive(weighing(2500));
        QCOMPARE(station.field("Text10"), QStringLiteral("6,02409638554217"));
        QCOMPARE(station.field("Text1"), QStringLiteral("69,2771084337349"));
    }

    void waitingFrameRunsTheHandler()
    {
        Station station;
        station.line.feed(weighing(200));
        QTRY_COMPARE(station.field("Text2"), QStringLiteral("2095"));
        QCOMPARE(station.line.inputs, 1);
    }

    void windowWithoutScaleIgnoresTheEvent()
    {
        WindowFixture f;
        f.create();
        f.form->MSComm1_OnComm();
        QCOMPARE(f.field("Text1")->text(), QStringLiteral("99999"));
        QCOMPARE(f.field("Text10")->text(), QString());
    }
};

QTEST_MAIN(TestReceiveHandler)
#include "tst_receivehandler.moc"
