#include "outbox/outbox.h"

#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class OutboxTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deliversInOrderAndKeepsWhatIsNotDelivered()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("outbox.json"));
        const QDateTime t0(QDate(2026, 12, 8), QTime(9, 0));
        qint64 first = 0;
        {
            Outbox box(path);
            first = box.enqueue(QStringLiteral("gdt"), "erste\r\n\x81", t0);
            box.enqueue(QStringLiteral("hl7"), "andere", t0);
            box.enqueue(QStringLiteral("gdt"), "zweite", t0);
        }
        Outbox box(path);
        QCOMPARE(box.waiting(), 3);
        QCOMPARE(box.nextDue(QStringLiteral("gdt"), t0)->payload, QByteArray("erste\r\n\x81"));
        box.retryLater(first, t0);
        QVERIFY(!box.nextDue(QStringLiteral("gdt"), t0.addSecs(1))); // the second waits too
        QCOMPARE(box.nextDue(QStringLiteral("hl7"), t0)->payload, QByteArray("andere"));
        QCOMPARE(Outbox(path).nextDue(QStringLiteral("gdt"), t0.addSecs(2))->id, first);
        box.markRefused(first, QStringLiteral("AR"));
        QCOMPARE(box.nextDue(QStringLiteral("gdt"), t0)->payload, QByteArray("zweite"));
        box.markDelivered(box.nextDue(QStringLiteral("gdt"), t0)->id);
        QCOMPARE(Outbox(path).waiting(), 2);
        QCOMPARE(Outbox(path).entries().first().refusal, QStringLiteral("AR"));
    }

    void pausesGrowToTheirCap_data()
    {
        QTest::addColumn<int>("attempts");
        QTest::addColumn<int>("pause");
        QTest::newRow("first") << 1 << 2;
        QTest::newRow("second") << 2 << 4;
        QTest::newRow("last below the cap") << 5 << 32;
        QTest::newRow("at the cap") << 6 << 60;
        QTest::newRow("past it") << 40 << 60;
    }
    void pausesGrowToTheirCap()
    {
        QFETCH(int, attempts);
        QFETCH(int, pause);
        QCOMPARE(retryPause(attempts).count(), pause);
    }
};

QTEST_GUILESS_MAIN(OutboxTest)
#include "tst_outbox.moc"
