// A request comes from another program over a shared directory and may be anything.
// The parser must read it or refuse it with a line of the file; what it reads, written
// again as a practice system would, must read back the same.
#include "common/failure.h"
#include "gdt/gdtcharset.h"
#include "gdt/gdtrecord.h"
#include "gdt/gdtrequest.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void checkRequest(const QByteArray &bytes)
{
    const auto parsed = parseGdtRequest(bytes);
    if (const auto *error = std::get_if<GdtError>(&parsed)) {
        if (error->line < 0 || error->line > bytes.count('\n') + 1 || error->reason.isEmpty())
            std::abort();
        return;
    }
    const GdtRequest &request = std::get<GdtRequest>(parsed);
    // A request that is valid UTF-8 beyond ASCII is read as UTF-8 and may hold letters its
    // declared set cannot write back; what the set writes is read back in that set, as its
    // text can happen to be valid UTF-8.
    if (bytes.isValidUtf8() && std::any_of(bytes.begin(), bytes.end(),
                                           [](char c) { return static_cast<uchar>(c) >= 0x80; }))
        return;
    // The ANSI set is read as Windows writes it (0x80 is "€") but written as ISO 8859-1.
    QString unencodable;
    for (const QString *text :
         {&request.receiverId, &request.senderId, &request.deviceCode, &request.patientNumber,
          &request.lastName, &request.firstName, &request.birthDateUnread, &request.requestIdent,
          &request.requestUid})
        encodeGdtText(*text, request.charset, &unencodable);
    if (!unencodable.isEmpty())
        return;
    const auto again = parseGdtRequest(writeGdtRequest(request), request.charset);
    if (!std::holds_alternative<GdtRequest>(again) || std::get<GdtRequest>(again) != request)
        std::abort();
}

// The set can write the field back as it was read: a byte outside the set is the field's
// fault, the ANSI set is read as Windows writes it but written as ISO 8859-1 only, and a
// record that was valid UTF-8 was read as such, whatever its set can hold.
bool writableAsRead(const GdtField &f, GdtCharset charset)
{
    QString unencodable;
    encodeGdtText(f.content, charset, &unencodable);
    return f.fault.isEmpty() && unencodable.isEmpty() &&
           (charset != GdtCharset::Ansi ||
            std::all_of(f.content.begin(), f.content.end(),
                        [](QChar c) { return c.unicode() <= 0xFF; }));
}

// Any record read, written again with the fields its set can write back, holds the same
// fields.
void checkRecord(const QByteArray &bytes)
{
    const auto read = readGdtRecord(bytes);
    const auto *record = std::get_if<GdtRecord>(&read);
    if (!record)
        return;
    GdtFieldList fields;
    for (const GdtField &f : record->fields) {
        if (f.id != "8000" && f.id != "8100" && writableAsRead(f, record->charset))
            fields.emplace_back(f.id, f.content);
    }
    QByteArray written;
    try {
        QString unencodable;
        written = writeGdtRecord("6310", record->charset, fields, &unencodable);
        if (!unencodable.isEmpty())
            std::abort();
    } catch (const Failure &) {
        return; // longer than 8100 can say
    }
    // Read back in the set it was written in: a one-byte set's text can happen to be valid
    // UTF-8 (box drawing in code page 437), which a reader told nothing takes as UTF-8.
    const auto reread = readGdtRecord(written, record->charset);
    const auto *copy = std::get_if<GdtRecord>(&reread);
    if (!copy || copy->fields.size() != fields.size() + 2 || copy->charset != record->charset)
        std::abort();
    if (copy->find("8100")->content.toLongLong() != written.size())
        std::abort();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (copy->fields[i + 2].id != fields[i].first ||
            copy->fields[i + 2].content != fields[i].second)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkRequest(bytes);
    checkRecord(bytes);
    return 0;
}
