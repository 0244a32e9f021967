#include "heightdecoding.h"

#include "common/numbertext.h"

#include <array>

std::optional<int> UmrechnungBin(const QVariant &strEDaten, const QLocale &locale)
{
    if (!strEDaten.isValid() || strEDaten.isNull())
        return std::nullopt;
    double rest = 0;
    if (strEDaten.typeId() == QMetaType::QString) {
        const QString text = strEDaten.toString();
        if (text.isEmpty())
            return std::nullopt;
        rest = textNumber(text, locale);
    } else {
        rest = strEDaten.toDouble();
    }

    // Subtracting powers of two from the top keeps the decoding of values outside
    // 0..1023 as the station has always shown them (see the header).
    std::array<int, 10> gray{};
    for (int i = 9; i >= 0; --i) {
        const double power = 1 << i; // exact, without a pow() call per bit and frame
        if (rest - power >= 0) {
            gray[i] = 1;
            rest -= power;
        }
    }

    std::array<int, 10> binary{};
    binary[9] = gray[9];
    for (int i = 8; i >= 0; --i)
        binary[i] = gray[i] ^ binary[i + 1];

    int result = 0;
    for (int i = 9; i >= 0; --i)
        result += binary[i] << i;
    return result;
}
