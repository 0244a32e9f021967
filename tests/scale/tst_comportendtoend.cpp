#include "filebytes.h"
#include "windowfixture.h"

#include "records/defaultratings.h"
#include "scale/serialportline.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

// The Windows build on a real line: COM5 and COM6 are the two ends of a null-modem
// cable (two pseudo-terminals joined on the Linux side). The window listens on COM5,
// as the program does with --port COM5; the scale simulator sends on COM6.
class TestComPortEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void takeOverStoresWhatCameOverTheLine()
    {
        SerialPortLine line(QStringLiteral("COM5"));
        WindowFixture f;
        f.services.serial = &line;
        QCOMPARE(installDefaultRatingFiles(f.dir.path()), QStringList());
        f.create();
        QVERIFY(line.isOpen());

        // An empty scale first (it becomes the zero reference), then 75 kg at 1750 mm.
        QProcess scale;
        scale.start(QStringLiteral(TESSARINE_SCALE_SIM),
                    {QStringLiteral("--device"), QStringLiteral("COM6"), QStringLiteral("--tare"),
                     QStringLiteral("0"), QStringLiteral("--weight"), QStringLiteral("75"),
                     QStringLiteral("--height"), QStringLiteral("1750"), QStringLiteral("--noise"),
                     QStringLiteral("0"), QStringLiteral("--rate"), QStringLiteral("20"),
                     QStringLiteral("--empty"), QStringLiteral("10"), QStringLiteral("--count"),
                     QStringLiteral("400")});
        QVERIFY2(scale.waitForStarted(), qPrintable(scale.errorString()));
        const auto stopScale = qScopeGuard([&scale] {
            scale.kill();
            scale.waitForFinished();
        });
        // Weight and height of one reading, once the person stands on the scale.
        QTRY_VERIFY_WITH_TIMEOUT(f.field("Text1")->text() == QLatin1String("75") &&
                                     f.field("Text2")->text() == QLatin1String("1750"),
                                 20000);
        QCOMPARE(f.field("Text10")->text(), QStringLiteral("0"));

        f.field("text")->setText(QStringLiteral("Jürgen"));
        f.field("Text7")->setText(QStringLiteral("Müller"));
        f.field("Text5")->setText(QStringLiteral("41"));
        f.button("Command2")->click();

        QCOMPARE(f.messages.shown, QStringList());
        QCOMPARE(readBytes(f.filePath(QStringLiteral("Jürgen Müller.txt"))),
                 QByteArray("J\xFCrgen M\xFCller  m\xE4nnlich 41Jahre\r\n"
                            "\r\n"
                            "  06.12.2026    75kg    1750mm     BMI: 24\r\n"));
        QVERIFY(!f.listItems().isEmpty());
    }
};

QTEST_MAIN(TestComPortEndToEnd)
#include "tst_comportendtoend.moc"
