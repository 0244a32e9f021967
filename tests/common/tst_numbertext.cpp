#include "common/failure.h"
#include "common/numbertext.h"

#include <QTest>

#include <cmath>

class tst_NumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void writesGeneralForm_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("scale reading") << 200 / 33.2 << QStringLiteral("6,02409638554217");
        QTest::newRow("zero residue")
            << 200 / 33.2 - 6.02409638554217 << QStringLiteral("-1,77635683940025E-15");
        QTest::newRow("bmi") << 72.5 / (1.75 * 1.75) << QStringLiteral("23,6734693877551");
        QTest::newRow("whole") << 1750.0 << QStringLiteral("1750");
        QTest::newRow("no grouping") << 123456789.0 << QStringLiteral("123456789");
        QTest::newRow("trailing zeros") << 72.5 << QStringLiteral("72,5");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("negative") << -3.25 << QStringLiteral("-3,25");
        QTest::newRow("15 digits round") << 0.1 + 0.2 << QStringLiteral("0,3");
        QTest::newRow("largest plain") << 999999999999999.0 << QStringLiteral("999999999999999");
        QTest::newRow("exponent from 1E15") << 1e15 << QStringLiteral("1E+15");
        QTest::newRow("rounds into exponent") << 999999999999999.9 << QStringLiteral("1E+15");
        QTest::newRow("large") << 1.23456789012345678e17 << QStringLiteral("1,23456789012346E+17");
        QTest::newRow("smallest plain") << 0.0001 << QStringLiteral("0,0001");
        QTest::newRow("small exponent") << 0.00001 << QStringLiteral("1E-05");
        QTest::newRow("three-digit exponent") << 2.5e-300 << QStringLiteral("2,5E-300");
    }
    void writesGeneralForm()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(numberText(value), expected);
    }

    void followsTheLocale()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(numberText(1234.5, english), QStringLiteral("1234.5"));
        QCOMPARE(parseNumber(QStringLiteral("1234.5"), english), 1234.5);
        QCOMPARE(parseNumber(QStringLiteral("1,234.5"), english), std::nullopt);
    }

    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("decimal comma") << QStringLiteral("72,5") << 72.5;
        QTest::newRow("whole") << QStringLiteral("1750") << 1750.0;
        QTest::newRow("blanks around") << QStringLiteral("  34 ") << 34.0;
        QTest::newRow("trailing separator") << QStringLiteral("9,") << 9.0;
        QTest::newRow("leading separator") << QStringLiteral(",5") << 0.5;
        QTest::newRow("signs") << QStringLiteral("-3,25") << -3.25;
        QTest::newRow("plus") << QStringLiteral("+4") << 4.0;
        QTest::newRow("exponent") << QStringLiteral("-1,77635683940025E-15")
                                  << -1.77635683940025e-15;
        QTest::newRow("exponent plus") << QStringLiteral("1E+15") << 1e15;
        QTest::newRow("lower-case exponent") << QStringLiteral("2e3") << 2000.0;
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const auto value = parseNumber(text);
        QVERIFY(value.has_value());
        QCOMPARE(*value, expected);
        QCOMPARE(textNumber(text), expected);
    }

    void refusesWhatIsNoNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QStringLiteral("   ");
        QTest::newRow("letters") << QStringLiteral("abc");
        QTest::newRow("grouped") << QStringLiteral("1.750");
        QTest::newRow("two separators") << QStringLiteral("1,2,3");
        QTest::newRow("trailing letter") << QStringLiteral("12a");
        QTest::newRow("inner blank") << QStringLiteral("1 2");
        QTest::newRow("lone separator") << QStringLiteral(",");
        QTest::newRow("lone sign") << QStringLiteral("-");
        QTest::newRow("double sign") << QStringLiteral("--1");
        QTest::newRow("exponent without digits") << QStringLiteral("1E");
        QTest::newRow("exponent alone") << QStringLiteral("E5");
        QTest::newRow("overflow") << QStringLiteral("1E999");
        QTest::newRow("english point") << QStringLiteral("72.5");
    }
    void refusesWhatIsNoNumber()
    {
        QFETCH(QString, text);
        QCOMPARE(parseNumber(text), std::nullopt);
        try {
            textNumber(text);
            QFAIL("textNumber accepted a text that is not a number");
        } catch (const Failure &failure) {
            QVERIFY(failure.message().contains(QStringLiteral("keine gültige Zahl")));
        }
    }

    void roundTripsFifteenDigits()
    {
        // What the window writes it must read back to the same 15 significant digits:
        // the zero reference is stored as text and subtracted as a number.
        for (int count = 0; count <= 4095; count += 7) {
            const double reading = count / 33.2;
            const double back = textNumber(numberText(reading));
            QVERIFY2(std::fabs(back - reading) <= std::fabs(reading) * 1e-14,
                     qPrintable(numberText(reading)));
            QCOMPARE(numberText(back), numberText(reading));
        }
    }
};

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
