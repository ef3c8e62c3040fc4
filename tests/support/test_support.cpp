#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/marker_scan.h"

namespace fs = std::filesystem;

namespace korvalis::test {

namespace {

// Leftovers may lie beyond 260 characters, out of reach of the C runtime's directory calls
// on Windows unless the path carries the extended-length prefix.
fs::path ReachablePath(const fs::path& dir)
{
#ifdef _WIN32
    std::wstring text = fs::absolute(dir).native();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    return fs::path(L"\\\\?\\" + text);
#else
    return dir;
#endif
}

}  // namespace

fs::path FreshTestDir()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const fs::path dir = fs::path(KORVALIS_TEST_TMP) / name;
    std::error_code ec;
    if (fs::exists(dir, ec)) {
        const fs::path reachable = ReachablePath(dir);
        // Read-only leftovers of an earlier run must be writable before they can go.
        for (fs::recursive_directory_iterator it(reachable, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code ignored;
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
        fs::remove_all(reachable, ec);
    }
    fs::create_directories(dir);
    return dir;
}

void Put(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    WriteBytes(path, bytes);
}

fs::path BackupOf(const fs::path& air) { return fs::path(air.native() + fs::path(".KRVL_bak").native()); }

Bytes AirOfType(std::uint8_t type)
{
    return Concat({Hex("01 00 00 00 0C 00 00 00"), Marker(), {type}, Hex("41 42")});
}

fs::path CorpusDir()
{
    const fs::path dir = fs::path(KORVALIS_SHARED_DIR) / "air-corpus";
    if (!fs::exists(dir / "MANIFEST.tsv")) {
        ADD_FAILURE() << "The .air corpus is missing: expected " << dir.string()
                      << "/MANIFEST.tsv (the shared folder must lie beside the repository).";
    }
    return dir;
}

std::vector<CorpusEntry> ReadCorpusManifest()
{
    std::vector<CorpusEntry> entries;
    std::ifstream in(CorpusDir() / "MANIFEST.tsv");
    std::string line;
    std::vector<std::string> header;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> cells;
        std::stringstream cellStream(line);
        std::string cell;
        while (std::getline(cellStream, cell, '\t')) cells.push_back(cell);
        if (line.size() > 0 && line.back() == '\t') cells.emplace_back();
        if (header.empty()) {
            header = cells;
            continue;
        }
        const auto column = [&](const std::string& name) -> std::string {
            const auto it = std::find(header.begin(), header.end(), name);
            const auto index = static_cast<std::size_t>(it - header.begin());
            return it == header.end() || index >= cells.size() ? std::string() : cells[index];
        };
        CorpusEntry entry;
        entry.file = column("file");
        entry.size = std::stoull(column("size"));
        const std::string offset = column("first_marker_offset");
        entry.firstMarkerOffset = offset.empty() ? -1 : std::stoll(offset);
        const std::string type = column("type_byte");
        entry.typeByte = type.empty() ? -1 : std::stoi(type);
        entry.markerCount = std::stoi(column("marker_count"));
        entries.push_back(entry);
    }
    if (entries.empty()) ADD_FAILURE() << "The .air corpus manifest lists no files.";
    return entries;
}

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void WriteBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) ADD_FAILURE() << "cannot write " << path.string();
}

void SetReadOnly(const fs::path& path, bool readOnly)
{
    // On Windows this sets or clears the read-only attribute; elsewhere the write bits.
    const auto writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, writeBits, readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

void CopyWritable(const fs::path& from, const fs::path& to)
{
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    SetReadOnly(to, false);
}

Bytes Hex(const std::string& text)
{
    Bytes bytes;
    std::stringstream in(text);
    std::string pair;
    while (in >> pair) bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Marker() { return Bytes(kTypeMarker.begin(), kTypeMarker.end()); }

long long ReferenceMarkerOffset(const Bytes& bytes)
{
    const auto it = std::search(bytes.begin(), bytes.end(), kTypeMarker.begin(), kTypeMarker.end());
    return it == bytes.end() ? -1 : static_cast<long long>(it - bytes.begin());
}

std::string ReferenceType(const Bytes& bytes)
{
    const long long k = ReferenceMarkerOffset(bytes);
    if (k < 0 || static_cast<std::size_t>(k) + 8 >= bytes.size()) return {};
    return std::to_string(bytes[static_cast<std::size_t>(k) + 8]);
}

}  // namespace korvalis::test
