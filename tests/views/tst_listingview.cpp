#include "personfiles.h"
#include "windowfixture.h"

#include <QLocale>

// The table listing through the real window: every line of the PersonFile becomes one
// item of List1, exactly as stored.

namespace {

struct ListingWindow : WindowFixture
{
    ListingWindow()
    {
        create();
        field("text")->setText(QStringLiteral("Anna"));
        field("Text7")->setText(QStringLiteral("Beispiel"));
        field("Text1")->setText(QStringLiteral("72,5"));
        field("Text2")->setText(QStringLiteral("1750"));
        field("bmi")->setText(QStringLiteral("23"));
        field("Text5")->setText(QStringLiteral("34"));
        list()->addItems({QStringLiteral("Bewertung 1"), QStringLiteral("Bewertung 2")});
    }
    QString personPath() const { return filePath(QStringLiteral("Anna Beispiel.txt")); }
    QStringList measurementFields() const
    {
        return {field("Text1")->text(), field("Text2")->text(), field("bmi")->text()};
    }
    void listing() { button("Command5")->click(); }
};

const QStringList emptied{"", "", ""};
const QStringList untouched{"72,5", "1750", "23"};
const QStringList oldItems{"Bewertung 1", "Bewertung 2"};
const QString noRecord = QStringLiteral("Kein Datensatz vorhanden ! !");

} // namespace

class TstListingView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void everyLineBecomesOneItemAsStored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");

        const QStringList written{"Anna Beispiel  weiblich 34Jahre", "",
                                  "  06.12.2026    72,5kg    1750mm     BMI: 23",
                                  "  07.12.2026    71,9kg    1750mm     BMI: 23",
                                  "  08.12.2026    -1,77635683940025E-15kg    1750mm     BMI: 9,"};
        QTest::newRow("three records, leading blanks kept") << storedBytes(written) << written;
        QTest::newRow("Windows-1252 letters")
            << QByteArray("Max M\xfcller  m\xe4nnlich 41Jahre\r\n"
                          "\r\n  \x80 \xdf  \r\n")
            << QStringList{"Max Müller  männlich 41Jahre", "", "  € ß  "};
        QTest::newRow("hand edit without last line end")
            << QByteArray("kopf\r\n\r\n  letzte") << QStringList{"kopf", "", "  letzte"};
        QTest::newRow("empty line at the end")
            << QByteArray("kopf\r\n\r\n\r\n") << QStringList{"kopf", "", ""};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void everyLineBecomesOneItemAsStored()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);

        ListingWindow w;
        writeFile(w.personPath(), bytes);

        w.listing();

        QCOMPARE(w.messages.shown, QStringList());
        QCOMPARE(w.listItems(), items);
        QCOMPARE(w.measurementFields(), emptied);
        QCOMPARE(w.field("Text5")->text(), QStringLiteral("34"));
    }

    void withoutBothNamesOnlyTheMessage_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");

        QTest::newRow("no first name") << ""
                                       << "Beispiel";
        QTest::newRow("no last name") << "Anna"
                                      << "";
        QTest::newRow("no names") << ""
                                  << "";
    }
    void withoutBothNamesOnlyTheMessage()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);

        ListingWindow w;
        // Files the two half names could be taken for: neither may be listed.
        writeFile(w.filePath(QStringLiteral(" Beispiel.txt")), storedBytes({"falsch"}));
        writeFile(w.filePath(QStringLiteral("Anna .txt")), storedBytes({"falsch"}));
        w.field("text")->setText(first);
        w.field("Text7")->setText(last);

        w.listing();

        QCOMPARE(w.messages.shown, QStringList{noRecord});
        QCOMPARE(w.listItems(), oldItems);
        QCOMPARE(w.measurementFields(), untouched);
    }

    void noFileEmptiesThenShowsTheMessage_data()
    {
        QTest::addColumn<QString>("first");

        QTest::newRow("no such person") << "Berta";
        // Refused names name no file, even where one lies behind them.
        QTest::newRow("slash into a subfolder") << "sub/Anna";
        QTest::newRow("parent folder") << "../Anna";
        QTest::newRow("wildcard") << "Ann*";
        QTest::newRow("control character") << "Anna\t";
    }
    void noFileEmptiesThenShowsTheMessage()
    {
        QFETCH(QString, first);

        ListingWindow w;
        writeFile(w.personPath(), storedBytes({"kopf", "", "  satz"}));
        writeFile(w.filePath(QStringLiteral("sub/Anna Beispiel.txt")), storedBytes({"kopf"}));
        w.field("text")->setText(first);

        w.listing();

        QCOMPARE(w.messages.shown, QStringList{noRecord});
        QCOMPARE(w.listItems(), QStringList());
        QCOMPARE(w.measurementFields(), emptied);
    }

    void clickingTwiceGivesTheSameList()
    {
        ListingWindow w;
        const QStringList lines{"Anna Beispiel  weiblich 34Jahre", "", "  a BMI: 23"};
        writeFile(w.personPath(), storedBytes(lines));

        w.listing();
        w.listing();

        QCOMPARE(w.listItems(), lines);
        QCOMPARE(w.messages.shown, QStringList());
    }

    void longHistoryIsListedWhole()
    {
        ListingWindow w;
        QStringList lines{"Anna Beispiel  weiblich 34Jahre", ""};
        for (int i = 0; i < 100000; ++i)
            lines << QStringLiteral("  06.12.2026    %1kg    1750mm     BMI: 23").arg(i);
        writeFile(w.personPath(), storedBytes(lines));

        w.listing();

        QCOMPARE(w.list()->count(), lines.size());
        QCOMPARE(w.listItems(), lines);
        QVERIFY(w.list()->uniformItemSizes());
    }
};

QTEST_MAIN(TstListingView)
#include "tst_listingview.moc"
