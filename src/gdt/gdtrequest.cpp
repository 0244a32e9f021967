#include "gdtrequest.h"

#include <array>

namespace {

struct UsedField
{
    const char *id;
    const char *name;
};

// The fields the station takes from a request, with the names the operator knows.
constexpr std::array<UsedField, 11> usedFields = {{
    {"8315", "GDT-ID des Empfängers"},
    {"8316", "GDT-ID des Senders"},
    {"3000", "Patientennummer"},
    {"3101", "Name"},
    {"3102", "Vorname"},
    {"3103", "Geburtsdatum"},
    {"3110", "Geschlecht"},
    {"9206", "Zeichensatz"},
    {"8402", "Gerätekennung"},
    {"8310", "Anforderungs-Ident"},
    {"8314", "Anforderungs-UID"},
}};

// Years before this are no birth year: 18011990 is the 18th of January 1990.
constexpr int earliestBirthYear = 1800;

// Practice systems write the letters in either case and 0 for unknown; whatever is
// no sex here is left for the operator to choose.
GdtSex sexOf(const QString &content)
{
    const QString code = content.trimmed().toUpper();
    if (code == u"1" || code == u"M")
        return GdtSex::Male;
    if (code == u"2" || code == u"W")
        return GdtSex::Female;
    return GdtSex::Unknown;
}

std::optional<QDate> dateOf(QString content)
{
    content = content.trimmed();
    if (content.size() != 8)
        return std::nullopt;
    for (const QChar c : content) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const QDate yearFirst(content.first(4).toInt(), content.sliced(4, 2).toInt(),
                          content.sliced(6, 2).toInt());
    if (yearFirst.isValid() && yearFirst.year() >= earliestBirthYear)
        return yearFirst;
    const QDate date(content.sliced(4, 4).toInt(), content.sliced(2, 2).toInt(),
                     content.sliced(0, 2).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace

std::variant<GdtRequest, GdtError> parseGdtRequest(QByteArrayView bytes,
                                                   std::optional<GdtCharset> charset)
{
    auto read = readGdtRecord(bytes, charset);
    if (const auto *error = std::get_if<GdtError>(&read))
        return *error;
    const GdtRecord &record = std::get<GdtRecord>(read);

    const GdtField &type = record.fields.front();
    if (type.content != u"6301" && type.content != u"6302" && type.content != u"6311") {
        return GdtError{type.line, QStringLiteral("Die Satzart „%1“ wird nicht angenommen "
                                                  "(nur 6301, 6302 und 6311).")
                                       .arg(type.content)};
    }
    for (const UsedField &used : usedFields) {
        int first = 0;
        for (const GdtField &f : record.fields) {
            if (f.id != used.id)
                continue;
            if (first != 0) {
                return GdtError{f.line,
                                QStringLiteral("Feld %1 (%2) steht schon in Zeile %3.")
                                    .arg(QLatin1String(used.id), QString::fromUtf8(used.name))
                                    .arg(first)};
            }
            if (!f.fault.isEmpty())
                return GdtError{f.line, f.fault};
            first = f.line;
        }
    }

    GdtRequest request;
    request.recordType = type.content.toLatin1();
    request.charset = record.charset;
    auto text = [&record](const char *id) {
        const GdtField *f = record.find(id);
        return f ? f->content : QString();
    };
    request.receiverId = text("8315");
    request.senderId = text("8316");
    request.patientNumber = text("3000").trimmed();
    request.lastName = text("3101").trimmed();
    request.firstName = text("3102").trimmed();
    request.deviceCode = text("8402");
    // A date or sex that cannot be used is asked of the operator, as a missing one is.
    request.birthDate = dateOf(text("3103"));
    if (!request.birthDate)
        request.birthDateUnread = text("3103").trimmed();
    request.requestIdent = text("8310");
    request.requestUid = text("8314");
    request.sex = sexOf(text("3110"));
    if (request.lastName.isEmpty())
        return GdtError{0, QStringLiteral("Der Name des Patienten (Feld 3101) fehlt.")};
    if (request.firstName.isEmpty())
        return GdtError{0, QStringLiteral("Der Vorname des Patienten (Feld 3102) fehlt.")};
    // The practice system files the answer by it.
    if (request.patientNumber.isEmpty())
        return GdtError{0, QStringLiteral("Die Patientennummer (Feld 3000) fehlt.")};
    return request;
}

QByteArray writeGdtRequest(const GdtRequest &request)
{
    GdtFieldList fields;
    auto add = [&fields](const char *id, const QString &content) {
        if (!content.isEmpty())
            fields.emplace_back(id, content);
    };
    add("8315", request.receiverId);
    add("8316", request.senderId);
    fields.emplace_back("9206", QString::fromLatin1(gdtCharsetField(request.charset)));
    fields.emplace_back("9218", QString::fromLatin1(gdtVersion));
    add("8402", request.deviceCode);
    add("8310", request.requestIdent);
    add("8314", request.requestUid);
    add("3000", request.patientNumber);
    add("3101", request.lastName);
    add("3102", request.firstName);
    add("3103", request.birthDate ? gdtDate(*request.birthDate) : request.birthDateUnread);
    if (request.sex != GdtSex::Unknown)
        add("3110", request.sex == GdtSex::Male ? QStringLiteral("1") : QStringLiteral("2"));
    return writeGdtRecord(request.recordType, request.charset, fields);
}

QString gdtDate(QDate date)
{
    return date.toString(QStringLiteral("ddMMyyyy"));
}
