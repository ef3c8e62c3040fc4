#include <gtest/gtest.h>

#include <random>

#include "core/airfile.h"
#include "core/marker_scan.h"
#include "tests/support/test_support.h"

namespace korvalis::test {
namespace {

struct ReadCase {
    const char* name;
    Bytes bytes;
    std::string expected;
};

TEST(ReadAirfileType, ReadsTheByteBehindTheFirstMarker)
{
    const Bytes m = Marker();
    const ReadCase cases[] = {
        {"marker at the start, type at offset 8", Concat({m, Hex("01 AA")}), "1"},
        {"type 0 is a type, not nothing", Concat({Hex("10 20"), m, Hex("00")}), "0"},
        {"non flyable", Concat({m, Hex("02")}), "2"},
        {"values beyond 2 pass unchanged", Concat({m, Hex("C8")}), "200"},
        {"largest value", Concat({m, Hex("FF")}), "255"},
        {"hex 11 reads as decimal 17", Concat({m, Hex("11")}), "17"},
        {"first of two markers wins", Concat({m, Hex("02 33"), m, Hex("01")}), "2"},
        {"partial match does not hide the marker", Hex("05 01 00 00 05 01 00 00 04 00 00 00 01"), "1"},
        {"repeated 05 before the marker", Hex("05 05 05 01 00 00 04 00 00 00 07"), "7"},
        {"high bytes before the marker", Concat({Hex("80 FF C3 A9 E2 82 AC 00"), m, Hex("01")}), "1"},
        {"marker ends the file", Concat({Hex("00"), m}), ""},
        {"marker alone", m, ""},
        {"seven marker bytes only", Hex("05 01 00 00 04 00 00"), ""},
        {"no marker", Hex("01 02 03 04 05 06 07 08 09 0A"), ""},
        {"marker with one byte wrong", Hex("05 01 00 00 04 00 00 01 02"), ""},
        {"empty file", {}, ""},
    };
    const auto dir = FreshTestDir();
    for (const auto& c : cases) {
        const auto path = dir / "case.air";
        WriteBytes(path, c.bytes);
        EXPECT_EQ(ReadAirfileType(path), c.expected) << c.name;
        EXPECT_EQ(ReadAirfileType(path), ReferenceType(c.bytes)) << c.name;
    }
}

TEST(ReadAirfileType, MissingFileReadsAsNothingAndIsNotCreated)
{
    const auto dir = FreshTestDir();
    EXPECT_EQ(ReadAirfileType(dir / "absent.air"), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.air"));
    EXPECT_EQ(ReadAirfileType(dir / "no-folder" / "absent.air"), "");
    EXPECT_EQ(ReadAirfileType(dir), "") << "a folder is not a readable file";
}

TEST(ReadAirfileType, CorpusFilesReadAsTheManifestSays)
{
    const auto corpus = CorpusDir();
    int files = 0;
    for (const auto& entry : ReadCorpusManifest()) {
        const std::string expected = entry.typeByte < 0 ? "" : std::to_string(entry.typeByte);
        EXPECT_EQ(ReadAirfileType(corpus / "files" / entry.file), expected) << entry.file;
        ++files;
    }
    EXPECT_GE(files, 19);
}

// Files up to a few chunks long with markers planted where chunked reading could go wrong.
TEST(ReadAirfileType, AgreesWithWholeBufferSearchOnRandomFiles)
{
    std::mt19937 rng(20261207);
    const auto dir = FreshTestDir();
    const std::size_t chunk = 64 * 1024;
    const std::size_t awkwardOffsets[] = {0,         1,     chunk - 8, chunk - 7,    chunk - 4,
                                          chunk - 1, chunk, chunk + 1, 2 * chunk - 9};
    for (int round = 0; round < 120; ++round) {
        const std::size_t size = std::uniform_int_distribution<std::size_t>(0, 3 * chunk)(rng);
        Bytes bytes(size);
        // Mostly bytes that resemble the marker, so partial matches are everywhere.
        const std::uint8_t alphabet[] = {0x00, 0x01, 0x04, 0x05, 0x80, 0xFF};
        for (auto& b : bytes) b = alphabet[std::uniform_int_distribution<int>(0, 5)(rng)];
        const int plants = std::uniform_int_distribution<int>(0, 2)(rng);
        for (int p = 0; p < plants && size >= 8; ++p) {
            std::size_t at = std::uniform_int_distribution<std::size_t>(0, size - 8)(rng);
            if (round % 2 == 0)
                at = std::min(awkwardOffsets[static_cast<std::size_t>(round / 2) % std::size(awkwardOffsets)],
                              size - 8);
            const Bytes prefix = round % 3 == 0 ? Hex("05 01 00 00") : Bytes{};
            if (at >= prefix.size())
                std::copy(prefix.begin(), prefix.end(),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at - prefix.size()));
            std::copy(kTypeMarker.begin(), kTypeMarker.end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at));
        }
        const auto path = dir / "random.air";
        WriteBytes(path, bytes);
        ASSERT_EQ(ReadAirfileType(path), ReferenceType(bytes)) << "round " << round << ", size " << size;
    }
}

TEST(MarkerScanner, FindsTheSameMarkerWhateverThePieces)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 500; ++round) {
        Bytes bytes(std::uniform_int_distribution<std::size_t>(0, 200)(rng));
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 5)(rng) == 0 ? 0x05
                                          : std::uniform_int_distribution<int>(0, 4)(rng) == 0
                                              ? 4
                                              : std::uniform_int_distribution<int>(0, 1)(rng));
        if (round % 3 == 0 && bytes.size() >= 8) {
            const auto at = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 8)(rng);
            std::copy(kTypeMarker.begin(), kTypeMarker.end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at));
        }
        MarkerScanner scanner;
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            const std::size_t piece =
                std::min(bytes.size() - pos, std::uniform_int_distribution<std::size_t>(1, 9)(rng));
            const std::size_t used = scanner.Feed(bytes.data() + pos, piece);
            pos += piece;
            if (used < piece) break;
        }
        const long long k = ReferenceMarkerOffset(bytes);
        ASSERT_EQ(scanner.MarkerFound(), k >= 0) << round;
        if (k >= 0) {
            ASSERT_EQ(scanner.MarkerOffset(), static_cast<std::uint64_t>(k)) << round;
        }
        const std::string type = scanner.Complete() ? std::to_string(scanner.TypeByte()) : "";
        ASSERT_EQ(type, ReferenceType(bytes)) << round;
        // Reading stops at the type byte.
        if (scanner.Complete()) {
            ASSERT_EQ(scanner.BytesConsumed(), static_cast<std::uint64_t>(k) + 9) << round;
        }
    }
}

}  // namespace
}  // namespace korvalis::test
