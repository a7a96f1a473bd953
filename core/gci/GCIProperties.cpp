#include "core/gci/GCIProperties.h"

#include <array>
#include <stdexcept>

namespace {

struct NumberedText {
    int key;
    const char* text;
};

// One line per property: name, lower limit, upper limit. The names keep their own
// wording ("Bais", "Threshhold"); the file's line labels are a separate table.
constexpr std::array<NumberedText, 3 * kNumOfProperties> kTable{{
    {100, "Name"},
    {122, "0"},
    {144, "0"},
    {101, "Model"},
    {123, "0"},
    {145, "0"},
    {102, "Turbo"},
    {124, "0"},
    {146, "1"},
    {103, "Value"},
    {125, "0"},
    {147, "255"},
    {104, "Pad"},
    {126, "-1"},
    {148, "-1"},
    {105, "Mass"},
    {127, "1000"},
    {149, "30000"},
    {106, "Front Drive Bias"},
    {128, "0"},
    {150, "1000"},
    {107, "Front Mass Bais"},
    {129, "0"},
    {151, "1000"},
    {108, "Brake Friction"},
    {130, "0"},
    {152, "4000"},
    {109, "Turn In"},
    {131, "0"},
    {153, "1000"},
    {110, "Turn Ratio"},
    {132, "1"},
    {154, "1000"},
    {111, "Rear End Stability"},
    {133, "0"},
    {155, "4000"},
    {112, "Handbrake Slide Value"},
    {134, "0"},
    {156, "1000"},
    {113, "Thrust"},
    {135, "0"},
    {157, "1000"},
    {114, "Max Speed"},
    {136, "0"},
    {158, "1000"},
    {115, "Anti Strength"},
    {137, "0"},
    {159, "10000"},
    {116, "Skid Threshhold"},
    {138, "0"},
    {160, "1000"},
    {117, "Gear 1 Multiplier"},
    {139, "0"},
    {161, "1000"},
    {118, "Gear 2 Multiplier"},
    {140, "0"},
    {162, "1000"},
    {119, "Gear 3 Multiplier"},
    {141, "0"},
    {163, "1000"},
    {120, "Gear 2 Speed"},
    {142, "0"},
    {164, "600"},
    {121, "Gear 3 Speed"},
    {143, "0"},
    {165, "600"},
}};

}  // namespace

int CheckPropertyIndex(int iValIdx)
{
    if (iValIdx < 0 || iValIdx >= kNumOfProperties)
        throw std::out_of_range("property index " + std::to_string(iValIdx) + " is not between 0 and 21");
    return iValIdx;
}

const std::string& PropertyText(int key)
{
    // Built once so callers can hold references for as long as they like.
    static const auto texts = [] {
        std::array<std::string, kTable.size()> out;
        for (const NumberedText& entry : kTable)
            out[static_cast<std::size_t>(entry.key - kPropertyNameKey)] = entry.text;
        return out;
    }();
    const int slot = key - kPropertyNameKey;
    if (slot < 0 || slot >= static_cast<int>(texts.size()))
        throw std::out_of_range("no property text under key " + std::to_string(key));
    return texts[static_cast<std::size_t>(slot)];
}

const std::string& PropertyName(int iValIdx)
{
    return PropertyText(kPropertyNameKey + CheckPropertyIndex(iValIdx));
}

const std::string& PropertyLowerLimit(int iValIdx)
{
    return PropertyText(kLowerLimitKey + CheckPropertyIndex(iValIdx));
}

const std::string& PropertyUpperLimit(int iValIdx)
{
    return PropertyText(kUpperLimitKey + CheckPropertyIndex(iValIdx));
}
