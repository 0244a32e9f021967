#include "app/repaintpacer.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

// The text a field showed at each of its paints.
struct PaintWatch : QObject
{
    explicit PaintWatch(QLineEdit *field) { field->installEventFilter(this); }
    bool eventFilter(QObject *field, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted << static_cast<QLineEdit *>(field)->text();
        return false;
    }
    QStringList painted;
};

class tst_RepaintPacer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void repaintsAtMostOncePerIntervalShowingTheLatest_data()
    {
        QTest::addColumn<int>("writeEveryMs");
        QTest::addColumn<int>("writes");
        QTest::addColumn<bool>("everyWrite"); // painted, or at most one paint per interval

        QTest::newRow("the scale's full rate") << 4 << 60 << false;
        QTest::newRow("slower than the pacer: every write") << 40 << 8 << true;
    }
    void repaintsAtMostOncePerIntervalShowingTheLatest()
    {
        QFETCH(int, writeEveryMs);
        QFETCH(int, writes);
        QFETCH(bool, everyWrite);

        QLineEdit other; // written once, before: not repainted with the writes to field
        other.setReadOnly(true);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QLineEdit field;
        field.setReadOnly(true); // no blinking cursor to paint
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QTest::qWait(50);
        PaintWatch watch(&field);
        RepaintPacer pacer(RepaintPacer::readingRefreshMs);
        pacer.beforeWrite(&other);
        other.setText(QStringLiteral("x"));
        QTest::qWait(50);
        PaintWatch otherWatch(&other);
        QElapsedTimer writing; // a loaded machine stretches the writes, and so the bound
        writing.start();
        qsizetype paintsInWrites = 0; // in the wake-up that wrote, not by the pacer's timer
        for (int i = 0; i < writes; ++i) {
            pacer.beforeWrite(&field);
            field.setText(QString::number(i));
            const qsizetype paintsBefore = watch.painted.size();
            pacer.afterWrites();
            paintsInWrites += watch.painted.size() - paintsBefore;
            QTest::qWait(writeEveryMs);
        }
        const qint64 writingMs = writing.elapsed();
        QTest::qWait(100);

        const qsizetype fewestPaints = everyWrite ? writes : 2;
        const qsizetype mostPaints =
            everyWrite ? writes : writingMs / RepaintPacer::readingRefreshMs + 2;
        QVERIFY2(watch.painted.size() >= fewestPaints && watch.painted.size() <= mostPaints,
                 qPrintable(watch.painted.join(u' ')));
        QCOMPARE(watch.painted.constLast(), QString::number(writes - 1));
        QVERIFY2(watch.painted.size() - paintsInWrites <= 3,
                 qPrintable(QString::number(paintsInWrites)));
        QCOMPARE(otherWatch.painted, QStringList());
        QVERIFY(field.updatesEnabled());
    }
};

QTEST_MAIN(tst_RepaintPacer)
#include "tst_repaintpacer.moc"
