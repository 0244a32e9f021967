#include "gdt/gdtcharset.h"
#include "gdt/gdtrequest.h"

#include <QTest>

// A record from field lines "IIIIcontent", each given its length and CR LF.
static QByteArray gdt(std::initializer_list<QByteArray> fields)
{
    QByteArray bytes;
    for (const QByteArray &field : fields)
        bytes += QByteArray::number(field.size() + 5).rightJustified(3, '0') + field + "\r\n";
    return bytes;
}

class TestGdtRequest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsARequest_data();
    void readsARequest();
    void refusesABadRequest_data();
    void refusesABadRequest();
    void mapsBytesAsEachSetDefines_data();
    void mapsBytesAsEachSetDefines();
    void everyCharacterOfASetSurvivesARoundTrip();
};

void TestGdtRequest::readsARequest_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<int>("sex");
    QTest::addColumn<QString>("patient");
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("wrongLength"); // the first line whose length is not its own

    // As a practice system writes it: code page 437 umlauts, 8100 and a field the
    // station does not use, lengths counted by hand.
    QTest::newRow("practice system, code page 437")
        << QByteArray("01380006302\r\n014810000157\r\n0138315BMI1\r\n0138316EDV1\r\n01092062\r\n"
                      "0153000123456\r\n0153101M\x81ller\r\n0153102J\x81rgen\r\n017310324121960\r\n"
                      "01031101\r\n0223107Hauptstra\xE1"
                      "e 1\r\n")
        << QStringLiteral("Müller") << QStringLiteral("Jürgen") << QDate(1960, 12, 24)
        << int(GdtSex::Male) << QStringLiteral("123456") << 2 << 0;
    QTest::newRow("ANSI, female, patient data")
        << gdt({"80006301", "92063", "30001", "3101Gr\xF6\xDF", "3102Zo\xEB", "310301021990",
                "31102"})
        << QStringLiteral("Größ") << QStringLiteral("Zoë") << QDate(1990, 2, 1)
        << int(GdtSex::Female) << QStringLiteral("1") << 3 << 0;
    QTest::newRow("7-bit German variant")
        << gdt({"80006302", "92061", "30001", "3101M}ller", "3102[rni", "310315012000"})
        << QStringLiteral("Müller") << QStringLiteral("Ärni") << QDate(2000, 1, 15) << 0
        << QStringLiteral("1") << 1 << 0;
    QTest::newRow("no 9206 is code page 437, no birth date or sex")
        << gdt({"80006302", "30001", "3101\x99zt\x81rk", "3102Ali"}) << QStringLiteral("Öztürk")
        << QStringLiteral("Ali") << QDate() << int(GdtSex::Unknown) << QStringLiteral("1") << 2
        << 0;
    QTest::newRow("padded names and number lose their blanks")
        << gdt({"80006302", "3000  42 ", "3101Beispiel  ", "3102 Anna", "3110W"})
        << QStringLiteral("Beispiel") << QStringLiteral("Anna") << QDate() << int(GdtSex::Female)
        << QStringLiteral("42") << 2 << 0;
    QTest::newRow("sex 3 stays unknown, DOS end-of-file byte")
        << gdt({"80006302", "30001", "3101Kim", "3102Lee", "31103"}) + '\x1A'
        << QStringLiteral("Kim") << QStringLiteral("Lee") << QDate() << int(GdtSex::Unknown)
        << QStringLiteral("1") << 2 << 0;
    QTest::newRow("LF alone, empty lines, lengths miscounted, sex in lower case, padded date")
        << QByteArray("01380006302\n\r\n0143000123\n\n0133101Kim\r\n0153102Lee\n0083110w\n"
                      "010310324121960 \r\n")
        << QStringLiteral("Kim") << QStringLiteral("Lee") << QDate(1960, 12, 24)
        << int(GdtSex::Female) << "123" << 2 << 1;
    QTest::newRow("unusable birth date and sex are absent")
        << gdt({"80006302", "30001", "3101Kim", "3102Lee", "310300001960", "31100"}) << "Kim"
        << "Lee" << QDate() << 0 << "1" << 2 << 0;
    QTest::newRow("year first from 1800, no end on the last line, 6311")
        << gdt({"80006311", "30001", "3101Kim", "3102Lee", "310318000101"}).chopped(2) << "Kim"
        << "Lee" << QDate(1800, 1, 1) << 0 << "1" << 2 << 5;
    QTest::newRow("year 1799 is no birth year")
        << gdt({"80006302", "30001", "3101Kim", "3102Lee", "310317990101"}) << "Kim"
        << "Lee" << QDate() << 0 << "1" << 2 << 0;
    QTest::newRow("UTF-8 whatever 9206 says")
        << gdt({"80006302", "92063", "30001", "3101M\xC3\xBCller", "3102J\xC3\xBCrgen"})
        << QStringLiteral("Müller") << QStringLiteral("Jürgen") << QDate() << 0 << "1" << 3 << 0;
    QTest::newRow("bad bytes in fields not used")
        << gdt({"80006302", "92061", "30001", "3101Kim", "3102Lee", "3107\t\xE4", "6220\x81"})
        << QStringLiteral("Kim") << QStringLiteral("Lee") << QDate() << 0 << "1" << 1 << 0;
}

void TestGdtRequest::readsARequest()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, last);
    QFETCH(QString, first);
    QFETCH(QDate, birth);
    QFETCH(int, sex);
    QFETCH(QString, patient);
    QFETCH(int, charset);
    QFETCH(int, wrongLength);
    QCOMPARE(wrongLineLength(bytes).value_or(0), wrongLength);
    const auto parsed = parseGdtRequest(bytes);
    if (const auto *error = std::get_if<GdtError>(&parsed))
        QFAIL(qPrintable(gdtErrorText(*error)));
    const GdtRequest &request = std::get<GdtRequest>(parsed);
    QCOMPARE(request.lastName, last);
    QCOMPARE(request.firstName, first);
    QCOMPARE(request.birthDate.value_or(QDate()), birth);
    QCOMPARE(int(request.sex), sex);
    QCOMPARE(request.patientNumber, patient);
    QCOMPARE(int(request.charset), charset);
    // What the tool writes for a practice system reads back the same.
    QCOMPARE(std::get<GdtRequest>(parseGdtRequest(writeGdtRequest(request))), request);
    QCOMPARE(wrongLineLength(writeGdtRequest(request)), std::nullopt);
}

void TestGdtRequest::refusesABadRequest_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    const QByteArray head = gdt({"80006302", "3101Kim", "3102Lee"});
    QTest::newRow("empty file") << QByteArray() << 0 << "leer";
    QTest::newRow("length not a number") << head + "O143000123\r\n" << 4 << "dreistelligen";
    QTest::newRow("last line cut off is a line") << head + "0103000" << 0 << "3000";
    QTest::newRow("field ID with a letter") << gdt({"80006302", "31O1Kim"}) << 2 << "„31O1“";
    QTest::newRow("no 8000") << gdt({"3101Kim", "3102Lee"}) << 1 << "8000";
    QTest::newRow("record type 6310") << gdt({"80006310", "3101Kim"}) << 1 << "„6310“";
    QTest::newRow("two records") << head + head << 4 << "zweite Satzart";
    QTest::newRow("unknown character set") << head + gdt({"92064"}) << 4 << "„4“";
    QTest::newRow("byte from 80 in 7-bit")
        << gdt({"80006302", "92061", "3101M\x81ller"}) << 3 << "<81>";
    QTest::newRow("a set it does not write names gdt/charset")
        << gdt({"80006302", "3101M\x81\x01ller"}) << 2 << "gdt/charset";
    QTest::newRow("undefined ANSI byte")
        << gdt({"80006302", "3101A\x8D", "92063"}) << 2 << "Windows-ANSI";
    QTest::newRow("control byte") << gdt({"80006302", "3101Ki\tm"}) << 2 << "Spalte 10";
    QTest::newRow("name twice") << head + gdt({"3101Kim"}) << 4 << "schon in Zeile 2";
    QTest::newRow("no last name") << gdt({"80006302", "3102Lee"}) << 0 << "3101";
    QTest::newRow("blank first name") << gdt({"80006302", "3101Kim", "3102  "}) << 0 << "3102";
    QTest::newRow("no patient number") << head << 0 << "3000";
}

void TestGdtRequest::refusesABadRequest()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const auto parsed = parseGdtRequest(bytes);
    QVERIFY(std::holds_alternative<GdtError>(parsed));
    const GdtError error = std::get<GdtError>(parsed);
    QCOMPARE(error.line, line);
    QVERIFY2(error.reason.contains(reason), qPrintable(error.reason));
}

void TestGdtRequest::mapsBytesAsEachSetDefines_data()
{
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint"); // -1: not a character of the set
    QTest::newRow("7-bit @ is §") << 1 << 0x40 << 0xA7;
    QTest::newRow("7-bit [ is Ä") << 1 << 0x5B << 0xC4;
    QTest::newRow("7-bit | is ö") << 1 << 0x7C << 0xF6;
    QTest::newRow("7-bit ~ is ß") << 1 << 0x7E << 0xDF;
    QTest::newRow("7-bit ^ stays") << 1 << 0x5E << 0x5E;
    QTest::newRow("7-bit E4") << 1 << 0xE4 << -1;
    QTest::newRow("437 8E is Ä") << 2 << 0x8E << 0xC4;
    QTest::newRow("437 E1 is ß") << 2 << 0xE1 << 0xDF;
    QTest::newRow("437 FF is no-break space") << 2 << 0xFF << 0xA0;
    QTest::newRow("437 @ stays") << 2 << 0x40 << 0x40;
    QTest::newRow("ANSI 80 is euro") << 3 << 0x80 << 0x20AC;
    QTest::newRow("ANSI DF is ß") << 3 << 0xDF << 0xDF;
    QTest::newRow("ANSI 9D undefined") << 3 << 0x9D << -1;
    QTest::newRow("DEL in any set") << 2 << 0x7F << -1;
    QTest::newRow("NUL in any set") << 3 << 0x00 << -1;
}

void TestGdtRequest::mapsBytesAsEachSetDefines()
{
    QFETCH(int, charset);
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const char b = static_cast<char>(byte);
    const auto text = decodeGdtText(QByteArrayView(&b, 1), GdtCharset(charset));
    QCOMPARE(text ? int(text->at(0).unicode()) : -1, codePoint);
}

void TestGdtRequest::everyCharacterOfASetSurvivesARoundTrip()
{
    for (const GdtCharset set : {GdtCharset::SevenBit, GdtCharset::Cp437, GdtCharset::Ansi}) {
        int characters = 0;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const auto text = decodeGdtText(QByteArrayView(&byte, 1), set);
            if (!text)
                continue;
            ++characters;
            // Windows-1252's 80-9F are read, but written only as ISO 8859-1 has them.
            const bool written = set != GdtCharset::Ansi || b < 0x80 || b >= 0xA0;
            QString unencodable;
            QCOMPARE(encodeGdtText(*text, set, &unencodable), QByteArray(1, written ? byte : '?'));
            QCOMPARE(unencodable.isEmpty(), written);
        }
        QCOMPARE(characters, set == GdtCharset::SevenBit ? 95
                             : set == GdtCharset::Cp437  ? 223
                                                         : 218);
    }
    QString lost;
    QCOMPARE(encodeGdtText(QStringLiteral("a@b€Ł\t"), GdtCharset::SevenBit, &lost), "a?b???");
    QCOMPARE(lost, QStringLiteral("@€Ł\t"));
}

QTEST_GUILESS_MAIN(TestGdtRequest)
#include "tst_gdtrequest.moc"
