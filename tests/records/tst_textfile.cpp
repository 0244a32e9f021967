#include "common/failure.h"
#include "filebytes.h"
#include "files/atomicfile.h"
#include "records/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTextFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsLinesWithoutTheirEnds_data();
    void readsLinesWithoutTheirEnds();
    void readsLinesAcrossBufferBoundaries();
    void refusesAFileItCannotOpen();
    void fileExistsOnlyForFiles();
    void encodesLinesWithCrLf();
    void refusesToEncodeWhatTheCodePageLacks();
    void createsOnlyANewFile();
    void appendsOnlyToAnExistingFile();
    void reportsAFileThatCannotBeCreated();

private:
    QTemporaryDir m_dir;
};

void TestTextFile::readsLinesWithoutTheirEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines"); // read before the refused line
    QTest::addColumn<int>("refusedLine");   // 0: none
    QTest::newRow("empty file") << QByteArray() << QStringList{} << 0;
    QTest::newRow("one line") << QByteArray("abc\r\n") << QStringList{"abc"} << 0;
    QTest::newRow("header, empty line, record")
        << QByteArray("Anna Beispiel  weiblich 34Jahre\r\n\r\n  06.12.2026    72,5kg\r\n")
        << QStringList{"Anna Beispiel  weiblich 34Jahre", "", "  06.12.2026    72,5kg"} << 0;
    QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{"a", "b"} << 0;
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""} << 0;
    QTest::newRow("lone LF ends a line") << QByteArray("a\nb\n") << QStringList{"a", "b"} << 0;
    QTest::newRow("lone CR stays in the line")
        << QByteArray("a\rb\r\n") << QStringList{QStringLiteral("a\rb")} << 0;
    QTest::newRow("Windows-1252 bytes") << QByteArray("M\xE4nnlich \x80 \x9F\r\n")
                                        << QStringList{QStringLiteral("Männlich € Ÿ")} << 0;
    QTest::newRow("leading blanks kept") << QByteArray("  x  \r\n") << QStringList{"  x  "} << 0;
    const QByteArray longest(maxLineBytes, 'x');
    QTest::newRow("longest line with CR LF")
        << QByteArray("a\r\n" + longest + "\r\nb") << QStringList{"a", longest, "b"} << 0;
    QTest::newRow("longest line at the end") << longest << QStringList{longest} << 0;
    QTest::newRow("one byte too long with CR LF")
        << QByteArray("a\r\n" + longest + "x\r\nb") << QStringList{"a"} << 2;
    QTest::newRow("one byte too long at the end")
        << QByteArray("a\nb\n" + longest + "x") << QStringList{"a", "b"} << 3;
    QTest::newRow("a megabyte without line end")
        << QByteArray("a\n" + QByteArray(1 << 20, 'x')) << QStringList{"a"} << 2;
}

void TestTextFile::readsLinesWithoutTheirEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, refusedLine);
    const QString path = m_dir.filePath(QStringLiteral("lines.txt"));
    writeBytes(path, bytes);

    TextFileReader reader(path);
    QStringList read;
    try {
        while (!reader.atEnd())
            read << reader.readLine();
        QCOMPARE(refusedLine, 0);
    } catch (const Failure &failure) {
        QCOMPARE(failure.message(), QStringLiteral("Die Datei „%1“ ist nicht lesbar: Zeile %2 ist "
                                                   "länger als 65536 Zeichen.")
                                        .arg(QDir::toNativeSeparators(path))
                                        .arg(refusedLine));
    }
    QCOMPARE(read, lines);
    if (refusedLine == 0)
        QCOMPARE(readAllLines(path), lines);
}

void TestTextFile::readsLinesAcrossBufferBoundaries()
{
    // Lines of many lengths, one far longer than any read buffer, so that line ends
    // fall on every kind of chunk edge.
    QStringList lines;
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
        const QString line = QString(i % 97, QLatin1Char('a' + i % 26)) + QString::number(i);
        lines << line;
        bytes += line.toLatin1() + "\r\n";
    }
    lines << QString(maxLineBytes, QLatin1Char('x'));
    bytes += QByteArray(maxLineBytes, 'x') + "\r\n";
    lines << QStringLiteral("Ende");
    bytes += "Ende\r\n";
    const QString path = m_dir.filePath(QStringLiteral("long.txt"));
    writeBytes(path, bytes);
    QCOMPARE(readAllLines(path), lines);
}

void TestTextFile::refusesAFileItCannotOpen()
{
    const QString path = m_dir.filePath(QStringLiteral("nicht da.txt"));
    try {
        TextFileReader reader(path);
        QFAIL("a missing file was opened");
    } catch (const Failure &failure) {
        QVERIFY2(failure.message().contains(QStringLiteral("nicht da.txt")),
                 qPrintable(failure.message()));
        QVERIFY(failure.message().contains(QStringLiteral("geöffnet")));
    }
}

void TestTextFile::fileExistsOnlyForFiles()
{
    const QString path = m_dir.filePath(QStringLiteral("da.txt"));
    writeBytes(path, "x");
    QVERIFY(fileExists(path));
    QVERIFY(!fileExists(m_dir.filePath(QStringLiteral("fehlt.txt"))));
    // Anything else under a file's name is refused, not taken for a missing file.
    QVERIFY_THROWS_EXCEPTION(Failure, fileExists(m_dir.path()));
}

void TestTextFile::encodesLinesWithCrLf()
{
    QCOMPARE(encodeLines(QStringLiteral("x"), {QStringLiteral("männlich"), QString(), "1"}),
             QByteArray("m\xE4nnlich\r\n\r\n1\r\n"));
}

void TestTextFile::refusesToEncodeWhatTheCodePageLacks()
{
    try {
        encodeLines(QStringLiteral("/daten/Łukasz X.txt"), {QStringLiteral("Łukasz")});
        QFAIL("an unencodable line was encoded");
    } catch (const Failure &failure) {
        QVERIFY(failure.message().contains(QStringLiteral("Łukasz X.txt")));
        QVERIFY(failure.message().contains(QStringLiteral("„Ł“")));
    }
}

void TestTextFile::createsOnlyANewFile()
{
    const QString path = m_dir.filePath(QStringLiteral("neu.txt"));
    QVERIFY(createNewFile(path, "erst\r\n"));
    QCOMPARE(readBytes(path), QByteArray("erst\r\n"));
    QVERIFY(!createNewFile(path, "zweit\r\n"));
    QCOMPARE(readBytes(path), QByteArray("erst\r\n"));
}

void TestTextFile::appendsOnlyToAnExistingFile()
{
    const QString path = m_dir.filePath(QStringLiteral("anhang.txt"));
    QVERIFY(!appendToExistingFile(path, "x\r\n"));
    QVERIFY(!QFile::exists(path));
    writeBytes(path, "a\r\n");
    QVERIFY(appendToExistingFile(path, "b\r\n"));
    QVERIFY(appendToExistingFile(path, "c\r\n"));
    QCOMPARE(readBytes(path), QByteArray("a\r\nb\r\nc\r\n"));
}

void TestTextFile::reportsAFileThatCannotBeCreated()
{
    const QString path = m_dir.filePath(QStringLiteral("kein Ordner/neu.txt"));
    try {
        createNewFile(path, "x");
        QFAIL("a file was created in a missing directory");
    } catch (const Failure &failure) {
        QVERIFY2(failure.message().contains(QStringLiteral("kein Ordner")),
                 qPrintable(failure.message()));
        QVERIFY(failure.message().contains(QStringLiteral("angelegt")));
    }
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
