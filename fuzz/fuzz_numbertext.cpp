// Texts from fields and history files are read as numbers; numbers are written back
// as texts. Reading must refuse or succeed cleanly, and what is written must read back.
#include "common/failure.h"
#include "common/numbertext.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

static void checkRoundTrip(double value, const QLocale &locale)
{
    // Rounded to 15 digits, the largest doubles write as texts beyond the double range
    // ("1,79769313486232E+308"), which reading rightly refuses.
    if (!std::isfinite(value) || std::fabs(value) > 1e308)
        return;
    const QString text = numberText(value, locale);
    const auto back = parseNumber(text, locale);
    if (!back)
        std::abort();
    if (numberText(*back, locale) != text)
        std::abort();
    if (std::fabs(*back - value) > std::fabs(value) * 1e-14)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QLocale german(QLocale::German, QLocale::Germany);
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QLocale *locale : {&german, &english}) {
        const auto value = parseNumber(text, *locale);
        try {
            const double strict = textNumber(text, *locale);
            if (!value || strict != *value)
                std::abort();
        } catch (const Failure &) {
            if (value)
                std::abort();
        }
        if (value)
            checkRoundTrip(*value, *locale);
    }
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkRoundTrip(raw, german);
    }
    return 0;
}
