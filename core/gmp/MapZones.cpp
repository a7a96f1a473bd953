// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gmp/MapZones.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace {

constexpr int kMapSide = 256;
constexpr std::size_t kLongestName = 255;

const char* const kTypeNames[kMostZoneType + 1] = {"general purpose",
                                                   "navigation",
                                                   "traffic light",
                                                   nullptr,
                                                   nullptr,
                                                   "arrow blocker",
                                                   "railway station platform",
                                                   "bus stop",
                                                   "general trigger",
                                                   nullptr,
                                                   "information",
                                                   "railway station entry point",
                                                   "railway station exit point",
                                                   "railway stop point",
                                                   "gang",
                                                   "local navigation",
                                                   "restart",
                                                   nullptr,
                                                   nullptr,
                                                   nullptr,
                                                   "arrest restart"};

std::string Number(std::size_t n)
{
    return std::to_string(n);
}

// Why the game could not use a zone of this type, or nothing.
std::string TypeProblem(int type)
{
    if (type > kMostZoneType)
        return "has type " + Number(type) + ", above the highest, " + Number(kMostZoneType);
    if (!IsZoneType(type))
        return "has type " + Number(type) + ", which the game does not use";
    return {};
}

// Why the rectangle does not fit the map, or nothing.
std::string RectangleProblem(const MapZone& z)
{
    if (z.w == 0 || z.h == 0)
        return "is " + Number(z.w) + " x " + Number(z.h) + " blocks: a zone is at least one block wide and high";
    if (z.x + z.w > kMapSide || z.y + z.h > kMapSide)
        return "reaches past the map: it covers blocks " + Number(z.x) + " to " + Number(z.x + z.w - 1) +
               " across and " + Number(z.y) + " to " + Number(z.y + z.h - 1) + " down, and the last is 255";
    return {};
}

bool Overlap(const MapZone& a, const MapZone& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

std::string Called(std::size_t index, const std::vector<MapZone>& zones)
{
    return "zone " + Number(index) + " (" + zones[index].name + ")";
}

// Each navigation zone that overlaps an earlier one of its type and area, with the first
// such. The game picks the smallest zone around a point, so two of one area that overlap
// leave it undecided.
void FindOverlaps(const std::vector<MapZone>& zones, std::vector<ZoneFinding>& found)
{
    std::vector<std::size_t> navigation;
    for (std::size_t i = 0; i < zones.size(); ++i)
        if (zones[i].type == kNavigationZone || zones[i].type == kLocalNavigationZone)
            navigation.push_back(i);
    const auto key = [&](std::size_t i) { return std::pair(zones[i].type, ZoneArea(zones[i])); };
    std::stable_sort(navigation.begin(), navigation.end(),
                     [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    for (auto group = navigation.begin(); group != navigation.end();) {
        const auto end = std::find_if(group, navigation.end(), [&](std::size_t i) { return key(i) != key(*group); });
        for (auto later = group; later != end; ++later) {
            const auto earlier =
                std::find_if(group, later, [&](std::size_t i) { return Overlap(zones[i], zones[*later]); });
            if (earlier != later)
                found.push_back({ZoneFinding::Severity::Error, *later, zones[*later].name,
                                 "overlaps " + Called(*earlier, zones) + ", a " + ZoneTypeName(zones[*later].type) +
                                     " zone of the same area (" + Number(ZoneArea(zones[*later])) + " blocks)"});
        }
        group = end;
    }
}

}  // namespace

bool IsZoneType(int type)
{
    return type >= 0 && type <= kMostZoneType && kTypeNames[type] != nullptr;
}

const char* ZoneTypeName(int type)
{
    if (type < 0 || type > kMostZoneType)
        return "unknown";
    return kTypeNames[type] ? kTypeNames[type] : "unused";
}

void RequireEditableZone(const MapZone& zone)
{
    for (const std::string& problem : {TypeProblem(zone.type), RectangleProblem(zone)})
        if (!problem.empty())
            throw std::invalid_argument("the zone " + problem);
    if (zone.name.size() > kLongestName)
        throw std::invalid_argument("the zone's name is " + Number(zone.name.size()) + " bytes long; at most " +
                                    Number(kLongestName) + " fit");
    const auto odd = std::find_if(zone.name.begin(), zone.name.end(), [](char c) { return c < 0x20 || c > 0x7E; });
    if (odd != zone.name.end())
        throw std::invalid_argument("the zone's name holds the byte " + Number(static_cast<unsigned char>(*odd)) +
                                    " at " + Number(static_cast<std::size_t>(odd - zone.name.begin())) +
                                    "; names are printable ASCII, 32 to 126");
}

std::size_t SortByArea(std::vector<MapZone>& zones, std::size_t follow)
{
    std::vector<std::size_t> order(zones.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return ZoneArea(zones[a]) < ZoneArea(zones[b]); });
    std::vector<MapZone> sorted;
    sorted.reserve(zones.size());
    std::size_t followed = follow;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == follow)
            followed = i;
        sorted.push_back(std::move(zones[order[i]]));
    }
    zones = std::move(sorted);
    return followed;
}

std::vector<uint8_t> ZoneChunkBody(const std::vector<MapZone>& zones)
{
    std::vector<uint8_t> body;
    for (const MapZone& z : zones) {
        const auto length = static_cast<uint8_t>(std::min(z.name.size(), kLongestName));
        body.insert(body.end(), {z.type, z.x, z.y, z.w, z.h, length});
        body.insert(body.end(), z.name.begin(), z.name.begin() + length);
    }
    return body;
}

const char* SeverityName(ZoneFinding::Severity severity)
{
    return severity == ZoneFinding::Severity::Error ? "error" : "warning";
}

std::vector<ZoneFinding> CheckZones(const std::vector<MapZone>& zones)
{
    std::vector<ZoneFinding> found;
    const auto error = [&](std::size_t i, const std::string& problem) {
        if (!problem.empty())
            found.push_back({ZoneFinding::Severity::Error, i, zones[i].name, problem});
    };
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const MapZone& z = zones[i];
        if (i > 0 && ZoneArea(z) < ZoneArea(zones[i - 1]))
            error(i, "is out of area order: its " + Number(ZoneArea(z)) + " blocks follow the " +
                         Number(ZoneArea(zones[i - 1])) + " of " + Called(i - 1, zones) +
                         ", and the game needs the smallest first");
        error(i, RectangleProblem(z));
        error(i, TypeProblem(z.type));
        if (z.type == kArrestRestartZone && ZoneArea(z) > 1)
            found.push_back({ZoneFinding::Severity::Warning, i, z.name,
                             "is an arrest restart zone of " + Number(z.w) + " x " + Number(z.h) +
                                 " blocks; the notes want one block, though the game's own maps have larger ones"});
    }
    FindOverlaps(zones, found);
    std::stable_sort(found.begin(), found.end(),
                     [](const ZoneFinding& a, const ZoneFinding& b) { return a.zone < b.zone; });
    return found;
}
