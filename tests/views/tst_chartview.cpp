#include "filebytes.h"
#include "personfiles.h"
#include "windowfixture.h"

#include <QDir>
#include <QLocale>

// The BMI chart through the real window: fields, sex option, drawn primitives and
// messages after a click on "&Grafik erstellen".

namespace {

const QString man30 = QStringLiteral("Max Muster  männlich 30Jahre");
const QString woman30 = QStringLiteral("Max Muster  weiblich 30Jahre");
const QString oneDigitWoman = QStringLiteral("Max Muster  weiblich 9Jahre");

QString rgbText(Rgb c)
{
    return QStringLiteral("%1,%2,%3").arg(c.red).arg(c.green).arg(c.blue);
}

QString pointText(QPoint p)
{
    return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
}

// One text per primitive, so that a difference shows where it lies.
QStringList described(const Drawing &drawing)
{
    QStringList texts;
    for (const DrawnShape &shape : drawing) {
        if (const auto *line = std::get_if<DrawnLine>(&shape)) {
            texts << QStringLiteral("line %1-%2 color %3 pen %4")
                         .arg(pointText(line->from), pointText(line->to), rgbText(line->color))
                         .arg(line->penWidth);
        } else if (const auto *box = std::get_if<DrawnBox>(&shape)) {
            texts << QStringLiteral("box %1-%2 outline %3 fill %4 style %5 pen %6")
                         .arg(pointText(box->corner1), pointText(box->corner2),
                              rgbText(box->outline), rgbText(box->fill))
                         .arg(int(box->fillStyle))
                         .arg(box->penWidth);
        }
    }
    return texts;
}

QString box(int y1, int y2)
{
    return QStringLiteral("box (3865,%1)-(11865,%2) outline 255,3,5 fill 255,100,100 style 6 pen 1")
        .arg(y1)
        .arg(y2);
}

QString segment(int x1, int y1, int x2, int y2)
{
    return QStringLiteral("line (%1,%2)-(%3,%4) color 0,0,0 pen 2").arg(x1).arg(y1).arg(x2).arg(y2);
}

struct ChartWindow : WindowFixture
{
    ChartWindow()
    {
        create();
        field("text")->setText(QStringLiteral("Max"));
        field("Text7")->setText(QStringLiteral("Muster"));
    }
    void writePerson(const QStringList &lines)
    {
        writeFile(filePath(QStringLiteral("Max Muster.txt")), storedBytes(lines));
    }
    void fillMeasurement()
    {
        field("Text5")->setText(QStringLiteral("55"));
        field("Text1")->setText(QStringLiteral("72,5"));
        field("Text2")->setText(QStringLiteral("1750"));
        field("bmi")->setText(QStringLiteral("23"));
    }
    QStringList fieldTexts() const
    {
        return {field("Text5")->text(), field("Text1")->text(), field("Text2")->text(),
                field("bmi")->text()};
    }
    int selectedOption() const
    {
        if (find<QRadioButton>("Option1")->isChecked())
            return 1;
        return find<QRadioButton>("Option2")->isChecked() ? 2 : 0;
    }
    QStringList picture() const { return described(form->surface().drawing()); }
    void chart() { button("Command1")->click(); }
};

} // namespace

class TstChartView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void workedExampleIsDrawnInOrder()
    {
        ChartWindow w;
        w.writePerson(personLines(man30, {"23", "24", "45"}));
        w.fillMeasurement();

        w.chart();

        QCOMPARE(w.messages.shown, QStringList());
        QCOMPARE(w.fieldTexts(), (QStringList{"30", "", "", ""}));
        QCOMPARE(w.picture(),
                 (QStringList{box(4905, 4000), box(3080, 135), segment(3861, 3448, 4128, 3264),
                              segment(4127, 3264, 4394, 136)}));
    }

    void headerGivesAgeSexAndBand_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("optionBefore");
        QTest::addColumn<QString>("age");
        QTest::addColumn<int>("optionAfter");
        QTest::addColumn<int>("lowerBoxEnd");
        QTest::addColumn<int>("upperBoxStart");

        QTest::newRow("man") << man30 << 2 << "30" << 1 << 4000 << 3080;
        QTest::newRow("woman") << woman30 << 1 << "30" << 2 << 4184 << 3264;
        QTest::newRow("one-digit age, female") << oneDigitWoman << 1 << "9" << 2 << 4368 << 3448;
        QTest::newRow("three-digit age, male")
            << QStringLiteral("Max Muster  männlich 100Jahre") << 2 << "100" << 1 << 3264 << 2344;
    }
    void headerGivesAgeSexAndBand()
    {
        QFETCH(QString, header);
        QFETCH(int, optionBefore);
        QFETCH(QString, age);
        QFETCH(int, optionAfter);
        QFETCH(int, lowerBoxEnd);
        QFETCH(int, upperBoxStart);

        ChartWindow w;
        w.writePerson(personLines(header, {"22", "25"}));
        w.fillMeasurement();
        w.find<QRadioButton>(optionBefore == 1 ? "Option1" : "Option2")->setChecked(true);

        w.chart();

        QCOMPARE(w.messages.shown, QStringList());
        QCOMPARE(w.fieldTexts(), (QStringList{age, "", "", ""}));
        QCOMPARE(w.selectedOption(), optionAfter);
        QCOMPARE(w.picture(), (QStringList{box(4905, lowerBoxEnd), box(upperBoxStart, 135),
                                           segment(3861, 3632, 4128, 3080)}));
    }

    void curveLengthFollowsRecords_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QString>("lastSegment");

        QTest::newRow("one record: boxes only") << 1 << 0 << box(3080, 135);
        QTest::newRow("ten records") << 10 << 9 << segment(5989, 3632, 6256, 3632);
        QTest::newRow("forty records") << 40 << 30 << segment(11575, 3632, 11842, 3632);
    }
    void curveLengthFollowsRecords()
    {
        QFETCH(int, records);
        QFETCH(int, segments);
        QFETCH(QString, lastSegment);

        ChartWindow w;
        w.writePerson(personLines(man30, QStringList(records, QStringLiteral("22"))));

        w.chart();

        QCOMPARE(w.messages.shown, QStringList());
        QCOMPARE(w.picture().size(), 2 + segments);
        QCOMPARE(w.picture().last(), lastSegment);
    }

    void clickingTwiceDrawsTheSamePicture()
    {
        ChartWindow w;
        w.writePerson(personLines(woman30, {"17", "31", "48", "12"}));

        w.chart();
        const QStringList first = w.picture();
        w.chart();

        QCOMPARE(first.size(), 5);
        QCOMPARE(w.picture(), first);
        QCOMPARE(w.messages.shown, QStringList());
    }

    void missingFileKeepsWindowAndDrawing_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");

        QTest::newRow("no such person") << "Nie"
                                        << "Mand";
        QTest::newRow("empty names") << ""
                                     << "";
        // These would name files outside the data directory, or none at all.
        QTest::newRow("slash reaches a subfolder") << "sub/Max"
                                                   << "Muster";
        QTest::newRow("backslash") << "sub\\Max"
                                   << "Muster";
        QTest::newRow("colon") << "c:Max"
                               << "Muster";
        QTest::newRow("not Windows-1252") << QStringLiteral("Max\u4e00") << "Muster";
    }
    void missingFileKeepsWindowAndDrawing()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);

        ChartWindow w;
        w.writePerson(personLines(man30, {"23", "24"}));
        // A real file behind the refused name, so only the name check can refuse it.
        writeFile(w.filePath(QStringLiteral("sub/Max Muster.txt")),
                  storedBytes(personLines(woman30, {"30"})));
        w.chart();
        const QStringList before = w.picture();
        w.fillMeasurement();
        w.find<QRadioButton>("Option2")->setChecked(true);
        w.field("text")->setText(first);
        w.field("Text7")->setText(last);

        w.chart();

        QCOMPARE(w.messages.shown, QStringList{"Kein Datensatz vorhanden ! !"});
        QCOMPARE(w.fieldTexts(), (QStringList{"55", "72,5", "1750", "23"}));
        QCOMPARE(w.selectedOption(), 2);
        QCOMPARE(w.picture(), before);
    }

    void unreadableFileIsReportedAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");

        QTest::newRow("empty file") << QByteArray() << "ist unvollständig: Zeile 1 fehlt.";
        QTest::newRow("header and empty line only")
            << storedBytes({man30, QString()}) << "ist unvollständig: Zeile 3 fehlt.";
        QTest::newRow("age not a number")
            << storedBytes(personLines(QStringLiteral("Max Muster  männlich abJahre"), {"22"}))
            << "ist nicht lesbar: In Zeile 1 ist das Alter „ab“ keine Zahl.";
        QTest::newRow("BMI not a number")
            << storedBytes(personLines(man30, {"22", "23", "x?"}))
            << "ist nicht lesbar: In Zeile 5 ist der BMI „x?“ keine Zahl.";
        QTest::newRow("link to another person's file")
            << QByteArray("link to Alt Muster.txt")
            << "ist eine symbolische Verknüpfung und wird nicht geöffnet.";
    }
    void unreadableFileIsReportedAndChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);

        ChartWindow w;
        w.field("text")->setText(QStringLiteral("Alt"));
        writeFile(w.filePath(QStringLiteral("Alt Muster.txt")),
                  storedBytes(personLines(man30, {"20", "21"})));
        w.chart();
        const QStringList before = w.picture();
        w.field("text")->setText(QStringLiteral("Max"));
        if (!bytes.startsWith("link to "))
            writeFile(w.filePath(QStringLiteral("Max Muster.txt")), bytes);
        else if (!makeSymbolicLink(QString::fromLatin1(bytes.mid(8)), w.filePath("Max Muster.txt")))
            QSKIP("no symbolic links on this system");
        w.fillMeasurement();
        w.find<QRadioButton>("Option2")->setChecked(true);

        w.chart();

        const QString file = QDir::toNativeSeparators(w.filePath(QStringLiteral("Max Muster.txt")));
        QCOMPARE(w.messages.shown, QStringList{"Die Datei „" + file + "“ " + problem});
        QCOMPARE(w.fieldTexts(), (QStringList{"55", "72,5", "1750", "23"}));
        QCOMPARE(w.selectedOption(), 2);
        QCOMPARE(w.picture(), before);
    }
};

QTEST_MAIN(TstChartView)
#include "tst_chartview.moc"
