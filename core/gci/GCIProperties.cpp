// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gci/GCIProperties.h"

#include <array>
#include <stdexcept>

#include "core/gci/GCIValueText.h"

namespace {

struct Property {
    std::string name;
    std::string label;
    std::string lower;
    std::string upper;
    // How the game's own file spells the label where it differs in more than case,
    // spaces and underscores.
    std::string gameLabel;
};

const std::array<Property, kNumOfProperties>& Properties()
{
    // Built once so callers can hold references for as long as they like. The game
    // reads Pad as any whole number; the other whole numbers are held to its range.
    static const std::array<Property, kNumOfProperties> table{{
        {"Name", "", "0", "0", ""},
        {"Model", " {Model}", "0", "0", ""},
        {"Turbo", " {Turbo}", "0", "1", ""},
        {"Value", " {Value}", "0", "255", ""},
        {"Pad", " {Pad}", "-2147483648", "2147483647", ""},
        {"Mass", " {Mass}", "1000", "30000", ""},
        {"Front Drive Bias", " {Front Drive Bias}", "0", "1000", ""},
        {"Front Mass Bias", " {Front Mass Bias}", "0", "1000", ""},
        {"Brake Friction", " {Brake Friction}", "0", "4000", ""},
        {"Turn In", " {Turn In}", "0", "1000", ""},
        {"Turn Ratio", " {Turn Ratio}", "1", "1000", ""},
        {"Rear End Stability", " {Rear End Stability}", "0", "4000", ""},
        {"Handbrake Slide Value", " {Handbrake Slide Value}", "0", "1000", ""},
        {"Thrust", " {Thrust}", "0", "1000", ""},
        {"Max Speed", " {Max Speed}", "0", "1000", ""},
        {"Anti Strength", " {Anti Strength}", "0", "10000", ""},
        {"Skid Threshold", " {Skid Threshold}", "0", "1000", "skid threshhold"},
        {"Gear 1 Multiplier", " {Gear 1 Multiplier}", "0", "1000", ""},
        {"Gear 2 Multiplier", " {Gear 2 Multiplier}", "0", "1000", ""},
        {"Gear 3 Multiplier", " {Gear 3 Multiplier}", "0", "1000", ""},
        {"Gear 2 Speed", " {Gear 2 Speed}", "0", "600", ""},
        {"Gear 3 Speed", " {Gear 3 Speed}", "0", "600", ""},
    }};
    return table;
}

const Property& At(int iValIdx)
{
    return Properties()[static_cast<std::size_t>(CheckPropertyIndex(iValIdx))];
}

// A name as compared: lower case, without spaces and underscores ("Max Speed",
// "max_speed" and "MAXSPEED" are all "maxspeed").
std::string Folded(std::string_view name)
{
    std::string folded;
    for (const char c : name)
        if (c != ' ' && c != '_')
            folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return folded;
}

std::string AllNames()
{
    std::string names;
    for (const Property& property : Properties())
        names += (names.empty() ? "" : ", ") + property.name;
    return names;
}

}  // namespace

int CheckPropertyIndex(int iValIdx)
{
    if (iValIdx < 0 || iValIdx >= kNumOfProperties)
        throw std::out_of_range("property index " + std::to_string(iValIdx) + " is not between 0 and 21");
    return iValIdx;
}

const std::string& PropertyName(int iValIdx)
{
    return At(iValIdx).name;
}

const std::string& PropertyLabel(int iValIdx)
{
    return At(iValIdx).label;
}

const std::string& PropertyLowerLimit(int iValIdx)
{
    return At(iValIdx).lower;
}

const std::string& PropertyUpperLimit(int iValIdx)
{
    return At(iValIdx).upper;
}

PropertyRange AllowedRange(int iValIdx)
{
    const int lower = WholeNumberOf(PropertyLowerLimit(iValIdx)), upper = WholeNumberOf(PropertyUpperLimit(iValIdx));
    if (iValIdx < kFirstDecimal)
        return {lower, upper, std::to_string(lower) + " to " + std::to_string(upper)};
    return {lower, upper, FormatThousandths(lower) + " to " + FormatThousandths(upper)};
}

int PropertyNamed(std::string_view name)
{
    const std::string wanted = Folded(name);
    for (int i = 0; i < kNumOfProperties; ++i) {
        const Property& property = At(i);
        if (!wanted.empty() && (wanted == Folded(property.name) || wanted == Folded(property.gameLabel)))
            return i;
    }
    throw std::invalid_argument("\"" + std::string(name) + "\" is not a car property; the properties are " +
                                AllNames() + ", each also as a car file's label spells it (such as max_speed)");
}
