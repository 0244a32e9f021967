#include "gdt/age.h"
#include "gdt/gdtanswer.h"
#include "gdt/gdtorder.h"
#include "records/childbmi.h"

#include <QTest>

using Fields = QList<QPair<QByteArray, QString>>;

class TestGdtAnswer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesEveryFieldInOrder_data();
    void writesEveryFieldInOrder();
    void countsAgeInWholeYears_data();
    void countsAgeInWholeYears();
    void percentileInWindowAndAnswer_data();
    void percentileInWindowAndAnswer();
};

// The answer to a request for Anna, as the worklist kept it; receiver and sender IDs and
// an unreadable birth date of the request as given.
static GdtAnswer anna(const QString &requestReceiver = {}, const QString &requestSender = {},
                      const QString &unreadBirth = {})
{
    GdtRequest request;
    request.receiverId = requestReceiver;
    request.senderId = requestSender;
    request.charset = GdtCharset::Cp437;
    request.patientNumber = QStringLiteral("4711");
    request.lastName = QStringLiteral("Müßig");
    request.firstName = QStringLiteral("Anna");
    request.birthDate = unreadBirth.isEmpty() ? std::optional(QDate(1990, 2, 1)) : std::nullopt;
    request.birthDateUnread = unreadBirth;
    request.sex = GdtSex::Female;
    request.requestIdent = QStringLiteral("A-17");
    request.requestUid = QStringLiteral("9f3c");
    GdtAnswer answer = answerTo(gdtRequestOfOrder(orderOfGdtRequest(request, {})),
                                QStringLiteral("BMI1"), QStringLiteral("EDV1"));
    answer.sex = GdtSex::Female; // the take-over's, not the request's
    answer.takenAt = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7));
    answer.weightKg = 72.5;
    answer.heightMm = 1750;
    answer.findings = QStringList{QStringLiteral("Bewertung: Übergewicht."), QString(),
                                  QStringLiteral("Mehr Bewegung.")};
    return answer;
}

// Fields of anna() from 9218 on, weights and heights, then findings as given.
static Fields annaFields(const QString &height, const QString &weight, const QString &bmi,
                         const Fields &findings)
{
    Fields fields{
        {"9218", "02.10"},    {"3000", "4711"}, {"3101", "Müßig"},    {"3102", "Anna"},
        {"3103", "01021990"}, {"3110", "2"},    {"6200", "06122026"}, {"6201", "090507"},
        {"3622", height},     {"3623", weight}, {"8410", "GEWICHT"},  {"8411", "Gewicht"},
        {"8420", weight},     {"8421", "kg"},   {"8410", "GROESSE"},  {"8411", "Größe"},
        {"8420", height},     {"8421", "cm"},   {"8410", "BMI"},      {"8411", "Body-Mass-Index"},
        {"8420", bmi},        {"8421", "kg/m2"}};
    return fields.first(1) + Fields{{"8310", "A-17"}, {"8314", "9f3c"}} + fields.sliced(1) +
           findings;
}

void TestGdtAnswer::writesEveryFieldInOrder_data()
{
    QTest::addColumn<GdtAnswer>("answer");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("unencodable");
    QTest::addColumn<QString>("to");   // 8315
    QTest::addColumn<QString>("from"); // 8316
    const Fields findings{{"6220", "Bewertung: Übergewicht."}, {"6220", "Mehr Bewegung."}};
    QTest::newRow("72.5 kg, 1750 mm, empty finding left out")
        << anna() << annaFields("175.0", "72.5", "23.7", findings) << QString() << "EDV1"
        << "BMI1";

    GdtAnswer odd = anna();
    odd.weightKg = 72.53012048;
    odd.heightMm = 1753;
    QTest::newRow("one decimal, rounded")
        << odd << annaFields("175.3", "72.5", "23.6", findings) << QString() << "EDV1"
        << "BMI1";

    GdtAnswer ids = anna(QStringLiteral("WAAGE_01"), QStringLiteral("PRAXIS"));
    QTest::newRow("back to the request's own IDs")
        << ids << annaFields("175.0", "72.5", "23.7", findings) << QString() << "PRAXIS"
        << "WAAGE_01";

    Fields unread = annaFields("175.0", "72.5", "23.7", findings);
    unread[6].second = QStringLiteral("1990-02-01");
    QTest::newRow("an unreadable birth date as the request wrote it")
        << anna({}, {}, unread[6].second) << unread << QString() << "EDV1"
        << "BMI1";

    GdtAnswer sevenBit = anna();
    sevenBit.charset = GdtCharset::SevenBit;
    sevenBit.findings = QStringList{QStringLiteral("Grüße an info@praxis.de – 5 €")};
    QTest::newRow("7-bit: what it cannot hold becomes ?")
        << sevenBit
        << annaFields("175.0", "72.5", "23.7", {{"6220", "Grüße an info?praxis.de ? 5 ?"}})
        << QStringLiteral("@–€") << "EDV1"
        << "BMI1";

    GdtAnswer child = anna();
    child.bmiPercentile = 36.24;
    const Fields percentile{
        {"8410", "BMIPERZ"}, {"8411", "BMI-Perzentile"}, {"8420", "36"}, {"8421", "%"}};
    QTest::newRow("a child's percentile as a fourth test")
        << child << annaFields("175.0", "72.5", "23.7", percentile + findings) << QString()
        << "EDV1"
        << "BMI1";

    GdtAnswer longLine = anna();
    const QString word(70, QLatin1Char('x'));
    longLine.findings = QStringList{QStringLiteral("Mit einem Body-Mass-Index über 30 ist das "
                                                   "Risiko für ") +
                                    word};
    QTest::newRow("findings in lines of at most 60 characters, between words")
        << longLine
        << annaFields("175.0", "72.5", "23.7",
                      {{"6220", "Mit einem Body-Mass-Index über 30 ist das Risiko für"},
                       {"6220", word.first(60)},
                       {"6220", word.sliced(60)}})
        << QString() << "EDV1"
        << "BMI1";
}

void TestGdtAnswer::writesEveryFieldInOrder()
{
    QFETCH(GdtAnswer, answer);
    QFETCH(Fields, fields);
    QFETCH(QString, unencodable);
    QFETCH(QString, to);
    QFETCH(QString, from);
    QString lost;
    const QByteArray bytes = writeGdtAnswer(answer, &lost);
    QCOMPARE(lost, unencodable);
    QCOMPARE(wrongLineLength(bytes), std::nullopt);

    const auto read = readGdtRecord(bytes);
    QVERIFY(std::holds_alternative<GdtRecord>(read));
    const GdtRecord &record = std::get<GdtRecord>(read);
    QCOMPARE(record.charset, answer.charset);
    Fields written;
    for (const GdtField &f : record.fields)
        written.append({f.id, f.content});
    const Fields head{{"8000", "6310"},
                      {"8100", QString::number(bytes.size()).rightJustified(5, u'0')},
                      {"8315", to},
                      {"8316", from},
                      {"9206", QString::number(int(answer.charset))}};
    QCOMPARE(written, head + fields);
}

void TestGdtAnswer::countsAgeInWholeYears_data()
{
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("age"); // -1: none
    QTest::newRow("birthday today") << QDate(1990, 6, 15) << QDate(2026, 6, 15) << 36;
    QTest::newRow("day before birthday") << QDate(1990, 6, 15) << QDate(2026, 6, 14) << 35;
    QTest::newRow("earlier month") << QDate(1990, 6, 15) << QDate(2026, 5, 30) << 35;
    QTest::newRow("born today") << QDate(2026, 3, 1) << QDate(2026, 3, 1) << 0;
    QTest::newRow("29 Feb, on 28 Feb") << QDate(2000, 2, 29) << QDate(2025, 2, 28) << 24;
    QTest::newRow("29 Feb, on 1 Mar") << QDate(2000, 2, 29) << QDate(2025, 3, 1) << 25;
    QTest::newRow("29 Feb, leap year") << QDate(2000, 2, 29) << QDate(2024, 2, 29) << 24;
    QTest::newRow("born tomorrow") << QDate(2026, 3, 2) << QDate(2026, 3, 1) << -1;
    QTest::newRow("no birth date") << QDate() << QDate(2026, 3, 1) << -1;
}

void TestGdtAnswer::countsAgeInWholeYears()
{
    QFETCH(QDate, birth);
    QFETCH(QDate, today);
    QFETCH(int, age);
    QCOMPARE(ageInYears(birth, today).value_or(-1), age);
    QCOMPARE(std::floor(exactAgeInYears(birth, today).value_or(-1)), age);
}

// The window's text beside the answer's: clamps, and the class limits 3, 10, 90, 97 and
// 99.5 each met exactly, and just short of or past where a shown value would meet it.
void TestGdtAnswer::percentileInWindowAndAnswer_data()
{
    QTest::addColumn<QStringList>("row"); // percentile, window, answer
    for (const char *row :
         {"0.0999|< 0,1|<0.1", "0.1|0,1|0.1",         "0.96|1,0|1.0",      "2.49|2|2",
          "2.5|2,5|2.5",       "2.99|2,99|2.99",      "2.999|2,99|2.99",   "3|3|3",
          "3.01|3,01|3.01",    "3.49|3,5|3.5",        "3.5|4|4",           "9.6|9,6|9.6",
          "10|10|10",          "10.5|11|11",          "89.49|89|89",       "89.5|89,5|89.5",
          "90|90|90",          "90.004|90,01|90.01",  "96.96|96,96|96.96", "97|97|97",
          "97.5|98|98",        "99.46|99,46|99.46",   "99.5|99,5|99.5",    "99.549|99,55|99.55",
          "99.9|99,9|99.9",    "99.9001|> 99,9|>99.9"})
        QTest::newRow(row) << QString::fromLatin1(row).split(QLatin1Char('|'));
}

void TestGdtAnswer::percentileInWindowAndAnswer()
{
    QFETCH(QStringList, row);
    const double percentile = row.takeFirst().toDouble();
    QCOMPARE(QStringList(
                 {percentileText(percentile, QLocale(QLocale::German)), gdtPercentile(percentile)}),
             row);
}

QTEST_GUILESS_MAIN(TestGdtAnswer)
#include "tst_gdtanswer.moc"
