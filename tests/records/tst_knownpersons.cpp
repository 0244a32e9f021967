#include "filebytes.h"

#include "records/cp1252.h"
#include "records/knownpersons.h"
#include "records/namefolding.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// A history file as the take-over writes it.
QByteArray historyBytes(const QString &header)
{
    return encodeCp1252(header) + "\r\n\r\n  06.12.2026    72,5kg    1750mm     BMI: 23\r\n";
}

QStringList offered(const QString &dir)
{
    const std::atomic<bool> stop = false;
    const auto persons = PersonDirectoryReader(dir).read(stop);
    QStringList shown;
    for (const KnownPerson &person : persons->all())
        shown << person.shown;
    return shown;
}

} // namespace

class tst_KnownPersons : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void filesOfferedOrNot_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // "fifo": a FIFO of that name
        QTest::addColumn<QString>("shown");    // empty: not offered
        const auto row = [](const char *tag, const char *file, const char *header,
                            const char *shown, QByteArray tail = {}) {
            QTest::newRow(tag) << QString::fromUtf8(file)
                               << (*header ? historyBytes(QString::fromUtf8(header)) + tail : tail)
                               << QString::fromUtf8(shown);
        };
        const char *max = "Max Muster  männlich 41Jahre";
        row("man", "Jürgen Groß.txt", "Jürgen Groß  männlich 41Jahre",
            "Groß, Jürgen – männlich, 41");
        row("age of one digit", "Anna Beispiel.txt", "Anna Beispiel  weiblich 9Jahre",
            "Beispiel, Anna – weiblich, 9");
        row("two blanks: as the header reads", "Anna Maria Beispiel.txt",
            "Anna Maria Beispiel  weiblich 34Jahre", "Anna Maria Beispiel – weiblich, 34");
        row("rating file", "bmi0.txt", "", "", "Untergewicht\r\n");
        row("age no number", "Max Muster.txt", "Max Muster  männlich xyJahre", "");
        row("no sex", "Max Muster.txt", "Max Muster 41Jahre", "");
        row("header alone", "Max Muster.txt", "", "", encodeCp1252(QString::fromUtf8(max)));
        row("line too long", "Max Muster.txt", max, "", QByteArray(65537, 'x'));
        row("longest line", "Max Muster.txt", max, "Muster, Max – männlich, 41",
            QByteArray(65536, 'x'));
        row("FIFO", "Max Muster.txt", "", "", "fifo");
        row("not Windows-1252", "Łukasz Nowak.txt", "Lukasz Nowak  männlich 41Jahre", "");
        row("device name", "NUL Muster.txt", "NUL Muster  männlich 41Jahre", "");
        row("two blanks in a row", "Anna  Beispiel.txt", "Anna  Beispiel  weiblich 34Jahre", "");
        row("blank at the end", "Max Muster .txt", "Max Muster   männlich 41Jahre", "");
        row("other ending", "Max Muster.bak", max, "");
    }
    void filesOfferedOrNot()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
#ifdef Q_OS_UNIX
        if (bytes == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
        if (bytes == "fifo")
            QSKIP("no FIFOs in a folder here");
#endif
        if (bytes != "fifo")
            writeBytes(path, bytes);
        QCOMPARE(offered(dir.path()), shown.isEmpty() ? QStringList() : QStringList{shown});
    }

    void offerInOrderOfTheLines()
    {
        QTemporaryDir dir;
        for (const char *name : {"Zoë Adler", "Jürgen Groß", "Juergen Gross", "anna Baum",
                                 "Anna Maria Beispiel", "Ute Ärger"}) {
            const QString person = QString::fromUtf8(name);
            writeBytes(dir.filePath(person + ".txt"), historyBytes(person + "  weiblich 34Jahre"));
        }
        // Ä sorts as Ae, as in a telephone directory.
        QCOMPARE(offered(dir.path()),
                 QStringList({"Adler, Zoë – weiblich, 34", "Ärger, Ute – weiblich, 34",
                              "Anna Maria Beispiel – weiblich, 34", "Baum, anna – weiblich, 34",
                              "Gross, Juergen – weiblich, 34", "Groß, Jürgen – weiblich, 34"}));
    }

    void typedStartsMatchFolded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("ü typed ue") << "Jürgen Groß"
                                    << "Jue" << true;
        QTest::newRow("ue typed ü") << "Juergen Gross"
                                    << "jü" << true;
        QTest::newRow("ß typed ss") << "Jürgen Groß"
                                    << "gross" << true;
        QTest::newRow("ss typed ß") << "Jürgen Gross"
                                    << "Groß" << true;
        QTest::newRow("ö typed oe") << "Jörg Muster"
                                    << "JOER" << true;
        QTest::newRow("oe typed ö") << "Joerg Muster"
                                    << "jör" << true;
        QTest::newRow("ä typed ae") << "Ute Ärger"
                                    << "aerg" << true;
        QTest::newRow("ae typed ä") << "Ute Aerger"
                                    << "Är" << true;
        QTest::newRow("accent") << "Zoë René"
                                << "rene" << true;
        QTest::newRow("both names") << "Jürgen Groß"
                                    << "juergen   g" << true;
        QTest::newRow("inside a name") << "Jürgen Groß"
                                       << "rg" << false;
        QTest::newRow("ü is not u") << "Jürgen Groß"
                                    << "jur" << false;
        QTest::newRow("longer than the name") << "Ute Ärger"
                                              << "aergerx" << false;
        QTest::newRow("nothing typed") << "Ute Ärger"
                                       << " " << false;
    }
    void typedStartsMatchFolded()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        KnownPerson person;
        person.folded = foldedName(name);
        const KnownPersons persons({person, person}, {}); // one only: at most 1 asked for
        QCOMPARE(persons.matching(typed, 1).size(), std::size_t(matches));
    }

    void nearDuplicates_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("existing"); // the file asked about; empty: none
        QTest::newRow("umlauts spelled out") << "Juergen"
                                             << "Gross"
                                             << "Jürgen Groß.txt";
        QTest::newRow("spelled out, then umlauts") << "Jörg"
                                                   << "Muster"
                                                   << "Joerg Muster.txt";
        QTest::newRow("case") << "jürgen"
                              << "GROSS"
                              << "Jürgen Groß.txt";
        QTest::newRow("swapped") << "Groß"
                                 << "Jürgen"
                                 << "Jürgen Groß.txt";
        QTest::newRow("repeated blanks") << "Anna  Maria"
                                         << "Beispiel"
                                         << "Anna Maria Beispiel.txt";
        QTest::newRow("accent") << "Zoe"
                                << "Adler"
                                << "Zoë Adler.txt";
        QTest::newRow("the file itself") << "Jürgen"
                                         << "Groß"
                                         << "";
        QTest::newRow("another person") << "Jürgen"
                                        << "Grosse"
                                        << "";
    }
    void nearDuplicates()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, existing);
        const KnownPersons persons({}, {"bmi0.txt", "Jürgen Groß.txt", "Joerg Muster.txt",
                                        "Anna Maria Beispiel.txt", "Zoë Adler.txt"});
        QCOMPARE(persons.nearDuplicate(first, last), existing);
    }
};

QTEST_GUILESS_MAIN(tst_KnownPersons)
#include "tst_knownpersons.moc"
