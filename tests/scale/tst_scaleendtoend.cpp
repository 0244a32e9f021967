#include "pseudoterminal.h"
#include "windowfixture.h"

#include "scale/scaleframe.h"
#include "scale/serialportline.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <thread>

using namespace std::chrono_literals;

namespace {

// Runs the event loop without the sleeps of QTest::qWait, so that bytes written
// meanwhile reach the line as they would from a cable.
void runEventLoop(std::chrono::milliseconds period)
{
    QEventLoop loop;
    QTimer::singleShot(period, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QByteArray weighing(int weightCount)
{
    return encodeFrame(528, weightCount); // 2095 mm
}

} // namespace

// The window with its serial line on a real pseudo-terminal; the test is the scale.
class TestScaleEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void framesShowUpInTheWindow()
    {
        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        QVERIFY(line.isOpen());

        scale.write(weighing(200));
        QTRY_COMPARE(f.field("Text2")->text(), QStringLiteral("2095"));
        QCOMPARE(f.field("Text1")->text(), QStringLiteral("-1,77635683940025E-15"));
        QCOMPARE(f.field("Text10")->text(), QStringLiteral("6,02409638554217"));

        scale.write(encodeFrame(0, 2500));
        QTRY_COMPARE(f.field("Text1")->text(), QStringLiteral("69,2771084337349"));
        QCOMPARE(f.field("Text2")->text(), QStringLiteral("1103"));
        QCOMPARE(f.messages.shown, QStringList());
    }

    void bytesWaitingAtStartAreDiscarded()
    {
        PseudoTerminal scale;
        scale.write(weighing(1000));
        SerialPortLine line(scale.path());
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        runEventLoop(50ms);
        QCOMPARE(f.field("Text1")->text(), QStringLiteral("99999"));

        scale.write(weighing(200));
        QTRY_COMPARE(f.field("Text10")->text(), QStringLiteral("6,02409638554217"));
    }

    void splitFrameIsDecodedOnceWhole_data()
    {
        QTest::addColumn<int>("pieces");
        QTest::newRow("2 + 2 bytes") << 2;
        QTest::newRow("byte by byte") << 4;
    }
    void splitFrameIsDecodedOnceWhole()
    {
        QFETCH(int, pieces);
        PseudoTerminal scale;
        SerialPortLine line(scale.path());
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        QSignalSpy weights(f.field("Text1"), &QLineEdit::textChanged);

        const QByteArray frame = weighing(200);
        std::vector<QByteArray> split;
        for (int i = 0; i < 4; i += 4 / pieces)
            split.push_back(frame.mid(i, 4 / pieces));
        std::thread writer([&] { scale.writePaced(split, 1ms); });
        runEventLoop(100ms);
        writer.join();

        QCOMPARE(weights.size(), 1);
        QCOMPARE(f.field("Text1")->text(), QStringLiteral("-1,77635683940025E-15"));
        QCOMPARE(f.field("Text2")->text(), QStringLiteral("2095"));
    }

    // The scale was switched on before the program: it is joined in the middle of a
    // stream at the line's full rate while nobody stands on it.
    void simulatedScaleAtFullRateShowsTheRightReading()
    {
        QProcess scale;
        scale.start(QStringLiteral(SCALE_SIMULATOR),
                    {QStringLiteral("--rate"), QStringLiteral("240"), QStringLiteral("--paced"),
                     QStringLiteral("--empty"), QStringLiteral("480"), QStringLiteral("--count"),
                     QStringLiteral("960"), QStringLiteral("--weight"), QStringLiteral("72.5"),
                     QStringLiteral("--height"), QStringLiteral("1750"), QStringLiteral("--noise"),
                     QStringLiteral("0")});
        QVERIFY(scale.waitForReadyRead(5000));
        const QString device = QString::fromLocal8Bit(scale.readLine()).trimmed();
        std::this_thread::sleep_for(200ms);

        SerialPortLine line(device);
        WindowFixture f;
        f.services.serial = &line;
        f.create();
        QSet<QString> heights;
        connect(f.field("Text2"), &QLineEdit::textChanged,
                [&](const QString &text) { heights << text; });
        QSignalSpy finished(&scale, &QProcess::finished);
        QTRY_COMPARE_WITH_TIMEOUT(f.field("Text2")->text(), QStringLiteral("1750"), 10000);
        QCOMPARE(scale.state(), QProcess::Running); // decoded while the stream runs
        QVERIFY(finished.wait(15000));

        QCOMPARE(f.field("Text10")->text(), QStringLiteral("4,48795180722892")); // 149 counts
        QCOMPARE(f.field("Text1")->text(), QStringLiteral("72,5"));
        QCOMPARE(f.field("Text2")->text(), QStringLiteral("1750"));
        QCOMPARE(heights, (QSet<QString>{QStringLiteral("2126"), QStringLiteral("1750")}));
    }

    void lineComesBackAfterTheOtherSideWentAway()
    {
        QTemporaryDir links;
        const QString device = links.filePath(QStringLiteral("waage"));
        auto scale = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(scale->path(), device));
        SerialPortLine line(device);
        WindowFixture f;
        f.services.serial = &line;
        f.create();

        scale->write(weighing(200));
        QTRY_COMPARE(f.field("Text10")->text(), QStringLiteral("6,02409638554217"));

        // Unplugged: the device and its link go away (the freed pty number may be
        // reused by anyone meanwhile).
        scale->close();
        QVERIFY(QFile::remove(device));
        QTRY_COMPARE(f.messages.shown.size(), 1);
        QVERIFY2(f.messages.shown.constFirst().contains(device),
                 qPrintable(f.messages.shown.constFirst()));
        QTest::qWait(300);
        QCOMPARE(f.messages.shown.size(), 1);

        scale = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(scale->path(), device));
        QTRY_VERIFY_WITH_TIMEOUT(line.isOpen(), SerialPortLine::reopenIntervalMs + 1000);

        scale->write(weighing(2500));
        QTRY_COMPARE(f.field("Text1")->text(), QStringLiteral("69,2771084337349"));
        QCOMPARE(f.field("Text10")->text(), QStringLiteral("6,02409638554217"));
        QCOMPARE(f.messages.shown.size(), 1);
    }
};

QTEST_MAIN(TestScaleEndToEnd)
#include "tst_scaleendtoend.moc"
