#include "common/failure.h"
#include "scale/heightdecoding.h"

#include <QTest>

class TestHeightDecoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void decodesTheStationsValues_data()
    {
        QTest::addColumn<QVariant>("argument");
        QTest::addColumn<int>("decoded");

        const std::pair<int, int> whole[] = {
            {0, 0},     {1, 1},      {2, 3},     {3, 2},     {4, 7},      {7, 5},      {255, 170},
            {256, 511}, {512, 1023}, {528, 992}, {768, 512}, {1000, 688}, {1023, 682},
        };
        for (const auto &[count, decoded] : whole)
            QTest::addRow("%d", count) << QVariant(count) << decoded;

        // Beyond ten bits every Gray bit is set; below zero none is.
        QTest::newRow("1024") << QVariant(1024) << 682;
        QTest::newRow("65535") << QVariant(65535) << 682;
        QTest::newRow("-1") << QVariant(-1) << 0;
        QTest::newRow("-700.5") << QVariant(-700.5) << 0;
        // The whole part's bits are taken: 5 decodes as 6.
        QTest::newRow("5.5") << QVariant(5.5) << 6;
        QTest::newRow("1023.9") << QVariant(1023.9) << 682;
        QTest::newRow("text 528") << QVariant(QStringLiteral("528")) << 992;
        QTest::newRow("text 5,5 read the German way") << QVariant(QStringLiteral("5,5")) << 6;
        QTest::newRow("text with blanks") << QVariant(QStringLiteral(" 768 ")) << 512;
    }
    void decodesTheStationsValues()
    {
        QFETCH(QVariant, argument);
        QFETCH(int, decoded);
        QCOMPARE(UmrechnungBin(argument), std::optional<int>(decoded));
    }

    void emptyArgumentGivesNoValue_data()
    {
        QTest::addColumn<QVariant>("argument");
        QTest::newRow("empty text") << QVariant(QString());
        QTest::newRow("no value") << QVariant();
    }
    void emptyArgumentGivesNoValue()
    {
        QFETCH(QVariant, argument);
        QCOMPARE(UmrechnungBin(argument), std::nullopt);
    }

    void textThatIsNoNumberFails()
    {
        QVERIFY_THROWS_EXCEPTION(Failure, UmrechnungBin(QVariant(QStringLiteral("abc"))));
    }

    void undoesTheGrayCodeOfEveryCount()
    {
        for (int count = 0; count <= 1023; ++count)
            QCOMPARE(UmrechnungBin(grayCode(count)), std::optional<int>(count));
    }
};

QTEST_GUILESS_MAIN(TestHeightDecoding)
#include "tst_heightdecoding.moc"
