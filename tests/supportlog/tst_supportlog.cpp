#include "app/loggedmessageboxes.h"
#include "common/failure.h"
#include "common/logcategories.h"
#include "fedline.h"
#include "filebytes.h"
#include "files/systemerror.h"
#include "gdt/gdtexchange.h"
#include "recordingprinter.h"
#include "scale/serialportline.h"
#include "settings/settingsmerge.h"
#include "supportlog/supportlog.h"
#include "windowfixture.h"

#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>

#include <cerrno>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using Event = std::function<void(WindowFixture &)>;
Q_DECLARE_METATYPE(Event)

namespace {

GdtExchange *exchange(WindowFixture &f, const QByteArray &request = {})
{
    if (!request.isEmpty())
        writeBytes(f.filePath(QStringLiteral("BMI1EDV1.GDT")), request);
    auto *gdt = new GdtExchange(f.dir.path(), "BMI1", "EDV1", f.form.get());
    gdt->start(std::chrono::milliseconds(10), std::chrono::milliseconds(0));
    return gdt;
}

} // namespace

class TestSupportLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesALineAnEvent_data();
    void writesALineAnEvent();
    void rotatesAtOneMebibyte();
    void goesOnWithoutAnUnwritableLog_data();
    void goesOnWithoutAnUnwritableLog();
    void stationsSharingALogLoseNoLine();
};

void TestSupportLog::writesALineAnEvent_data()
{
    QTest::addColumn<Event>("event");
    QTest::addColumn<QString>("lines"); // after the time, each; %DIR%: the data directory
    QTest::newRow("message boxes, without names and dates but with files")
        << Event([](WindowFixture &f) {
               LoggedMessageBoxes(f.messages).inform("„/d/A B.txt“ fehlt", "„A B“, 01.02.1990");
               LoggedMessageBoxes(f.messages).confirm("Software beenden?");
           })
        << "info tessarine.app Meldung: „/d/A B.txt“ fehlt | „…“, …\n"
           "info tessarine.app Frage: Software beenden? – Antwort: Abbrechen";
    QTest::newRow("take-over refused")
        << Event([](WindowFixture &f) { f.button("Command2")->click(); })
        << "info tessarine.records Übernahme abgelehnt: Bitte den Vornamen eingeben.";
    QTest::newRow("take-over stored, report as PDF")
        << Event([](WindowFixture &f) {
               const QStringList values{"Anna", "Beispiel", "34", "72", "1750"};
               for (int i = 0; const char *name : {"text", "Text7", "Text5", "Text1", "Text2"})
                   f.field(name)->setText(values.at(i++));
               f.button("Command2")->click();
               f.button("Command3")->click();
           })
        << "info tessarine.records Übernahme gespeichert in „%DIR%/Anna Beispiel.txt“: 0 → %SIZE% "
           "Bytes\ninfo tessarine.report Bericht als PDF geschrieben: „%DIR%/Anna Beispiel.pdf“";
    QTest::newRow("port not opened")
        << Event([](WindowFixture &) {
               QVERIFY_THROWS_EXCEPTION(Failure, SerialPortLine(QStringLiteral("nowhere")).open());
           })
        << "warning tessarine.scale Die serielle Schnittstelle nowhere lässt sich nicht öffnen: "
           "Gerät nicht gefunden.";
    QTest::newRow("frames, cut frames, discarded bytes")
        << Event([](WindowFixture &) {
               FedLine line;
               QObject::connect(&line, &SerialLine::dataWaiting, [&line] { line.input(); });
               line.setCountsInterval(std::chrono::milliseconds(0));
               line.feed("\x10\x01\x02");
               line.discard();
               line.feed("\x10\x01\x02\x03\x04\x05");
               QTRY_COMPARE(line.inputs, 1);
           })
        << "info tessarine.scale Waage an Testleitung in 0 min: 1 Rahmen, 1 zugeschnitten, 3 Bytes "
           "verworfen";
    QTest::newRow("GDT request read") << Event([](WindowFixture &f) {
        GdtRequest request;
        request.firstName = request.lastName = request.patientNumber = QStringLiteral("Kim");
        exchange(f, writeGdtRequest(request));
        QTRY_VERIFY(!QFile::exists(f.filePath(QStringLiteral("BMI1EDV1.GDT"))));
    }) << "info tessarine.gdt GDT-Anfrage gelesen: „%DIR%/BMI1EDV1.GDT“";
    QTest::newRow("GDT request refused") << Event([](WindowFixture &f) {
        exchange(f, "01380006302\r\n01380006302\r\n");
        QTRY_VERIFY(!QFile::exists(f.filePath(QStringLiteral("BMI1EDV1.GDT"))));
    }) << "warning tessarine.gdt GDT-Anfrage abgelehnt: „%DIR%/BMI1EDV1.GDT“, Zeile 2";
    QTest::newRow("settings in effect")
        << Event([](WindowFixture &) { logSettingsInEffect(mergeSettings({})); })
        << "info tessarine.settings Einstellung gdt/stationId = „BMI1“ (Vorgabe)";
}

void TestSupportLog::writesALineAnEvent()
{
    QFETCH(Event, event);
    QFETCH(QString, lines);
    WindowFixture f;
    RecordingPrinterProvider printers;
    printers.noPrinterInstalled = true;
    f.services.printers = &printers;
    f.create();
    const QString path = f.filePath("log/tessarine.log");
    auto log = std::make_unique<SupportLog>(path);
    event(f);
    log.reset();
    const QString written = QString::fromUtf8(readBytes(path));
    lines.replace("%DIR%/", QDir::toNativeSeparators(f.dir.path() + '/'))
        .replace("%SIZE%", QString::number(QFileInfo(f.filePath("Anna Beispiel.txt")).size()));
    for (const QString &line : lines.split(QLatin1Char('\n'))) {
        const QRegularExpression timed(
            "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d " +
                QRegularExpression::escape(line) + '$',
            QRegularExpression::MultilineOption);
        QVERIFY2(timed.match(written).hasMatch(), qPrintable(written));
    }
}

void TestSupportLog::rotatesAtOneMebibyte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessarine.log"));
    LogFile log(path);
    for (int n = 0; n < 6 * LogFile::rotateAt / 10000; ++n)
        log.write(QString(9999, QLatin1Char('x'))); // 10000 bytes with the line end
    for (const QString &kept : {path + ".1", path + ".4"})
        QVERIFY(QFileInfo(kept).size() > LogFile::rotateAt - 10000 &&
                QFileInfo(kept).size() <= LogFile::rotateAt);
    QVERIFY(QFileInfo(path).size() > 0 && !QFileInfo::exists(path + ".5"));
    // Six rotations on, the log still takes lines.
    log.write(QStringLiteral("nach sechs"));
    QVERIFY(log.isWriting() && readBytes(path).endsWith("nach sechs\n"));
#ifdef Q_OS_LINUX
    QCOMPARE(QFile::permissions(path) & 0x0077, QFileDevice::Permissions());
#endif
}

// What lies at the log's path is refused, and stays as it was; nothing waits on a FIFO.
void TestSupportLog::goesOnWithoutAnUnwritableLog_data()
{
    QTest::addColumn<QString>("name");  // in the temporary folder
    QTest::addColumn<QString>("cause"); // in the one complaint; empty: any
    QTest::newRow("in a file") << "file/tessarine.log"
                               << (QDir::separator() == u'/' ? systemCause(ENOTDIR) : QString());
#ifdef Q_OS_UNIX
    const char *link = "es ist eine Verknüpfung, der nicht gefolgt wird";
    QTest::newRow("a folder") << "folder" << systemCause(EISDIR);
    QTest::newRow("a link to a file") << "link" << QString::fromUtf8(link);
    QTest::newRow("a dangling link") << "dangling" << QString::fromUtf8(link);
    QTest::newRow("a FIFO") << "fifo"
                            << "es ist keine gewöhnliche Datei";
#endif
#ifdef Q_OS_LINUX
    // The system's cause for the folder it does not create, not a missing file.
    const int notCreated = ::mkdir("/sys/tessarine-test", 0700) == 0 ? 0 : errno;
    QTest::newRow("in a folder not created")
        << "/sys/tessarine-test/t.log" << systemCause(notCreated);
#endif
}

void TestSupportLog::goesOnWithoutAnUnwritableLog()
{
    QFETCH(QString, name);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("file")), "not a folder");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
#ifdef Q_OS_UNIX
    QVERIFY(makeSymbolicLink(dir.filePath("file"), dir.filePath("link")) &&
            makeSymbolicLink(dir.filePath("none"), dir.filePath("dangling")) &&
            ::mkfifo(QFile::encodeName(dir.filePath("fifo")), 0600) == 0);
#endif
    QStringList complaints;
    const QString path = QDir(dir.path()).filePath(name); // or name when absolute
    const SupportLog log(path, [&complaints](const QString &text) { complaints << text; });
    qCInfo(logApp) << "one";
    qCInfo(logApp) << "two";
    QVERIFY(!log.isWriting());
    QCOMPARE(complaints.size(), 1);
    QVERIFY2(complaints.at(0).contains(QDir::toNativeSeparators(path)) &&
                 complaints.at(0).contains("(" + cause),
             qPrintable(complaints.at(0)));
    QCOMPARE(readBytes(dir.filePath("file")), "not a folder");
    QVERIFY(!QFile::exists(dir.filePath("none")));
}

// Two stations, two processes, one log: a line of one after the other rotated goes
// into the file at the path, not into one that four more rotations drop; and one
// waiting for the other's rotation to end does not rotate again.
void TestSupportLog::stationsSharingALogLoseNoLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessarine.log"));
    QProcess a;
    QProcess b;
    const auto sent = [](QProcess &station, const QByteArray &command) {
        station.write(command + '\n');
        return station.waitForReadyRead(60000) &&
               station.readLine().trimmed() == "ok"; // CR LF on Windows
    };
    for (QProcess *station : {&a, &b})
        station->start(LOG_STATION, {path});
    // A's lines of 10 kB fill a file to 104 lines and leave room for one of B's: B1
    // comes after one rotation, four more follow.
    QVERIFY(sent(b, "B0 1 180") && sent(a, "A0 105 10000") && sent(b, "B1 1 180") &&
            sent(a, "A1 420 10000"));
    QByteArray kept;
    for (const QString &file : {path, path + ".1", path + ".2", path + ".3", path + ".4"})
        kept += readBytes(file);
    QVERIFY(kept.contains("\nB1 0 x"));
    QLockFile rotating(path + ".lock");
    QVERIFY(rotating.lock());
    b.write("B2 1 1048576\n"); // a line that needs a rotation
    QVERIFY(!b.waitForReadyRead(500) && QFile::rename(path, path + ".x"));
    rotating.unlock();
    QVERIFY(b.waitForReadyRead(60000) && readBytes(path).startsWith("B2 0 x"));
    for (QProcess *station : {&a, &b}) {
        station->closeWriteChannel();
        QVERIFY(station->waitForFinished(60000) && station->exitCode() == 0);
    }
}

QTEST_MAIN(TestSupportLog)
#include "tst_supportlog.moc"
