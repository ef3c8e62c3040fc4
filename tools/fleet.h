#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvalis::tools {

// One .air file as the generator lays it out: a chain of records (32-bit id, 32-bit
// length, payload) like real files; with a type, record 0x0105 carries it, and that
// record's header is the type marker.
std::vector<std::uint8_t> MakeAirFile(std::uint32_t seed, int typeByte /* -1: no marker */, std::size_t size);

struct FleetSummary {
    int folders = 0;
    int files = 0;
    int typed = 0;  // files with a marker
};

// A realistic fleet of `folders` aircraft folders below `dir`, with `filesPerFolder` .air
// files each (0: one or two at random), 6-12 KB, some without the marker, some AI-traffic
// folders. Same seed, same fleet.
FleetSummary GenerateFleet(const std::filesystem::path& dir, int folders, std::uint32_t seed,
                           int filesPerFolder = 0);

// The small, varied fleet the demo shows: AI and MY traffic, helicopters, non flyable
// ones, a type byte 3, files without the marker, upper-case names, a hidden folder.
FleetSummary GenerateDemoFleet(const std::filesystem::path& dir);

}  // namespace korvalis::tools
