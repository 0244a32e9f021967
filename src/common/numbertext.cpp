#include "numbertext.h"

#include "failure.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

constexpr int significantDigits = 15;

// Splits |value| into its (at most) 15 significant digits without trailing zeros and
// the decimal exponent of the first digit, after rounding to 15 digits.
void decompose(double value, std::string &digits, int &exponent)
{
    // to_chars is locale-independent; the application's C locale may be the user's.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, significantDigits - 1);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    digits = text.substr(0, 1) + text.substr(2, e - 2);
    exponent = std::stoi(text.substr(e + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
}

} // namespace

QString numberText(double value, const QLocale &locale)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? locale.negativeSign() + QStringLiteral("Inf") : QStringLiteral("Inf");
    if (value == 0.0)
        return QStringLiteral("0");

    std::string digits;
    int exponent = 0;
    decompose(value, digits, exponent);
    const QString point = locale.decimalPoint();

    QString text;
    if (exponent >= significantDigits || exponent < -4) {
        text = QString::fromLatin1(digits.substr(0, 1));
        if (digits.size() > 1)
            text += point + QString::fromLatin1(digits.substr(1));
        text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        text += QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    } else if (exponent < 0) {
        text = QStringLiteral("0") + point + QString(-exponent - 1, QLatin1Char('0')) +
               QString::fromLatin1(digits);
    } else {
        const int whole = exponent + 1;
        if (static_cast<int>(digits.size()) <= whole) {
            text = QString::fromLatin1(digits) +
                   QString(whole - static_cast<int>(digits.size()), QLatin1Char('0'));
        } else {
            text = QString::fromLatin1(digits.substr(0, whole)) + point +
                   QString::fromLatin1(digits.substr(whole));
        }
    }
    return value < 0 ? locale.negativeSign() + text : text;
}

std::optional<double> parseNumber(const QString &text, const QLocale &locale)
{
    const QString body = text.trimmed();
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    const QString plus = locale.positiveSign();

    // Rebuild the number in the C form that from_chars reads, character by character, so
    // that no locale grouping or stray character can sneak through.
    std::string c;
    qsizetype i = 0;
    if (body.mid(i).startsWith(minus)) {
        c += '-';
        i += minus.size();
    } else if (body.mid(i).startsWith(plus)) {
        i += plus.size();
    }
    int mantissaDigits = 0;
    bool seenPoint = false;
    while (i < body.size()) {
        const QChar ch = body.at(i);
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            c += static_cast<char>(ch.unicode());
            ++mantissaDigits;
            ++i;
        } else if (!seenPoint && body.mid(i).startsWith(point)) {
            c += '.';
            seenPoint = true;
            i += point.size();
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < body.size() && (body.at(i) == QLatin1Char('E') || body.at(i) == QLatin1Char('e'))) {
        c += 'e';
        ++i;
        if (i < body.size() && body.mid(i).startsWith(minus)) {
            c += '-';
            i += minus.size();
        } else if (i < body.size() && body.mid(i).startsWith(plus)) {
            i += plus.size();
        }
        int exponentDigits = 0;
        while (i < body.size() && body.at(i) >= QLatin1Char('0') &&
               body.at(i) <= QLatin1Char('9')) {
            c += static_cast<char>(body.at(i).unicode());
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != body.size())
        return std::nullopt;

    double value = 0;
    const char *first = c.c_str();
    const char *last = first + c.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double textNumber(const QString &text, const QLocale &locale)
{
    if (const auto value = parseNumber(text, locale))
        return *value;
    throw Failure(QStringLiteral("„%1“ ist keine gültige Zahl.").arg(text));
}
