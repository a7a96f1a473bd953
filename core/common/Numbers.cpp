// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/Numbers.h"

std::string Grouped(uint64_t n)
{
    const std::string digits = std::to_string(n);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string Counted(uint64_t n, std::string_view noun)
{
    return Grouped(n) + ' ' + std::string(noun) + (n == 1 ? "" : "s");
}
