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
};

const std::array<Property, kNumOfProperties>& Properties()
{
    // Built once so callers can hold references for as long as they like.
    static const std::array<Property, kNumOfProperties> table{{
        {"Name", "", "0", "0"},
        {"Model", " {Model}", "0", "0"},
        {"Turbo", " {Turbo}", "0", "1"},
        {"Value", " {Value}", "0", "255"},
        {"Pad", " {Pad}", "-1", "-1"},
        {"Mass", " {Mass}", "1000", "30000"},
        {"Front Drive Bias", " {Front Drive Bias}", "0", "1000"},
        {"Front Mass Bais", " {Front Mass Bias}", "0", "1000"},
        {"Brake Friction", " {Brake Friction}", "0", "4000"},
        {"Turn In", " {Turn In}", "0", "1000"},
        {"Turn Ratio", " {Turn Ratio}", "1", "1000"},
        {"Rear End Stability", " {Rear End Stability}", "0", "4000"},
        {"Handbrake Slide Value", " {Handbrake Slide Value}", "0", "1000"},
        {"Thrust", " {Thrust}", "0", "1000"},
        {"Max Speed", " {Max Speed}", "0", "1000"},
        {"Anti Strength", " {Anti Strength}", "0", "10000"},
        {"Skid Threshhold", " {Skid Threshold}", "0", "1000"},
        {"Gear 1 Multiplier", " {Gear 1 Multiplier}", "0", "1000"},
        {"Gear 2 Multiplier", " {Gear 2 Multiplier}", "0", "1000"},
        {"Gear 3 Multiplier", " {Gear 3 Multiplier}", "0", "1000"},
        {"Gear 2 Speed", " {Gear 2 Speed}", "0", "600"},
        {"Gear 3 Speed", " {Gear 3 Speed}", "0", "600"},
    }};
    return table;
}

const Property& At(int iValIdx)
{
    return Properties()[static_cast<std::size_t>(CheckPropertyIndex(iValIdx))];
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
    constexpr int kFirstDecimal = 5;
    const int lower = WholeNumberOf(PropertyLowerLimit(iValIdx)), upper = WholeNumberOf(PropertyUpperLimit(iValIdx));
    if (iValIdx < kFirstDecimal)
        return {double(lower), double(upper), std::to_string(lower) + " to " + std::to_string(upper)};
    return {lower / 1000.0, upper / 1000.0, FormatThousandths(lower) + " to " + FormatThousandths(upper)};
}
