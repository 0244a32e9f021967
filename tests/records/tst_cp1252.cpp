#include "records/cp1252.h"

#include <QTest>

class TestCp1252 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodesEachByteAsTheCodePageDefines_data();
    void decodesEachByteAsTheCodePageDefines();
    void everyByteSurvivesARoundTrip();
    void reportsWhatItCannotEncode_data();
    void reportsWhatItCannotEncode();
};

void TestCp1252::decodesEachByteAsTheCodePageDefines_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("ascii A") << 0x41 << 0x41;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 81") << 0x81 << 0x81;
    QTest::newRow("low quote") << 0x84 << 0x201E;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("undefined 8D") << 0x8D << 0x8D;
    QTest::newRow("undefined 8F") << 0x8F << 0x8F;
    QTest::newRow("undefined 90") << 0x90 << 0x90;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("undefined 9D") << 0x9D << 0x9D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0xA0;
    QTest::newRow("a umlaut") << 0xE4 << 0xE4;
    QTest::newRow("sharp s") << 0xDF << 0xDF;
    QTest::newRow("y diaeresis") << 0xFF << 0xFF;
}

void TestCp1252::decodesEachByteAsTheCodePageDefines()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const char b = static_cast<char>(byte);
    const QString decoded = decodeCp1252(QByteArrayView(&b, 1));
    QCOMPARE(decoded.size(), 1);
    QCOMPARE(int(decoded.at(0).unicode()), codePoint);
}

void TestCp1252::everyByteSurvivesARoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = decodeCp1252(all);
    QCOMPARE(text.size(), 256);
    QString unencodable;
    QCOMPARE(encodeCp1252(text, &unencodable), all);
    QVERIFY(unencodable.isEmpty());
    QVERIFY(isCp1252Encodable(text));
}

void TestCp1252::reportsWhatItCannotEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("unencodable");
    QTest::newRow("german") << QStringLiteral("Müßig 5 €") << QByteArray("M\xFC\xDFig 5 \x80")
                            << QString();
    QTest::newRow("polish l") << QStringLiteral("Łukasz") << QByteArray("?ukasz")
                              << QStringLiteral("Ł");
    // A C1 control whose byte the code page gives to another character.
    QTest::newRow("C1 control 80")
        << QStringLiteral("a\u0080") << QByteArray("a?") << QStringLiteral("\u0080");
    QTest::newRow("repeated, listed once")
        << QStringLiteral("ĀxĀ✓") << QByteArray("?x??") << QStringLiteral("Ā✓");
    QTest::newRow("surrogate pair is one character")
        << QStringLiteral("a\U0001F600b") << QByteArray("a?b") << QStringLiteral("\U0001F600");
    QTest::newRow("lone surrogate")
        << QString(QChar(0xD800)) << QByteArray("?") << QString(QChar(0xD800));
}

void TestCp1252::reportsWhatItCannotEncode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, unencodable);
    QString reported;
    QCOMPARE(encodeCp1252(text, &reported), bytes);
    QCOMPARE(reported, unencodable);
    QCOMPARE(cp1252Unencodable(text), unencodable);
    QCOMPARE(isCp1252Encodable(text), unencodable.isEmpty());
}

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
