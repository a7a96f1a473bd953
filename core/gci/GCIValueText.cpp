#include "core/gci/GCIValueText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The pieces of a text that has the shape of a number.
struct DecimalText {
    bool negative = false;
    std::string digits;  // integer digits followed by fraction digits
    int fractionDigits = 0;
    long exponent = 0;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<DecimalText> SplitNumber(std::string_view text)
{
    DecimalText out;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out.negative = text[i++] == '-';
    std::size_t integerDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        out.digits += text[i++];
        ++integerDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            out.digits += text[i++];
            ++out.fractionDigits;
        }
    }
    if (out.digits.empty())
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        if (i == text.size() || !IsDigit(text[i]))
            return std::nullopt;
        while (i < text.size() && IsDigit(text[i])) {
            // Exponents this large only decide between 0 and "beyond any limit".
            out.exponent = std::min(out.exponent * 10 + (text[i++] - '0'), 100000L);
        }
        if (negativeExponent)
            out.exponent = -out.exponent;
    }
    if (i != text.size())
        return std::nullopt;
    return out;
}

constexpr int64_t kSaturated = INT64_C(1) << 52;

}  // namespace

std::optional<double> ParseGCINumber(std::string_view text)
{
    if (!SplitNumber(text))
        return std::nullopt;
    // from_chars takes no "+" and ignores the locale, which is what the files need.
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        return std::nullopt;
    return value;
}

int ThousandthsWithin(std::string_view text, int lower, int upper)
{
    const std::optional<DecimalText> number = SplitNumber(text);
    if (!number)
        return lower;
    // The value is digits * 10^shift thousandths.
    const long shift = number->exponent - number->fractionDigits + 3;
    const std::string& digits = number->digits;
    const long keep = static_cast<long>(digits.size()) + std::min(shift, 0L);

    int64_t whole = 0;
    for (long k = 0; k < keep && whole < kSaturated; ++k)
        whole = whole * 10 + (digits[static_cast<std::size_t>(k)] - '0');
    for (long k = 0; k < shift && whole < kSaturated && whole != 0; ++k)
        whole *= 10;

    if (keep >= 0 && keep < static_cast<long>(digits.size()) && whole < kSaturated) {
        // Round on the dropped digits: above a half up, a half to the even neighbour.
        const std::string_view dropped = std::string_view(digits).substr(static_cast<std::size_t>(keep));
        const bool overHalf =
            dropped[0] > '5' || (dropped[0] == '5' && dropped.find_first_not_of('0', 1) != std::string_view::npos);
        const bool exactlyHalf = dropped[0] == '5' && !overHalf;
        if (overHalf || (exactlyHalf && whole % 2 != 0))
            ++whole;
    }
    const int64_t value = number->negative ? -whole : whole;
    return static_cast<int>(std::clamp<int64_t>(value, lower, upper));
}

std::string FormatThousandths(int p)
{
    // Written into one buffer: GCC 12 at -O3 warns falsely about string concatenations here.
    const int64_t magnitude = std::llabs(static_cast<int64_t>(p));
    char text[32];
    const int length =
        std::snprintf(text, sizeof text, "%s%lld.%03lld", p < 0 ? "-" : "", static_cast<long long>(magnitude / 1000),
                      static_cast<long long>(magnitude % 1000));
    return std::string(text, static_cast<std::size_t>(length));
}

int WholeNumberOf(std::string_view text)
{
    int value = 0;
    const char* first = text.data();
    if (!text.empty() && text.front() == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    return value;
}
