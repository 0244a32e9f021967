// Every byte string is valid Windows-1252 text for the readers, and what they decode
// must encode back to the same bytes: history files are appended to, never rewritten,
// but a name read from one must name the same file again.
#include "records/cp1252.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString text = decodeCp1252(bytes);
    if (text.size() != bytes.size())
        std::abort();
    QString unencodable;
    if (encodeCp1252(text, &unencodable) != bytes || !unencodable.isEmpty())
        std::abort();
    if (!isCp1252Encodable(text))
        std::abort();

    // Arbitrary Unicode: encoding flags exactly what it cannot hold.
    const QString utf = QString::fromUtf8(bytes);
    QString missing;
    const QByteArray encoded = encodeCp1252(utf, &missing);
    if (missing != cp1252Unencodable(utf))
        std::abort();
    if (missing.isEmpty() && decodeCp1252(encoded) != utf)
        std::abort();
    return 0;
}
