#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvalis::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh, empty folder for the running test, under the build tree.
std::filesystem::path FreshTestDir();

// ../shared/air-corpus; fails the test with a clear message when it is missing.
std::filesystem::path CorpusDir();

struct CorpusEntry {
    std::string file;
    std::uint64_t size = 0;
    long long firstMarkerOffset = -1;  // -1: no marker
    int typeByte = -1;                 // -1: none
    int markerCount = 0;
};
std::vector<CorpusEntry> ReadCorpusManifest();

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
void SetReadOnly(const std::filesystem::path& path, bool readOnly);
// Copies a file and makes the copy writable (copies of ../shared inherit its read-only state).
void CopyWritable(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes a file, making its folders first.
void Put(const std::filesystem::path& path, const Bytes& bytes);
// The backup beside an .air file, by the name users see: "plane.air.KRVL_bak".
std::filesystem::path BackupOf(const std::filesystem::path& air);
// A small .air file whose type byte is `type`.
Bytes AirOfType(std::uint8_t type);

// A reason as the status line's failure groups give it: without its final full stop.
inline std::string WithoutStop(std::string reason)
{
    if (!reason.empty() && reason.back() == '.') reason.pop_back();
    return reason;
}

// Hex text ("05 01 00 00") to bytes; for readable tables.
Bytes Hex(const std::string& text);
Bytes Concat(std::initializer_list<Bytes> parts);
Bytes Marker();

// The plain reference: whole buffer, first occurrence, byte behind it.
std::string ReferenceType(const Bytes& bytes);
long long ReferenceMarkerOffset(const Bytes& bytes);

}  // namespace korvalis::test
