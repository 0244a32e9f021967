#include "views/chartgeometry.h"

#include "common/failure.h"

#include <QLocale>
#include <QTest>

namespace {

QString recordLine(const QString &bmi)
{
    return QStringLiteral("  06.12.2026    72,5kg    1750mm     BMI: ") + bmi;
}

// Header, empty line and one record line per BMI text, as the take-over writes them.
QStringList personLines(const QString &header, const QStringList &bmis)
{
    QStringList lines{header, QString()};
    for (const QString &bmi : bmis)
        lines << recordLine(bmi);
    return lines;
}

QStringList bmiRun(int count)
{
    QStringList bmis;
    for (int i = 0; i < count; ++i)
        bmis << QString::number(20 + i % 10);
    return bmis;
}

const QString man30 = QStringLiteral("Max Muster  männlich 30Jahre");

} // namespace

class TstChartGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void workedExampleComesOutExactly()
    {
        const BmiChart chart =
            bmiChart(historyFile(personLines(man30, {"23", "24", "45"})), QStringLiteral("x.txt"));

        QCOMPARE(chart.sexLetter, QStringLiteral("m"));
        QCOMPARE(chart.ageText, QStringLiteral("30"));
        QCOMPARE(chart.band, (NormalBand{20, 25}));
        const Rgb outline{255, 3, 5};
        const Rgb fill{255, 100, 100};
        QVERIFY(chart.lowerBox ==
                (DrawnBox{{3865, 4905}, {11865, 4000}, outline, fill, FillStyle::Cross, 1}));
        QVERIFY(chart.upperBox ==
                (DrawnBox{{3865, 3080}, {11865, 135}, outline, fill, FillStyle::Cross, 1}));
        const std::vector<DrawnLine> expected{
            {{3861, 3448}, {4128, 3264}, Rgb{0, 0, 0}, 2},
            {{4127, 3264}, {4394, 136}, Rgb{0, 0, 0}, 2},
        };
        QVERIFY(chart.segments == expected);
    }

    void bandFollowsHeader_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("age");
        QTest::addColumn<int>("lowerBoxEnd");
        QTest::addColumn<int>("upperBoxStart");

        QTest::newRow("man 30") << man30 << "m"
                                << "30" << 4000 << 3080;
        QTest::newRow("woman 30") << "Anna Beispiel  weiblich 30Jahre"
                                  << "w"
                                  << "30" << 4184 << 3264;
        // Ages of one or three characters are read by the header's words.
        QTest::newRow("one-digit age, woman") << "Eva Klein  weiblich 9Jahre"
                                              << "w"
                                              << "9" << 4368 << 3448;
        QTest::newRow("one-digit age, man") << "Kai Klein  männlich 9Jahre"
                                            << "m"
                                            << "9" << 4184 << 3264;
        QTest::newRow("three-digit age") << "Opa Alt  männlich 100Jahre"
                                         << "m"
                                         << "100" << 3264 << 2344;
        QTest::newRow("sex word in the name") << "Ina  weiblich Alt  männlich 5Jahre"
                                              << "m"
                                              << "5" << 4184 << 3264;
        QTest::newRow("woman 65") << "Oma Alt  weiblich 65Jahre"
                                  << "w"
                                  << "65" << 3448 << 2528;
        QTest::newRow("age limit 34 stays young") << "Tom Grenz  männlich 34Jahre"
                                                  << "m"
                                                  << "34" << 4000 << 3080;
        QTest::newRow("capital W is no woman") << "Ina Gross  Weiblich 30Jahre"
                                               << "W"
                                               << "30" << 4000 << 3080;
    }
    void bandFollowsHeader()
    {
        QFETCH(QString, header);
        QFETCH(QString, sex);
        QFETCH(QString, age);
        QFETCH(int, lowerBoxEnd);
        QFETCH(int, upperBoxStart);

        const BmiChart chart =
            bmiChart(historyFile(personLines(header, {"22"})), QStringLiteral("x.txt"));

        QCOMPARE(chart.sexLetter, sex);
        QCOMPARE(chart.ageText, age);
        QCOMPARE(chart.lowerBox.corner1, QPoint(3865, 4905));
        QCOMPARE(chart.lowerBox.corner2, QPoint(11865, lowerBoxEnd));
        QCOMPARE(chart.upperBox.corner1, QPoint(3865, upperBoxStart));
        QCOMPARE(chart.upperBox.corner2, QPoint(11865, 135));
    }

    // P10 to P90 at the middle of the year of life, for a child only when set so.
    void childBandByPercentiles_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("lowerBoxEnd");
        QTest::addColumn<int>("upperBoxStart");
        QTest::newRow("boy of 14: 16.76 to 24.05") << "Kai Klein  männlich 14Jahre" << 4596 << 3255;
        QTest::newRow("boy of 6: P10 below 15 keeps to the frame")
            << "Kai Klein  männlich 6Jahre" << 4905 << 4355;
        QTest::newRow("15: adult band") << "Kai Klein  männlich 15Jahre" << 4184 << 3264;
    }
    void childBandByPercentiles()
    {
        QFETCH(QString, header);
        QFETCH(int, lowerBoxEnd);
        QFETCH(int, upperBoxStart);
        const BmiChart chart = bmiChart(historyFile(personLines(header, {"22"})),
                                        QStringLiteral("x.txt"), ChildRatings::Percentiles);
        QCOMPARE(chart.lowerBox.corner2, QPoint(11865, lowerBoxEnd));
        QCOMPARE(chart.upperBox.corner1, QPoint(3865, upperBoxStart));
    }

    void segmentsRunAlongTheRecords_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("segments");
        QTest::addColumn<int>("lastEnd");

        QTest::newRow("one record: boxes only") << 1 << 0 << 0;
        QTest::newRow("two records") << 2 << 1 << 4128;
        QTest::newRow("ten records") << 10 << 9 << 6256;
        QTest::newRow("31 records") << 31 << 30 << 11842;
        QTest::newRow("32 records") << 32 << 30 << 11842;
        QTest::newRow("40 records") << 40 << 30 << 11842;
    }
    void segmentsRunAlongTheRecords()
    {
        QFETCH(int, records);
        QFETCH(int, segments);
        QFETCH(int, lastEnd);

        const QStringList bmis = bmiRun(records);
        const BmiChart chart =
            bmiChart(historyFile(personLines(man30, bmis)), QStringLiteral("x.txt"));

        QCOMPARE(int(chart.segments.size()), segments);
        for (int k = 1; k <= segments; ++k) {
            const DrawnLine &line = chart.segments.at(k - 1);
            QCOMPARE(line.from, QPoint(3595 + 266 * k, chartY(bmis.at(k - 1).toInt())));
            QCOMPARE(line.to, QPoint(3862 + 266 * k, chartY(bmis.at(k).toInt())));
        }
        if (segments > 0)
            QCOMPARE(chart.segments.back().to.x(), lastEnd);
    }

    void recordsPastTheLimitAreNotLookedAt()
    {
        QStringList bmis = bmiRun(31);
        bmis << "xx"
             << "??";
        const BmiChart chart =
            bmiChart(historyFile(personLines(man30, bmis)), QStringLiteral("x.txt"));
        QCOMPARE(int(chart.segments.size()), 30);
    }

    void valuesAreClampedIntoTheFrame_data()
    {
        QTest::addColumn<QString>("bmi");
        QTest::addColumn<int>("y");

        QTest::newRow("45 at 41") << "45" << 136;
        QTest::newRow("41 at 41") << "41" << 136;
        QTest::newRow("99 at 41") << "99" << 136;
        QTest::newRow("40 stays") << "40" << 320;
        QTest::newRow("25 stays") << "25" << 3080;
        QTest::newRow("15 stays") << "15" << 4920;
        QTest::newRow("12 at 15") << "12" << 4920;
        QTest::newRow("9, is nine, at 15") << "9," << 4920;
        QTest::newRow("leading blank") << " 7" << 4920;
    }
    void valuesAreClampedIntoTheFrame()
    {
        QFETCH(QString, bmi);
        QFETCH(int, y);

        // The value is looked at both as the first point and as a later one.
        const BmiChart first =
            bmiChart(historyFile(personLines(man30, {bmi, "20"})), QStringLiteral("x"));
        const BmiChart later =
            bmiChart(historyFile(personLines(man30, {"20", bmi})), QStringLiteral("x"));

        QCOMPARE(first.segments.at(0).from.y(), y);
        QCOMPARE(later.segments.at(0).to.y(), y);
    }

    void unreadableFilesNameFileAndLine_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");

        const QString file = QStringLiteral("Die Datei „/d/Max Muster.txt“ ");
        QTest::newRow("empty file") << QStringList{} << file + "ist unvollständig: Zeile 1 fehlt.";
        QTest::newRow("header only")
            << QStringList{man30} << file + "ist unvollständig: Zeile 2 fehlt.";
        QTest::newRow("no record")
            << QStringList{man30, QString()} << file + "ist unvollständig: Zeile 3 fehlt.";
        QTest::newRow("age not a number")
            << personLines(QStringLiteral("Max Muster  männlich xyJahre"), {"22"})
            << file + "ist nicht lesbar: In Zeile 1 ist das Alter „xy“ keine Zahl.";
        QTest::newRow("first BMI not a number")
            << personLines(man30, {"ab", "22"})
            << file + "ist nicht lesbar: In Zeile 3 ist der BMI „ab“ keine Zahl.";
        QTest::newRow("BMI cut short by a hand edit")
            << (personLines(man30, {"22", "23"}) << QStringLiteral("x"))
            << file + "ist nicht lesbar: In Zeile 5 ist der BMI „x“ keine Zahl.";
        QTest::newRow("empty record line") << (personLines(man30, {"22"}) << QString())
                                           << file + "ist nicht lesbar: In Zeile 4 ist der BMI "
                                                     "„“ keine Zahl.";
        QTest::newRow("31st record") << personLines(man30, bmiRun(30) << "--")
                                     << file + "ist nicht lesbar: In Zeile 33 ist der BMI „--“ "
                                               "keine Zahl.";
    }
    void unreadableFilesNameFileAndLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);

        try {
            bmiChart(historyFile(lines), QStringLiteral("/d/Max Muster.txt"));
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QCOMPARE(failure.message(), message);
        }
    }
};

QTEST_GUILESS_MAIN(TstChartGeometry)
#include "tst_chartgeometry.moc"
