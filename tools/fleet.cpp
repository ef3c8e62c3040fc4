#include "tools/fleet.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <random>

#include "core/marker_scan.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace korvalis::tools {

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutRecord(Bytes& out, std::uint32_t id, const Bytes& payload)
{
    PutU32(out, id);
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
}

Bytes Payload(std::mt19937& rng, std::size_t size)
{
    // Mostly small little-endian numbers and floats, as flight-dynamics tables hold.
    Bytes p(size);
    std::uniform_int_distribution<int> byte(0, 255), kind(0, 3);
    for (std::size_t i = 0; i < size; ++i) p[i] = kind(rng) == 0 ? 0 : static_cast<std::uint8_t>(byte(rng));
    return p;
}

long long FirstMarker(const Bytes& bytes)
{
    const auto it = std::search(bytes.begin(), bytes.end(), kTypeMarker.begin(), kTypeMarker.end());
    return it == bytes.end() ? -1 : static_cast<long long>(it - bytes.begin());
}

void WriteFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Build(std::mt19937& rng, int typeByte, std::size_t size)
{
    Bytes out;
    if (typeByte >= 0) {
        // The older layout: title, 0x0002-0x0004, 0x0100-0x0104, then the type record.
        std::string title = "Generated aircraft";
        PutRecord(out, 0x0001, Bytes(title.begin(), title.end()));
        for (std::uint32_t id = 0x0002; id <= 0x0004; ++id) {
            PutRecord(out, id, Payload(rng, std::uniform_int_distribution<std::size_t>(8, 40)(rng)));
        }
        // Room before the type record so that its header lands between offset 200 and 700.
        const std::size_t target = std::uniform_int_distribution<std::size_t>(200, 700)(rng);
        for (std::uint32_t id = 0x0100; id <= 0x0104; ++id) {
            const std::size_t left = target > out.size() + 8 ? target - out.size() - 8 : 0;
            const std::size_t share = id == 0x0104 ? left : left / 3;
            PutRecord(out, id, Payload(rng, share));
        }
        Bytes type = {static_cast<std::uint8_t>(typeByte), 0, 0, 0};
        PutRecord(out, 0x0105, type);
    } else {
        // The later layout starts straight with the engine tables.
        PutRecord(out, 0x0341, Payload(rng, 64));
    }
    std::uint32_t id = 0x0300;
    while (out.size() + 8 < size) {
        const std::size_t room = size - out.size() - 8;
        const std::size_t len = std::min(room, std::uniform_int_distribution<std::size_t>(16, 600)(rng));
        PutRecord(out, id++, Payload(rng, len));
    }
    return out;
}

const std::array<const char*, 12> kMakers = {"Cessna", "Piper",   "Beech", "Boeing",   "Airbus", "Douglas",
                                             "Fokker", "Embraer", "Bell",  "Sikorsky", "Dash",   "Jodel"};

}  // namespace

Bytes MakeAirFile(std::uint32_t seed, int typeByte, std::size_t size)
{
    std::mt19937 rng(seed);
    for (;;) {
        Bytes bytes = Build(rng, typeByte, size);
        // Random payloads could hold the eight marker bytes by chance; real files don't.
        const long long k = FirstMarker(bytes);
        if (typeByte < 0 ? k < 0
                         : (k >= 200 && k <= 700 && bytes[static_cast<std::size_t>(k) + 8] == typeByte)) {
            return bytes;
        }
    }
}

FleetSummary GenerateFleet(const fs::path& dir, int folders, std::uint32_t seed, int filesPerFolder)
{
    std::mt19937 rng(seed);
    FleetSummary summary;
    fs::create_directories(dir);
    for (int i = 0; i < folders; ++i) {
        const char* maker = kMakers[static_cast<std::size_t>(i) % kMakers.size()];
        std::string name = std::string(maker) + " " + std::to_string(100 + i);
        const int traffic = std::uniform_int_distribution<int>(0, 9)(rng);
        if (traffic == 0) name = "AI " + name;
        if (traffic == 1) name = "MY_" + name;
        const fs::path folder = dir / PathFromUtf8(name);
        fs::create_directories(folder);
        const int files =
            filesPerFolder > 0 ? filesPerFolder : std::uniform_int_distribution<int>(0, 1)(rng) + 1;
        for (int f = 0; f < files; ++f) {
            const int pick = std::uniform_int_distribution<int>(0, 99)(rng);
            const int type = pick < 8 ? -1 : pick < 85 ? 0 : pick < 95 ? 1 : 2;
            const std::size_t size = std::uniform_int_distribution<std::size_t>(6000, 12000)(rng);
            const std::string file = std::string(maker) + (f == 0 ? "" : "_alt") + ".air";
            WriteFile(folder / PathFromUtf8(file),
                      MakeAirFile(static_cast<std::uint32_t>(rng()), type, size));
            ++summary.files;
            if (type >= 0) ++summary.typed;
        }
        ++summary.folders;
    }
    return summary;
}

FleetSummary GenerateDemoFleet(const fs::path& dir)
{
    struct Aircraft {
        const char* folder;
        const char* file;
        int type;
    };
    static const Aircraft kFleet[] = {
        {"Cessna 172 Skyhawk", "Cessna172.air", 0},
        {"Cessna 208 Caravan", "C208.air", 0},
        {"Piper J-3 Cub", "piper_cub.air", 0},
        {"Piper PA-28 Cherokee", "PA28.AIR", 0},
        {"Beech Baron 58", "Baron58.air", 0},
        {"Beech King Air 350", "KingAir350.air", 0},
        {"Boeing 737-800", "B737_800.air", 0},
        {"Boeing 747-400", "B747_400.air", 0},
        {"Airbus A321", "Airbus_A321.air", 0},
        {"Douglas DC-3", "DC3.AIR", 0},
        {"Jodel DR-1050", "DLA_Jodel_DR-1050.air", 0},
        {"Extra 300S", "Extra300.air", 0},
        {"Learjet 45", "Lear45.air", 0},
        {"Mooney Bravo", "mooney.air", 0},
        {"Bell 206B JetRanger", "bell_206b.air", 1},
        {"Robinson R22", "R22.air", 1},
        {"Sikorsky S-76", "S76.AIR", 1},
        {"Eurocopter EC135", "EC135.air", 1},
        {"Hot Air Balloon", "balloon.air", 2},
        {"Goodyear Blimp", "blimp.air", 2},
        {"Static Tug", "tug.air", 2},
        {"Glider Schleicher ASK 21", "ask21.air", 0},
        {"AI Boeing 737-300", "AI_B733.air", 0},
        {"AI Boeing 757-200", "AI_B752.air", 0},
        {"AI Airbus A320", "AI_A320.air", 0},
        {"AI Dash 8-100", "AI_DH8A.air", 0},
        {"AI Fokker 100", "AI_F100.AIR", 0},
        {"AI Embraer 145", "AI_E145.air", 0},
        {"MY Traffic MD-82", "MY_MD82.air", 0},
        {"MY Traffic CRJ-200", "MY_CRJ2.air", 0},
        {"MY Traffic ATR 72", "MY_AT72.air", 0},
        {"MY Traffic Bell 412", "MY_B412.air", 1},
        {"TRAINING Cessna 152", "c152.air", 0},
        {"Concorde", "concorde.air", 3},
        {"Lockheed Constellation", "connie.air", 0},
        {"Spitfire Mk IX", "spitfire.air", 0},
        {"FSX Airbus A330", "A330-343.air", -1},
        {"P3D Airbus A350", "tdsa350-900.air", -1},
        {"de Havilland Beaver", "beaver.air", 0},
        {"Grumman Goose", "goose.air", 0},
    };
    FleetSummary summary;
    std::uint32_t seed = 2004;
    for (const auto& a : kFleet) {
        const fs::path folder = dir / a.folder;
        fs::create_directories(folder);
        const std::size_t size = 6000 + (seed * 97u) % 6000u;
        WriteFile(folder / a.file, MakeAirFile(seed++, a.type, size));
        ++summary.folders;
        ++summary.files;
        if (a.type >= 0) ++summary.typed;
    }
    // Two files in one folder, and a folder the scan must not show (hidden, by its dot).
    WriteFile(dir / "Beech Baron 58" / "Baron58_heavy.air", MakeAirFile(seed++, 0, 8000));
    ++summary.files;
    ++summary.typed;
    fs::create_directories(dir / ".hidden Cessna");
    WriteFile(dir / ".hidden Cessna" / "hidden.air", MakeAirFile(seed++, 0, 7000));
    return summary;
}

}  // namespace korvalis::tools
