#include "common/failure.h"
#include "orders/personindex.h"
#include "orders/worklist.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

Order order(int number, const QString &last = QStringLiteral("Beispiel"))
{
    Order o;
    o.source = QStringLiteral("GDT");
    o.patientNumber = QString::number(number);
    o.lastName = last;
    o.firstName = QStringLiteral("Anna");
    o.sex = Order::Sex::Female;
    o.birthDateSent = QStringLiteral("19800229");
    o.birthDate = QDate(1980, 2, 29);
    o.echo = {{QStringLiteral("8315"), QStringLiteral("BMI1")}};
    o.requestFile = QStringLiteral("BMI1EDV1.%1").arg(number, 3, 10, QLatin1Char('0'));
    return o;
}

} // namespace

class WorklistTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keepsOrdersOldestFirstAcrossRestarts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state/worklist.json"));
        {
            Worklist list(path);
            QVERIFY(list.add(order(4711)));
            QVERIFY(list.add(order(815)));
            QVERIFY(list.add(order(4711, QStringLiteral("Neu")))); // replaces in place
        }
        Worklist again(path);
        QCOMPARE(again.orders(), (QList<Order>{order(4711, QStringLiteral("Neu")), order(815)}));
        QVERIFY(again.remove(order(4711)));
        QVERIFY(!again.remove(order(4711)));
        QCOMPARE(Worklist(path).orders(), QList<Order>{order(815)});
    }

    void holdsAtMostItsCapacity()
    {
        QTemporaryDir dir;
        Worklist list(dir.filePath(QStringLiteral("worklist.json")));
        for (int n = 1; n < Worklist::capacity; ++n)
            QVERIFY(list.add(order(n)));
        QVERIFY(list.hasRoomFor(order(100)));
        QVERIFY(list.add(order(100)));
        QVERIFY(!list.add(order(101)));
        QVERIFY(list.add(order(7, QStringLiteral("Ersetzt")))); // a replacement still fits
        QCOMPARE(Worklist(list.path()).size(), Worklist::capacity);
    }

    void unreadableFileIsKeptAsideAndAFailedWriteChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("worklist.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"source\":");
        file.close();
        Worklist list(path);
        QVERIFY(list.problem().contains(QStringLiteral("unlesbar")));
        QVERIFY(QFile::exists(path + QStringLiteral(".unlesbar")));
        QVERIFY(list.isEmpty());

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked")));
        Worklist blocked(dir.filePath(QStringLiteral("blocked")));
        QVERIFY_THROWS_EXCEPTION(Failure, blocked.add(order(1)));
        QVERIFY(blocked.isEmpty());
    }

    void personIndexKeepsTheLastUsedFiles()
    {
        QTemporaryDir dir;
        PersonIndex index(dir.path(), 2);
        index.record(QStringLiteral("a.txt"), QStringLiteral("1"));
        index.record(QStringLiteral("b.txt"), QStringLiteral("2"));
        index.record(QStringLiteral("a.txt"), QStringLiteral("3")); // b is now the oldest
        QCOMPARE(index.patientOf(QStringLiteral("b.txt")), QStringLiteral("2"));
        index.record(QStringLiteral("c.txt"), QStringLiteral("4"));
        QCOMPARE(PersonIndex(dir.path()).patientOf(QStringLiteral("a.txt")), QStringLiteral("3"));
        QCOMPARE(index.patientOf(QStringLiteral("b.txt")), std::nullopt);
        QLockFile otherStation(index.path() + QStringLiteral(".lock"));
        QVERIFY(otherStation.lock());
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 PersonIndex(dir.path(), 2, std::chrono::milliseconds(50))
                                     .record(QStringLiteral("d.txt"), QStringLiteral("5")));
    }
};

QTEST_GUILESS_MAIN(WorklistTest)
#include "tst_worklist.moc"
