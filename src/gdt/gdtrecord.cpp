#include "gdtrecord.h"

#include "common/failure.h"

#include <algorithm>

namespace {

constexpr qsizetype lineOverhead = 3 + 4 + 2; // length, field ID, CR LF
constexpr qsizetype longestLine = 999;
constexpr qsizetype longestContent = longestLine - lineOverhead;
constexpr qsizetype longestRecord = 99999;

struct RawField
{
    int line;
    QByteArray id;
    QByteArrayView content;
};

bool allDigits(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Bytes as the operator can read them in a message: printable ASCII as it is, the rest
// as hex.
QString shown(QByteArrayView bytes)
{
    QString text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

GdtError at(int line, const QString &reason)
{
    return GdtError{line, reason};
}

// The lines of bytes, checked for their structure only. Practice systems end lines
// with LF alone, leave empty lines, miscount the length: a reader takes a line by its
// line end, as readers in the field do. Only a last line without one is cut off.
std::variant<std::vector<RawField>, GdtError> splitLines(QByteArrayView bytes)
{
    if (bytes.endsWith('\x1A'))
        bytes.chop(1);

    std::vector<RawField> fields;
    qsizetype pos = 0;
    for (int line = 1; pos < bytes.size(); ++line) {
        const QByteArrayView rest = bytes.sliced(pos);
        const qsizetype lf = rest.indexOf('\n');
        if (lf < 0) {
            return at(line, QStringLiteral("Die letzte Zeile hat kein Zeilenende: die Datei ist "
                                           "unvollständig."));
        }
        pos += lf + 1;
        QByteArrayView text = rest.first(lf);
        if (text.endsWith('\r'))
            text.chop(1);
        if (text.isEmpty() || text == "\x1A")
            continue;
        if (text.size() < 3 || !allDigits(text.first(3))) {
            return at(line, QStringLiteral("Die Zeile beginnt nicht mit einer dreistelligen "
                                           "Länge: „%1“.")
                                .arg(shown(text.first(std::min<qsizetype>(text.size(), 7)))));
        }
        const QByteArrayView id = text.sliced(3).first(std::min<qsizetype>(text.size() - 3, 4));
        if (id.size() != 4 || !allDigits(id)) {
            return at(line, QStringLiteral("Die Feldkennung „%1“ besteht nicht aus vier Ziffern.")
                                .arg(shown(id)));
        }
        fields.push_back(RawField{line, id.toByteArray(), text.sliced(7)});
    }
    if (fields.empty())
        return at(0, QStringLiteral("Die Datei ist leer."));
    return fields;
}

} // namespace

const GdtField *GdtRecord::find(QByteArrayView id) const
{
    const auto it =
        std::find_if(fields.begin(), fields.end(), [id](const GdtField &f) { return f.id == id; });
    return it == fields.end() ? nullptr : &*it;
}

std::variant<GdtRecord, GdtError> readGdtRecord(QByteArrayView bytes,
                                                std::optional<GdtCharset> charset)
{
    auto split = splitLines(bytes);
    if (const auto *error = std::get_if<GdtError>(&split))
        return *error;
    const auto &raw = std::get<std::vector<RawField>>(split);

    if (raw.front().id != "8000")
        return at(1, QStringLiteral("Der Satz beginnt nicht mit der Satzart (Feld 8000)."));
    GdtRecord record;
    bool charsetSeen = false;
    for (const RawField &f : raw) {
        if (f.id == "8000" && f.line != 1) {
            return at(f.line, QStringLiteral("Eine zweite Satzart (Feld 8000): die Datei darf "
                                             "nur einen Satz enthalten."));
        }
        if (f.id != "9206" || charset)
            continue;
        const auto charset = gdtCharsetFromField(f.content);
        if (!charset) {
            return at(f.line, QStringLiteral("Der Zeichensatz „%1“ ist unbekannt (erlaubt sind "
                                             "1, 2 und 3).")
                                  .arg(shown(f.content)));
        }
        if (charsetSeen)
            return at(f.line, QStringLiteral("Der Zeichensatz (Feld 9206) steht zweimal im Satz."));
        record.charset = *charset;
        charsetSeen = true;
    }
    if (charset)
        record.charset = *charset;
    for (const RawField &f : raw) {
        GdtField field{f.line, f.id, {}, {}};
        qsizetype bad = 0;
        if (auto text = decodeGdtText(f.content, record.charset, &bad)) {
            field.content = *std::move(text);
        } else {
            field.content = QString::fromLatin1(f.content);
            field.fault = QStringLiteral("Das Byte %1 (Spalte %2) gehört nicht zum Zeichensatz %3.")
                              .arg(shown(f.content.sliced(bad, 1)))
                              .arg(8 + bad)
                              .arg(gdtCharsetName(record.charset));
        }
        record.fields.push_back(std::move(field));
    }
    return record;
}

std::optional<int> wrongLineLength(QByteArrayView bytes)
{
    if (bytes.endsWith('\x1a'))
        bytes.chop(1);
    int lineNumber = 0;
    while (!bytes.isEmpty()) {
        ++lineNumber;
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView line = end < 0 ? bytes : bytes.first(end + 1);
        bool digits = false;
        const int length = line.first(std::min<qsizetype>(3, line.size())).toInt(&digits);
        if (end < 0 || !line.endsWith("\r\n") || !digits || length != line.size())
            return lineNumber;
        bytes = bytes.sliced(end + 1);
    }
    return std::nullopt;
}

QString gdtErrorText(const GdtError &error)
{
    if (error.line <= 0)
        return error.reason;
    return QStringLiteral("Zeile %1: %2").arg(error.line).arg(error.reason);
}

QByteArray writeGdtRecord(QByteArrayView type, GdtCharset charset, const GdtFieldList &fields,
                          QString *unencodable)
{
    QByteArray body;
    auto addLine = [&body](QByteArrayView id, QByteArrayView content) {
        body += QByteArray::number(content.size() + lineOverhead).rightJustified(3, '0');
        body += id;
        body += content;
        body += "\r\n";
    };
    for (const auto &[id, text] : fields) {
        const QByteArray content = encodeGdtText(text, charset, unencodable);
        qsizetype pos = 0;
        do {
            const qsizetype n = std::min(longestContent, content.size() - pos);
            addLine(id, QByteArrayView(content).sliced(pos, n));
            pos += n;
        } while (pos < content.size());
    }

    QByteArray record;
    const QByteArray typeLine =
        QByteArray::number(type.size() + lineOverhead).rightJustified(3, '0') + "8000" +
        type.toByteArray() + "\r\n";
    constexpr qsizetype lengthLine = 3 + 4 + 5 + 2;
    const qsizetype total = typeLine.size() + lengthLine + body.size();
    if (total > longestRecord) {
        throw Failure(QStringLiteral("Der GDT-Satz wäre %1 Bytes lang; erlaubt sind höchstens %2.")
                          .arg(total)
                          .arg(longestRecord));
    }
    record += typeLine;
    record += "0148100" + QByteArray::number(total).rightJustified(5, '0') + "\r\n";
    record += body;
    return record;
}
