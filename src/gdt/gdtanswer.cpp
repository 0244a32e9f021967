#include "gdtanswer.h"

#include "records/childbmi.h"
#include "records/rating.h"

GdtAnswer answerTo(const GdtRequest &request, const QString &stationId, const QString &practiceId)
{
    GdtAnswer answer;
    answer.charset = request.charset;
    answer.receiverId = request.senderId.isEmpty() ? practiceId : request.senderId;
    answer.senderId = request.receiverId.isEmpty() ? stationId : request.receiverId;
    answer.deviceCode = request.deviceCode;
    answer.patientNumber = request.patientNumber;
    answer.lastName = request.lastName;
    answer.firstName = request.firstName;
    answer.birthDate = request.birthDate;
    answer.birthDateUnread = request.birthDateUnread;
    answer.requestIdent = request.requestIdent;
    answer.requestUid = request.requestUid;
    return answer;
}

QString gdtDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

QString gdtPercentile(double percentile)
{
    return percentileText(percentile, QLocale::c(), u"");
}

QStringList wrappedLines(const QString &text, qsizetype width)
{
    QStringList lines;
    QStringView rest = QStringView(text).trimmed();
    while (rest.size() > width) {
        qsizetype cut = rest.first(width + 1).lastIndexOf(u' ');
        if (cut <= 0)
            cut = width;
        lines << rest.first(cut).trimmed().toString();
        rest = rest.sliced(cut).trimmed();
    }
    if (!rest.isEmpty())
        lines << rest.toString();
    return lines;
}

QByteArray writeGdtAnswer(const GdtAnswer &answer, QString *unencodable)
{
    const QString heightCm = gdtDecimal(answer.heightMm / 10);
    const QString weightKg = gdtDecimal(answer.weightKg);
    const QString bmi = gdtDecimal(bodyMassIndex(answer.weightKg, answer.heightMm));

    GdtFieldList fields;
    auto add = [&fields](const char *id, const QString &content) {
        if (!content.isEmpty())
            fields.emplace_back(id, content);
    };
    add("8315", answer.receiverId);
    add("8316", answer.senderId);
    add("9206", QString::fromLatin1(gdtCharsetField(answer.charset)));
    add("9218", QString::fromLatin1(gdtVersion));
    add("8402", answer.deviceCode);
    add("8310", answer.requestIdent);
    add("8314", answer.requestUid);
    fields.emplace_back("3000", answer.patientNumber);
    add("3101", answer.lastName);
    add("3102", answer.firstName);
    add("3103", answer.birthDate ? gdtDate(*answer.birthDate) : answer.birthDateUnread);
    if (answer.sex != GdtSex::Unknown)
        add("3110", answer.sex == GdtSex::Male ? QStringLiteral("1") : QStringLiteral("2"));
    add("6200", gdtDate(answer.takenAt.date()));
    add("6201", answer.takenAt.time().toString(QStringLiteral("HHmmss")));
    add("3622", heightCm);
    add("3623", weightKg);
    auto test = [&add](const char *id, const QString &name, const QString &value,
                       const QString &unit) {
        add("8410", QString::fromLatin1(id));
        add("8411", name);
        add("8420", value);
        add("8421", unit);
    };
    test("GEWICHT", QStringLiteral("Gewicht"), weightKg, QStringLiteral("kg"));
    test("GROESSE", QStringLiteral("Größe"), heightCm, QStringLiteral("cm"));
    test("BMI", QStringLiteral("Body-Mass-Index"), bmi, QStringLiteral("kg/m2"));
    if (answer.bmiPercentile)
        test("BMIPERZ", QStringLiteral("BMI-Perzentile"), gdtPercentile(*answer.bmiPercentile),
             QStringLiteral("%"));
    for (const QString &finding : answer.findings) {
        for (const QString &line : wrappedLines(finding, longestFindingLine))
            add("6220", line);
    }
    return writeGdtRecord("6310", answer.charset, fields, unencodable);
}
