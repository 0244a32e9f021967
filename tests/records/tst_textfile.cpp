#include "common/failure.h"
#include "filebytes.h"
#include "records/textfile.h"

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
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("one line") << QByteArray("abc\r\n") << QStringList{"abc"};
    QTest::newRow("header, empty line, record")
        << QByteArray("Anna Beispiel  weiblich 34Jahre\r\n\r\n  06.12.2026    72,5kg\r\n")
        << QStringList{"Anna Beispiel  weiblich 34Jahre", "", "  06.12.2026    72,5kg"};
    QTest::newRow("last line without end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("lone LF ends a line") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("lone CR stays in the line")
        << QByteArray("a\rb\r\n") << QStringList{QStringLiteral("a\rb")};
    QTest::newRow("Windows-1252 bytes")
        << QByteArray("M\xE4nnlich \x80 \x9F\r\n") << QStringList{QStringLiteral("Männlich € Ÿ")};
    QTest::newRow("leading blanks kept") << QByteArray("  x  \r\n") << QStringList{"  x  "};
}

void TestTextFile::readsLinesWithoutTheirEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const QString path = m_dir.filePath(QStringLiteral("lines.txt"));
    writeBytes(path, bytes);

    TextFileReader reader(path);
    QStringList read;
    while (!reader.atEnd())
        read << reader.readLine();
    QCOMPARE(read, lines);
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
    lines << QString(200000, QLatin1Char('x'));
    bytes += QByteArray(200000, 'x') + "\r\n";
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
    QVERIFY(!fileExists(m_dir.path()));
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
