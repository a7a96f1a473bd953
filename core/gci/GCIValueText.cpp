// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gci/GCIValueText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "core/gci/GCIProperties.h"

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

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Digits with, when `decimals` allows, a point and at most that many digits after it,
// and a minus sign only where `negativeAllowed` says so; the value in units of 10^-decimals.
// Values too large for any limit come out as kSaturated.
std::optional<int64_t> StrictNumber(std::string_view text, std::size_t decimals, bool negativeAllowed)
{
    const bool negative = negativeAllowed && !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto allDigits = [](std::string_view part) { return std::all_of(part.begin(), part.end(), IsDigit); };
    if (whole.size() + fraction.size() == 0 || !allDigits(whole) || !allDigits(fraction) ||
        (point != std::string_view::npos && decimals == 0) || fraction.size() > decimals)
        return std::nullopt;
    int64_t value = 0;
    const auto append = [&value](char digit) { value = std::min(value * 10 + (digit - '0'), kSaturated); };
    std::for_each(whole.begin(), whole.end(), append);
    for (std::size_t k = 0; k < decimals; ++k)
        append(k < fraction.size() ? fraction[k] : '0');
    return negative ? -value : value;
}

}  // namespace

std::string CarValueText(int iValIdx, std::string_view typed)
{
    const std::string& name = PropertyName(iValIdx);
    if (iValIdx < 2)
        throw std::invalid_argument("the " + name + " of a car is not changed by this program");
    const PropertyRange range = AllowedRange(iValIdx);
    const bool decimal = iValIdx >= kFirstDecimal;
    const std::optional<int64_t> value = StrictNumber(Trimmed(typed), decimal ? 3 : 0, range.lower < 0);
    if (!value || *value < range.lower || *value > range.upper)
        throw std::invalid_argument(name + " takes " +
                                    (decimal ? "a number with at most three decimals" : "a whole number") + " from " +
                                    range.text + ", not \"" + std::string(typed) + "\"");
    return decimal ? FormatThousandths(*value) : std::to_string(*value);
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

std::string FormatThousandths(int64_t p)
{
    // Written into one buffer: GCC 12 at -O3 warns falsely about string concatenations here.
    const int64_t magnitude = std::llabs(p);
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
