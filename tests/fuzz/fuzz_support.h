#pragma once

// What both fuzz targets share: a scratch folder of their own and plain file access that
// does not go through the code under test.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace korvalis::fuzz {

using Bytes = std::vector<std::uint8_t>;

// One folder per process, so parallel fuzzing jobs never share files; removed at exit.
inline const std::filesystem::path& ScratchDir()
{
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("korvalis-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchDir(), ec);
        });
        return d;
    }();
    return dir;
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// The marker rule, plainly: the lowest offset at which the eight bytes 05 01 00 00 04 00 00 00
// stand, over the whole buffer; -1 when they occur nowhere.
inline long long FirstMarkerOffset(const Bytes& bytes)
{
    static const std::uint8_t kMarker[8] = {0x05, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};
    for (std::size_t k = 0; k + 8 <= bytes.size(); ++k) {
        std::size_t i = 0;
        while (i < 8 && bytes[k + i] == kMarker[i]) ++i;
        if (i == 8) return static_cast<long long>(k);
    }
    return -1;
}

// Offset of the type byte, -1 when there is none (no marker, or the marker ends the file).
inline long long TypeByteOffset(const Bytes& bytes)
{
    const long long k = FirstMarkerOffset(bytes);
    return k >= 0 && static_cast<std::size_t>(k) + 8 < bytes.size() ? k + 8 : -1;
}

// The readers take 4 KiB first, then 64 KiB at a time: zeros in front move an input across
// those seams, where a marker may be split between two reads. Zeros hold no marker byte 05.
inline Bytes WithLead(std::size_t lead, const std::uint8_t* data, std::size_t size)
{
    Bytes bytes(lead, 0);
    bytes.insert(bytes.end(), data, data + size);
    return bytes;
}

inline constexpr std::size_t kLeads[] = {0, 4096 - 16, 65536 - 16, 4096 + 65536 - 16};

[[noreturn]] inline void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "FUZZ FINDING: %s (%s)\n", what, detail.c_str());
    std::abort();
}

}  // namespace korvalis::fuzz
