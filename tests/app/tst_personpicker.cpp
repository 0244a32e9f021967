#include "filebytes.h"
#include "windowfixture.h"

#include "records/cp1252.h"
#include "records/rating.h"

#include <QDir>

namespace {

void writePerson(const QString &dir, const QString &name, const QString &sexAge)
{
    writeBytes(dir + '/' + name + ".txt",
               encodeCp1252(name + sexAge) +
                   "\r\n\r\n  06.12.2026    72,5kg    1750mm     BMI: 23\r\n");
}

QStringList fields(const WindowFixture &f)
{
    return {f.field("text")->text(), f.field("Text7")->text(), f.field("Text5")->text(),
            f.find<QRadioButton>("Option2")->isChecked() ? "w" : "m"};
}

} // namespace

class tst_PersonPicker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void typedPersonsArePicked_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("keys"); // d down, u up, e Enter, x Escape, c click on row 2
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("after"); // first, last, age, sex
        const QStringList both{"Gross, Juergen – männlich, 41", "Groß, Jürgen – weiblich, 9"};
        const QStringList typed{"Gr", "Gr", "", "m"};
        QTest::newRow("first entry") << "text"
                                     << "Gr"
                                     << "de" << both << QStringList{"Juergen", "Gross", "41", "m"};
        QTest::newRow("second entry") << "text"
                                      << "Gr"
                                      << "dde" << both << QStringList{"Jürgen", "Groß", "9", "w"};
        QTest::newRow("last name field, up from the end")
            << "Text7"
            << "Jue"
            << "ue" << both << QStringList{"Jürgen", "Groß", "9", "w"};
        QTest::newRow("up stops at the first")
            << "text"
            << "gro"
            << "duuue" << both << QStringList{"Juergen", "Gross", "41", "m"};
        QTest::newRow("down stops at the last")
            << "text"
            << "gro"
            << "ddddde" << both << QStringList{"Jürgen", "Groß", "9", "w"};
        QTest::newRow("mouse") << "text"
                               << "Gro"
                               << "c" << both << QStringList{"Jürgen", "Groß", "9", "w"};
        QTest::newRow("Escape: typing stays") << "text"
                                              << "Gr"
                                              << "dx" << both << typed;
        QTest::newRow("Enter without a choice") << "text"
                                                << "Gr"
                                                << "e" << both << typed;
        QTest::newRow("no one") << "text"
                                << "Gx"
                                << "de" << QStringList() << QStringList{"Gx", "Gr", "", "m"};
    }
    void typedPersonsArePicked()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, keys);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, after);
        WindowFixture f;
        writePerson(f.dir.path(), "Jürgen Groß", "  weiblich 9Jahre");
        writeBytes(f.filePath("Bea Grau.txt"), "Bea Grau  weiblich xxJahre\r\n\r\n");
        writeBytes(f.filePath("bmi0.txt"), "Gr\r\n");
        f.create();
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        writePerson(f.dir.path(), "Juergen Gross", "  männlich 41Jahre"); // as another station
        f.field("Text7")->setText(field == "Text7" ? QString() : QString("Gr"));
        auto *list = f.form->findChild<QListWidget *>("Personen");
        QCOMPARE(list->accessibleName(), QStringLiteral("Bekannte Personen"));
        QLineEdit *edit = f.field(qPrintable(field));
        edit->setFocus();
        // The directory is read apart from typing, which never waits for it.
        QTRY_COMPARE_WITH_TIMEOUT((edit->clear(), QTest::keyClicks(edit, typed), list->count()),
                                  offered.size(), 10000);
        QStringList shown, spoken;
        for (int row = 0; row < list->count(); ++row) {
            shown << list->item(row)->text();
            spoken << list->item(row)->data(Qt::AccessibleTextRole).toString();
        }
        QCOMPARE(shown, offered);
        QCOMPARE(list->isVisible(), !offered.isEmpty());
        if (!offered.isEmpty())
            QCOMPARE(spoken.first(), QStringLiteral("Gross, Juergen, männlich, 41 Jahre"));
        for (const QChar key : keys) {
            if (key == 'c') {
                const QRect row = list->visualItemRect(list->item(1));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
            } else {
                QTest::keyClick(edit, key == 'd'   ? Qt::Key_Down
                                      : key == 'u' ? Qt::Key_Up
                                      : key == 'e' ? Qt::Key_Return
                                                   : Qt::Key_Escape);
            }
        }
        QCOMPARE(fields(f), after);
        QVERIFY(!list->isVisible());
        QCOMPARE(QApplication::focusWidget(), edit);
    }

    void newFileNearAKnownOneIsAsked_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("yes") << true << QStringList{"Juergen Gross.txt", "Jürgen Groß.txt"};
        QTest::newRow("no") << false << QStringList{"Jürgen Groß.txt"};
    }
    void newFileNearAKnownOneIsAsked()
    {
        QFETCH(bool, yes);
        QFETCH(QStringList, files);
        WindowFixture f;
        writePerson(f.dir.path(), "Jürgen Groß", "  männlich 41Jahre");
        const QByteArray before = readBytes(f.filePath("Jürgen Groß.txt"));
        for (int c = 0; c <= 5; ++c)
            writeBytes(ratingFilePath(f.dir.path(), c), "Bewertung\r\n");
        f.create();
        const QStringList entries{"Juergen", "Gross", "41", "m"};
        f.field("text")->setText(entries[0]);
        f.field("Text7")->setText(entries[1]);
        f.field("Text5")->setText(entries[2]);
        f.field("Text1")->setText("72,5");
        f.field("Text2")->setText("1750");
        f.messages.answerOk = yes;
        f.button("Command2")->click();
        QCOMPARE(f.messages.shown,
                 QStringList{"Es gibt schon „Jürgen Groß.txt“. Trotzdem eine neue Datei „Juergen "
                             "Gross.txt“ anlegen?"});
        QCOMPARE(QDir(f.dir.path()).entryList({"* *.txt"}, QDir::Files), files);
        QCOMPARE(readBytes(f.filePath("Jürgen Groß.txt")), before);
        QCOMPARE(fields(f), entries);
        QCOMPARE(f.field("bmi")->text(), yes ? "23" : "");
        f.button("Command2")->click(); // the file is there now: no second question
        QCOMPARE(f.messages.shown.size(), yes ? 1 : 2);
    }
};

QTEST_MAIN(tst_PersonPicker)
#include "tst_personpicker.moc"
