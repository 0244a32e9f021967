#include "app/repaintpacer.h"

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
        QTest::addColumn<int>("fewestPaints");
        QTest::addColumn<int>("mostPaints");

        // 60 writes 4 ms apart take at least 240 ms: no more than one paint per 16 ms.
        QTest::newRow("the scale's full rate") << 4 << 60 << 2 << 240 / 16 + 2;
        QTest::newRow("slower than the display: every write") << 40 << 8 << 8 << 8;
    }
    void repaintsAtMostOncePerIntervalShowingTheLatest()
    {
        QFETCH(int, writeEveryMs);
        QFETCH(int, writes);
        QFETCH(int, fewestPaints);
        QFETCH(int, mostPaints);

        QLineEdit field;
        field.setReadOnly(true); // no blinking cursor to paint
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QTest::qWait(50);
        PaintWatch watch(&field);
        RepaintPacer pacer({&field}, RepaintPacer::displayRefreshMs);
        for (int i = 0; i < writes; ++i) {
            pacer.beforeWrite();
            field.setText(QString::number(i));
            QTest::qWait(writeEveryMs);
        }
        QTest::qWait(100);

        QVERIFY2(watch.painted.size() >= fewestPaints && watch.painted.size() <= mostPaints,
                 qPrintable(watch.painted.join(u' ')));
        QCOMPARE(watch.painted.constLast(), QString::number(writes - 1));
        QVERIFY(field.updatesEnabled());
    }
};

QTEST_MAIN(tst_RepaintPacer)
#include "tst_repaintpacer.moc"
