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

// The text of a content in UTF-8, or none for a control byte (its index in *bad).
std::optional<QString> decodeUtf8(QByteArrayView bytes, qsizetype *bad)
{
    const auto control = std::find_if(bytes.begin(), bytes.end(),
                                      [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; });
    if (control != bytes.end()) {
        *bad = control - bytes.begin();
        return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

// One writer declares a one-byte set and writes UTF-8. Bytes from 80 that form valid
// UTF-8 throughout are all but never meant otherwise ("JÃ¼rgen" is nobody's name).
bool isUtf8BeyondAscii(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return c < 0; }) &&
           bytes.isValidUtf8();
}

GdtError at(int line, const QString &reason)
{
    return GdtError{line, reason};
}

// The lines of bytes, checked for their structure only. Practice systems end lines
// with LF alone, leave empty lines, miscount the length: a reader takes a line by its
// line end, as readers in the field do; a last line without one is a line too (some
// writers end so). Whether the file is whole is for the exchange to judge, by 8100 and by
// the file no longer changing.
std::variant<std::vector<RawField>, GdtError> splitLines(QByteArrayView bytes)
{
    if (bytes.endsWith('\x1A'))
        bytes.chop(1);

    std::vector<RawField> fields;
    qsizetype pos = 0;
    for (int line = 1; pos < bytes.size(); ++line) {
        const QByteArrayView rest = bytes.sliced(pos);
        const qsizetype found = rest.indexOf('\n');
        const qsizetype lf = found < 0 ? rest.size() : found;
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
    const bool utf8 = !charset && isUtf8BeyondAscii(bytes);
    for (const RawField &f : raw) {
        GdtField field{f.line, f.id, {}, {}};
        qsizetype bad = 0;
        if (auto text = utf8 ? decodeUtf8(f.content, &bad)
                             : decodeGdtText(f.content, record.charset, &bad)) {
            field.content = *std::move(text);
        } else {
            field.content = QString::fromLatin1(f.content);
            field.fault = QStringLiteral("Das Byte %1 (Spalte %2) gehört nicht zum Zeichensatz %3. "
                                         "Gibt die Praxissoftware in Feld 9206 einen anderen "
                                         "Zeichensatz an, als sie schreibt, legt die Einstellung "
                                         "gdt/charset ihn fest.")
                              .arg(shown(f.content.sliced(bad, 1)))
                              .arg(8 + bad)
                              .arg(utf8 ? QStringLiteral("UTF-8") : gdtCharsetName(record.charset));
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

std::optional<GdtLengths> gdtLengths(QByteArrayView bytes)
{
    std::optional<GdtLengths> lengths;
    qsizetype counted = 0;
    for (QByteArrayView rest = bytes; !rest.isEmpty();) {
        const qsizetype found = rest.indexOf('\n');
        QByteArrayView line = found < 0 ? rest : rest.first(found);
        rest = found < 0 ? QByteArrayView() : rest.sliced(found + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line == "\x1A")
            continue;
        counted += line.size() + 2;
        if (!lengths && line.size() > 7 && line.sliced(3, 4) == "8100" && allDigits(line.sliced(7)))
            lengths = GdtLengths{line.sliced(7).toByteArray().toLongLong(), 0};
    }
    if (lengths)
        lengths->counted = counted;
    return lengths;
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
