#include "common/failure.h"
#include "filebytes.h"
#include "gdt/gdtanswerdelivery.h"
#include "gdt/gdtexchange.h"
#include "gdt/gdtfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <sys/stat.h>
#endif

using namespace std::chrono_literals;
using Setup = std::function<void(const QString &dir)>;
Q_DECLARE_METATYPE(Setup)
static std::chrono::seconds clockJump; // how far the exchange's clock runs after its first look

class TestGdtExchange : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deliversAFileOnlyWhereNoneWaits_data();
    void deliversAFileOnlyWhereNoneWaits();
    void takesARequestAndRemovesIt();
    void takesOnlyRequestsFromWhatLiesThere_data();
    void takesOnlyRequestsFromWhatLiesThere();
    void movesABadRequestAsideAndReportsItsLine();
    void waitsForARequestStillBeingWritten();
    void deliversAnAnswer_data();
    void deliversAnAnswer();
    void leavesARequestItCannotKeep();
    void reportsAMissingDirectoryOnceAndUsesItWhenItAppears();
};

static QByteArray request(const QString &last)
{
    GdtRequest r;
    r.lastName = last;
    r.firstName = QStringLiteral("Anna");
    r.patientNumber = QStringLiteral("1");
    return writeGdtRequest(r);
}

// The request for last grown to size bytes by comment lines (6227) as long as allowed.
static QByteArray request(const QString &last, qsizetype size)
{
    QByteArray bytes = request(last);
    while (bytes.size() < size) {
        const qsizetype rest = size - bytes.size();
        const qsizetype line = rest <= 999 ? rest : rest - 999 >= 9 ? 999 : rest - 9;
        bytes += QByteArray::number(line).rightJustified(3, '0') + "6227" +
                 QByteArray(line - 9, 'x') + "\r\n";
    }
    return bytes;
}

// Writes bytes to path as a file younger than bmi1edv1.999.
static void writeLater(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
            file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                             QFileDevice::FileModificationTime));
}

void TestGdtExchange::deliversAFileOnlyWhereNoneWaits_data()
{
    QTest::addColumn<QString>("present"); // a file with "old" already in the directory
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("answer"); // EDV1BMI1.GDT afterwards
    QTest::newRow("none") << QString() << true << QByteArray("new");
    QTest::newRow("another file") << "EDV1BMI1.GDT.tmp" << true << QByteArray("new");
    QTest::newRow("unread answer") << "EDV1BMI1.GDT" << false << QByteArray("old");
    // Windows' file names ignore case: there the answer's name reads the waiting file.
#ifdef Q_OS_WIN
    QTest::newRow("unread answer, other case") << "edv1bmi1.gdt" << false << QByteArray("old");
#else
    QTest::newRow("unread answer, other case") << "edv1bmi1.gdt" << false << QByteArray();
#endif
    QTest::newRow("the request") << "BMI1EDV1.GDT" << true << QByteArray("new");
}

void TestGdtExchange::deliversAFileOnlyWhereNoneWaits()
{
    QFETCH(QString, present);
    QFETCH(bool, written);
    QFETCH(QByteArray, answer);
    QTemporaryDir dir;
    if (!present.isEmpty())
        writeBytes(dir.filePath(present), "old");
    const QString name = answerFileName(QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    QCOMPARE(deliverFile(dir.path(), name, "new"), written ? Delivery::Written : Delivery::Waiting);
    QCOMPARE(readBytes(dir.filePath(name)), answer);
    // Nothing of the write is left beside the answer.
    QVERIFY(QDir(dir.path())
                .entryList({QStringLiteral(".tessarine-*")}, QDir::Files | QDir::Hidden)
                .isEmpty());
}

void TestGdtExchange::takesARequestAndRemovesIt()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("bmi1edv1.gdt")), request(QStringLiteral("Früh")));
    GdtExchange exchange(dir.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    QSignalSpy arrived(&exchange, &GdtExchange::requestArrived);
    // The practice system writes the next request while the station reads this one.
    exchange.setKeeper(
        [&](const GdtRequest &r, const QString &path) {
            if (r.lastName == u"Früh")
                writeBytes(path, request(QStringLiteral("Gleich")));
            return true;
        },
        {});
    exchange.start(10s, 50ms); // found at start, without any change of the directory
    QTRY_COMPARE(arrived.count(), 2);
    QCOMPARE(arrived.at(0).at(0).value<GdtRequest>().lastName, QStringLiteral("Früh"));
    QCOMPARE(arrived.at(1).at(0).value<GdtRequest>().lastName, QStringLiteral("Gleich"));
    QVERIFY(QDir(dir.path()).isEmpty());

    writeBytes(dir.filePath(QStringLiteral("BMI1EDV1.GDT")), request(QStringLiteral("Spät")));
    QTRY_COMPARE(arrived.count(), 3);
    QCOMPARE(arrived.at(2).at(0).value<GdtRequest>().lastName, QStringLiteral("Spät"));
}

void TestGdtExchange::takesOnlyRequestsFromWhatLiesThere_data()
{
    // Given dir/BMI1EDV1.GDT to lay out; bmi1edv1.999 holds a request for "Danach".
    QTest::addColumn<Setup>("setup");
    // Last names arrived, in order | requests rejected | messages over many looks | entries left
    QTest::addColumn<QString>("outcome");
    QTest::newRow("numbered, oldest first")
        << Setup([](const QString &gdt) { writeLater(gdt.chopped(3) + "001", request("Eins")); })
        << "Danach,Eins|0|0|";
    QTest::newRow(".000 counts too")
        << Setup([](const QString &gdt) { writeLater(gdt.chopped(3) + "000", request("Null")); })
        << "Danach,Null|0|0|";
    QTest::newRow("taken before a crash")
        << Setup([](const QString &gdt) { writeLater(gdt + ".tessarine", request("Zuvor")); })
        << "Danach,Zuvor|0|0|";
    QTest::newRow("8100 counts CR LF, lines end LF, the last none")
        << Setup([](const QString &gdt) {
               writeLater(gdt, request("Lf").replace("\r\n", "\n").chopped(1));
           })
        << "Danach,Lf|0|0|";
    const auto shortFor = [](std::chrono::seconds jump) {
        return Setup([jump](const QString &gdt) {
            writeLater(gdt, request("Kurz").chopped(9));
            clockJump = jump;
        });
    };
    QTest::newRow("shorter than its 8100 for 29 s") << shortFor(29s) << "Danach|0|0|BMI1EDV1.GDT";
    QTest::newRow("shorter than its 8100 for 30 s")
        << shortFor(30s) << "Danach|1|0|BMI1EDV1.GDT.fehlerhaft";
    QTest::newRow("99,999 bytes") << Setup([](const QString &gdt) {
        writeLater(gdt, request("Voll", 99999));
    }) << "Danach,Voll|0|0|";
    QTest::newRow("100,000 bytes")
        << Setup([](const QString &gdt) { writeLater(gdt, request("Voll", 100000)); })
        << "Danach|1|0|BMI1EDV1.GDT.fehlerhaft";
    QTest::newRow("larger than a record, 3 GiB") << Setup([](const QString &gdt) {
        writeBytes(gdt, {});
        QVERIFY(QFile::resize(gdt, 3LL << 30));
    }) << "Danach|1|0|BMI1EDV1.GDT.fehlerhaft";
    QTest::newRow("names a character short or long") << Setup([](const QString &gdt) {
        writeBytes(gdt.chopped(1), request("Kurz"));
        writeBytes(gdt + "0", request("Lang"));
    }) << "Danach|0|0|BMI1EDV1.GD,BMI1EDV1.GDT0";
#ifdef Q_OS_LINUX
    QTest::newRow("a FIFO") << Setup([](const QString &gdt) {
        QCOMPARE(::mkfifo(QFile::encodeName(gdt).constData(), 0600), 0);
    }) << "Danach|0|1|BMI1EDV1.GDT";
    QTest::newRow("a link to a device")
        << Setup([](const QString &gdt) { QVERIFY(QFile::link("/dev/zero", gdt)); })
        << "Danach|0|1|BMI1EDV1.GDT";
    QTest::newRow("a link to a request") << Setup([](const QString &gdt) {
        QVERIFY(QFile::link(QFileInfo(gdt).path() + "/bmi1edv1.999", gdt));
    }) << "Danach,Danach|0|0|";
    // Neither can be removed: each is named once, and taken once it can be.
    QTest::newRow("on a read-only mount") << Setup([](const QString &gdt) {
        writeBytes(gdt, request("Fest"));
        const QByteArray dir = QFile::encodeName(QFileInfo(gdt).path());
        if (::mount(dir, dir, nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            QSKIP("no read-only mount here");
    }) << "|0|2|bmi1edv1.999,BMI1EDV1.GDT";
#endif
}

void TestGdtExchange::takesOnlyRequestsFromWhatLiesThere()
{
    QFETCH(Setup, setup);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("bmi1edv1.999")), request(QStringLiteral("Danach")));
    clockJump = 0s;
    setup(dir.filePath(QStringLiteral("BMI1EDV1.GDT")));
    GdtExchange exchange(dir.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    const QDateTime start = QDateTime::currentDateTimeUtc();
    exchange.setClock(
        [start, looks = 0]() mutable { return start.addSecs(looks++ ? clockJump.count() : 0); });
    QSignalSpy arrivals(&exchange, &GdtExchange::requestArrived);
    QSignalSpy rejections(&exchange, &GdtExchange::requestRejected);
    QSignalSpy told(&exchange, &GdtExchange::problem);
    exchange.start(20ms, 20ms);
    QTRY_COMPARE_WITH_TIMEOUT(
        arrivals.count(), outcome.section('|', 0, 0).split(',', Qt::SkipEmptyParts).size(), 5000);
    QTest::qWait(300);
    QStringList seen;
    for (const auto &args : arrivals)
        seen << args.at(0).value<GdtRequest>().lastName;
    seen = {seen.join(','), QString::number(rejections.count()), QString::number(told.count()),
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                .join(',')};
    QCOMPARE(seen.join('|'), outcome);
#ifdef Q_OS_LINUX
    if (::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH) == 0)
        QTRY_COMPARE_WITH_TIMEOUT(arrivals.count(), 2, 5000);
#endif
}

void TestGdtExchange::movesABadRequestAsideAndReportsItsLine()
{
    QTemporaryDir dir;
    GdtExchange exchange(dir.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    QSignalSpy arrived(&exchange, &GdtExchange::requestArrived);
    QSignalSpy rejected(&exchange, &GdtExchange::requestRejected);
    exchange.start(10s, 50ms);
    const QString path = dir.filePath(QStringLiteral("BMI1EDV1.GDT"));
    writeBytes(path + QStringLiteral(".fehlerhaft"), "an earlier one");
    writeBytes(path, "01380006302\r\n01380006302\r\n");
    QTRY_COMPARE(rejected.count(), 1);
    QCOMPARE(rejected.at(0).at(1).toString(), path + QStringLiteral(".2.fehlerhaft"));
    QCOMPARE(readBytes(path + QStringLiteral(".fehlerhaft")), QByteArray("an earlier one"));
    QCOMPARE(rejected.at(0).at(2).value<GdtError>().line, 2);
    QVERIFY(!QFile::exists(path));
    QTest::qWait(200); // not read again
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(arrived.count(), 0);
}

void TestGdtExchange::waitsForARequestStillBeingWritten()
{
    QTemporaryDir dir;
    GdtExchange exchange(dir.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    QSignalSpy arrived(&exchange, &GdtExchange::requestArrived);
    QSignalSpy rejected(&exchange, &GdtExchange::requestRejected);
    exchange.start(50ms, 1500ms);
    const QByteArray bytes = request(QStringLiteral("Langsam"));
    QFile file(dir.filePath(QStringLiteral("BMI1EDV1.GDT")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    file.write(bytes.first(20)); // a half line: no request yet
    QTest::qWait(300);
    file.write(bytes.sliced(20));
    file.close();
    QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, 10000);
    QCOMPARE(arrived.at(0).at(0).value<GdtRequest>().lastName, QStringLiteral("Langsam"));
    QCOMPARE(rejected.count(), 0);
}

void TestGdtExchange::deliversAnAnswer_data()
{
    QTest::addColumn<bool>("numbered");
    QTest::addColumn<QStringList>("present"); // "name=content", "name/" for a directory
    QTest::addColumn<int>("age");             // of what is present, in seconds
    QTest::addColumn<QString>("outcome");     // kind|file now holding "new"|part of the message
    const QStringList none;
    const QStringList unread{QStringLiteral("EDV1BMI1.GDT=old")};
    QTest::newRow("fixed") << false << none << 0 << "0|EDV1BMI1.GDT|";
    QTest::newRow("fixed, unread just below the limit") << false << unread << 599 << "1||";
    QTest::newRow("fixed, unread at the limit")
        << false << unread << 600 << "1||gdt/answerNames = numbered";
    QTest::newRow("fixed, already in place before a crash")
        << false << QStringList{"EDV1BMI1.GDT=new"} << 0 << "0|EDV1BMI1.GDT|";
    QTest::newRow("fixed, a directory in the way")
        << false << QStringList{"EDV1BMI1.GDT/"} << 0 << "2||keine Datei";
    QTest::newRow("numbered") << true << unread << 0 << "0|EDV1BMI1.001|";
    QTest::newRow("numbered after the highest")
        << true << QStringList{"EDV1BMI1.001=a", "EDV1BMI1.005/"} << 0 << "0|EDV1BMI1.006|";
    QTest::newRow("numbered up to 999")
        << true << QStringList{"EDV1BMI1.998=a"} << 0 << "0|EDV1BMI1.999|";
    QTest::newRow("numbered past 999: the lowest free")
        << true << QStringList{"EDV1BMI1.001=a", "EDV1BMI1.999=a"} << 0 << "0|EDV1BMI1.002|";
    QTest::newRow("no directory") << true << QStringList{"../gone"} << 0 << "2||nicht erreichbar";
}

void TestGdtExchange::deliversAnAnswer()
{
    QFETCH(bool, numbered);
    QFETCH(QStringList, present);
    QFETCH(int, age);
    QFETCH(QString, outcome);
    QTemporaryDir parent;
    QString dir = parent.filePath(QStringLiteral("aus"));
    QVERIFY(QDir().mkpath(dir));
    const QDateTime written = QDateTime::currentDateTime().addDays(-1);
    for (const QString &entry : present) {
        if (entry == u"../gone") {
            dir = parent.filePath(QStringLiteral("gone"));
        } else if (entry.endsWith(u'/')) {
            QVERIFY(QDir(dir).mkdir(entry.chopped(1)));
        } else {
            const QString path = QDir(dir).filePath(entry.section(u'=', 0, 0));
            writeBytes(path, entry.section(u'=', 1).toLatin1());
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(written, QFileDevice::FileModificationTime));
        }
    }
    const GdtAnswerDelivery delivery = deliverGdtAnswer(
        dir, QStringLiteral("EDV1BMI1.GDT"),
        numbered ? GdtAnswerNames::Numbered : GdtAnswerNames::Fixed, "new", written.addSecs(age));
    QCOMPARE(int(delivery.kind), outcome.section(u'|', 0, 0).toInt());
    const QString file = outcome.section(u'|', 1, 1);
    if (!file.isEmpty())
        QCOMPARE(readBytes(QDir(dir).filePath(file)), QByteArray("new"));
    const QString message = outcome.section(u'|', 2);
    QCOMPARE(delivery.message.isEmpty(), message.isEmpty());
    QVERIFY(delivery.message.contains(message));
}

void TestGdtExchange::leavesARequestItCannotKeep()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BMI1EDV1.GDT"));
    writeBytes(path, request(QStringLiteral("Voll")));
    GdtExchange exchange(dir.path(), QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    int kept = 0;
    bool room = false;
    exchange.setKeeper(
        [&](const GdtRequest &, const QString &) {
            if (++kept == 2)
                throw Failure(QStringLiteral("Platte voll"));
            return room;
        },
        QStringLiteral("Die Arbeitsliste ist voll."));
    QSignalSpy problems(&exchange, &GdtExchange::problem);
    QSignalSpy arrived(&exchange, &GdtExchange::requestArrived);
    exchange.start(20ms, 10ms);
    QTRY_VERIFY(kept >= 3); // asked again while still full: one more look may come first
    QVERIFY(QFile::exists(path));
    QCOMPARE(problems.count(), 3); // full, the failure, full again
    QVERIFY(problems.at(0).at(0).toString().endsWith(QStringLiteral("Die Arbeitsliste ist voll.")));
    QCOMPARE(problems.at(1).at(0).toString(), QStringLiteral("Platte voll"));
    room = true;
    QTRY_COMPARE(arrived.count(), 1);
    QVERIFY(!QFile::exists(path));
}

void TestGdtExchange::reportsAMissingDirectoryOnceAndUsesItWhenItAppears()
{
    QTemporaryDir parent;
    const QString dir = parent.filePath(QStringLiteral("gdt"));
    GdtExchange exchange(dir, QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    QSignalSpy problems(&exchange, &GdtExchange::problem);
    QSignalSpy arrived(&exchange, &GdtExchange::requestArrived);
    exchange.start(50ms, 50ms);
    QCOMPARE(problems.count(), 1);
    QVERIFY(problems.at(0).at(0).toString().contains(QDir::toNativeSeparators(dir)));
    QTest::qWait(200);
    QCOMPARE(problems.count(), 1);

    QVERIFY(QDir().mkpath(dir)); // a network share that comes back
    writeBytes(dir + QStringLiteral("/BMI1EDV1.GDT"), request(QStringLiteral("Netz")));
    QTRY_COMPARE(arrived.count(), 1);
    QCOMPARE(problems.count(), 1);
}

QTEST_GUILESS_MAIN(TestGdtExchange)
#include "tst_gdtexchange.moc"
