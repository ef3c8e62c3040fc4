#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>

#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

bool IsErrorNumber(std::int32_t result) { return result != 0 && result != -1; }

// Writes bytes into the file where it stands, as another program might; false when refused.
bool PatchInPlace(const fs::path& path, std::size_t offset, const Bytes& bytes)
{
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!f) return false;
    f.seekp(static_cast<std::streamoff>(offset));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.flush();
    return static_cast<bool>(f);
}

struct WriteCase {
    const char* name;
    Bytes before;
    std::int16_t code;
    std::optional<Bytes> oldBackup;  // a backup left by an earlier write
    std::int32_t result;
    Bytes after;                  // the .air file afterwards
    std::optional<Bytes> backup;  // the backup afterwards; nullopt: none exists
};

TEST(WriteAirfileType, TableOfOutcomes)
{
    const Bytes m = Marker();
    const Bytes withZero = Concat({m, Hex("00 AB CD")});
    const WriteCase cases[] = {
        {"type 0 becomes 1 at offset 8", withZero, 1, std::nullopt, 0, Concat({m, Hex("01 AB CD")}),
         withZero},
        {"writing the value already there still replaces the backup", withZero, 0, Hex("99 99"), 0, withZero,
         withZero},
        {"a longer old backup ends exactly as long as the file", withZero, 2, Bytes(100, 0x42), 0,
         Concat({m, Hex("02 AB CD")}), withZero},
        {"only the first of two markers changes", Concat({m, Hex("00"), m, Hex("00")}), 2, std::nullopt, 0,
         Concat({m, Hex("02"), m, Hex("00")}), Concat({m, Hex("00"), m, Hex("00")})},
        {"high bytes before the marker do not move the byte", Concat({Hex("C3 A9 80 FF"), m, Hex("00 01")}),
         1, std::nullopt, 0, Concat({Hex("C3 A9 80 FF"), m, Hex("01 01")}),
         Concat({Hex("C3 A9 80 FF"), m, Hex("00 01")})},
        {"type code 255 writes FF", withZero, 255, std::nullopt, 0, Concat({m, Hex("FF AB CD")}), withZero},
        {"no marker: -1 and nothing created", Hex("01 02 03"), 1, std::nullopt, -1, Hex("01 02 03"),
         std::nullopt},
        {"no marker: an earlier backup stays", Hex("01 02 03"), 1, Hex("77"), -1, Hex("01 02 03"), Hex("77")},
        {"empty file: -1", {}, 1, std::nullopt, -1, {}, std::nullopt},
        {"marker ending the file has no type byte: -1, no backup", Concat({Hex("00"), m}), 1, std::nullopt,
         -1, Concat({Hex("00"), m}), std::nullopt},
        {"type code 256 fails after the backup", withZero, 256, Hex("77"), kErrorTypeCodeRange, withZero,
         withZero},
        {"type code -1 fails after the backup", withZero, -1, std::nullopt, kErrorTypeCodeRange, withZero,
         withZero},
    };
    const auto dir = FreshTestDir();
    for (const auto& c : cases) {
        const auto air = dir / "plane.air";
        fs::remove(BackupOf(air));
        WriteBytes(air, c.before);
        if (c.oldBackup) WriteBytes(BackupOf(air), *c.oldBackup);
        EXPECT_EQ(WriteAirfileType(air, c.code), c.result) << c.name;
        EXPECT_EQ(ReadBytes(air), c.after) << c.name;
        ASSERT_EQ(fs::exists(BackupOf(air)), c.backup.has_value()) << c.name;
        if (c.backup) {
            EXPECT_EQ(ReadBytes(BackupOf(air)), *c.backup) << c.name;
        }
        EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(air))) << c.name;
    }
}

TEST(WriteAirfileType, TwoWritesInARowKeepTheStateBeforeTheLatest)
{
    const auto air = FreshTestDir() / "plane.air";
    WriteBytes(air, Concat({Hex("AA"), Marker(), Hex("00 BB")}));
    ASSERT_EQ(WriteAirfileType(air, 1), 0);
    ASSERT_EQ(WriteAirfileType(air, 2), 0);
    EXPECT_EQ(ReadAirfileType(air), "2");
    EXPECT_EQ(ReadAirfileType(BackupOf(air)), "1");
}

TEST(WriteAirfileType, CorpusCopiesChangeInExactlyTheTypeByte)
{
    const auto dir = FreshTestDir();
    int written = 0;
    for (const auto& entry : ReadCorpusManifest()) {
        const auto original = CorpusDir() / "files" / entry.file;
        const auto copy = dir / entry.file;
        CopyWritable(original, copy);
        const Bytes before = ReadBytes(original);
        const std::int32_t result = WriteAirfileType(copy, 1);
        const Bytes after = ReadBytes(copy);
        ASSERT_EQ(after.size(), before.size()) << entry.file;
        if (entry.firstMarkerOffset < 0) {
            EXPECT_EQ(result, -1) << entry.file;
            EXPECT_EQ(after, before) << entry.file;
            EXPECT_FALSE(fs::exists(BackupOf(copy))) << entry.file;
            continue;
        }
        ++written;
        EXPECT_EQ(result, 0) << entry.file;
        const auto typeOffset = static_cast<std::size_t>(entry.firstMarkerOffset) + 8;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (i == typeOffset) {
                EXPECT_EQ(after[i], 1) << entry.file;
            } else if (after[i] != before[i]) {
                ADD_FAILURE() << entry.file << ": byte " << i << " changed";
                break;
            }
        }
        EXPECT_EQ(ReadBytes(BackupOf(copy)), before) << entry.file;
    }
    EXPECT_GE(written, 3);
}

// Whatever stands at the temporary backup's name is replaced, never written through: a link
// there to the .air file itself (or to any other file) must not be emptied by the copy.
TEST(WriteAirfileType, ALinkLeftAtTheTemporaryNameIsNotFollowed)
{
    const Bytes original = Concat({Hex("01 02"), Marker(), Hex("00 03 04")});
    const Bytes bystander = Hex("B1 B2 B3");
    struct LinkCase {
        const char* name;
        std::function<void(const fs::path& target, const fs::path& link, std::error_code&)> make;
        bool toTheAirFile;
    };
    const LinkCase cases[] = {
        {"hard link to the .air file", [](auto& t, auto& l, auto& ec) { fs::create_hard_link(t, l, ec); },
         true},
        {"symbolic link to the .air file", [](auto& t, auto& l, auto& ec) { fs::create_symlink(t, l, ec); },
         true},
        {"symbolic link to another file", [](auto& t, auto& l, auto& ec) { fs::create_symlink(t, l, ec); },
         false},
    };
    const auto dir = FreshTestDir();
    const auto air = dir / "plane.air";
    const auto other = dir / "other.dat";
    const auto temp = detail::TemporaryBackupPath(air);
    for (const auto& c : cases) {
        fs::remove(temp);
        fs::remove(BackupOf(air));
        WriteBytes(air, original);
        WriteBytes(other, bystander);
        std::error_code ec;
        c.make(c.toTheAirFile ? air : other, temp, ec);
        if (ec) {
            EXPECT_TRUE(kWindows) << c.name << ": " << ec.message();  // links need privileges there
            continue;
        }
        EXPECT_EQ(WriteAirfileType(air, 1), 0) << c.name;
        EXPECT_EQ(ReadBytes(air), Concat({Hex("01 02"), Marker(), Hex("01 03 04")})) << c.name;
        EXPECT_EQ(ReadBytes(BackupOf(air)), original) << c.name;
        EXPECT_EQ(ReadBytes(other), bystander) << c.name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(temp))) << c.name;
    }
}

TEST(WriteAirfileType, RefusalsLeaveTheFilesAsTheyWere)
{
    const Bytes original = Concat({Hex("01 02"), Marker(), Hex("00 03")});
    const Bytes stale = Hex("DE AD");
    const auto dir = FreshTestDir();

    {  // A read-only .air file: complete backup, unchanged file, an error number.
        const auto air = dir / "readonly.air";
        WriteBytes(air, original);
        WriteBytes(BackupOf(air), stale);
        SetReadOnly(air, true);
        const std::int32_t result = WriteAirfileType(air, 1);
        EXPECT_TRUE(IsErrorNumber(result)) << result;
        EXPECT_EQ(ReadBytes(air), original);
        EXPECT_EQ(ReadBytes(BackupOf(air)), original);
        SetReadOnly(air, false);
    }
    {  // A missing file: nothing created.
        const auto air = dir / "missing.air";
        EXPECT_TRUE(IsErrorNumber(WriteAirfileType(air, 1)));
        EXPECT_FALSE(fs::exists(air));
        EXPECT_FALSE(fs::exists(BackupOf(air)));
    }
    {  // A folder where the backup belongs.
        const auto air = dir / "folder.air";
        WriteBytes(air, original);
        fs::create_directory(BackupOf(air));
        EXPECT_TRUE(IsErrorNumber(WriteAirfileType(air, 1)));
        EXPECT_EQ(ReadBytes(air), original);
        EXPECT_TRUE(fs::is_directory(BackupOf(air)));
        EXPECT_TRUE(fs::is_empty(BackupOf(air)));
    }
    {  // A read-only backup is not replaced, and the file is not written.
        const auto air = dir / "robackup.air";
        WriteBytes(air, original);
        WriteBytes(BackupOf(air), stale);
        SetReadOnly(BackupOf(air), true);
        EXPECT_TRUE(IsErrorNumber(WriteAirfileType(air, 1)));
        EXPECT_EQ(ReadBytes(air), original);
        EXPECT_EQ(ReadBytes(BackupOf(air)), stale);
        SetReadOnly(BackupOf(air), false);
    }
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path().string();
    }
}

// Another program changes the file between the routine's steps.
TEST(WriteAirfileType, NeverWritesAtAStaleOffset)
{
    const Bytes original = Concat({Hex("01 02 03 04"), Marker(), Hex("00 05 06")});
    const Bytes moved = Concat({Marker(), Hex("02 01 02 03 04 05 06")});  // same length, marker moved
    const Bytes stale = Hex("DE AD");
    const auto dir = FreshTestDir();
    const auto air = dir / "plane.air";
    using detail::WriteStep;

    struct ChangeCase {
        const char* name;
        WriteStep step;
        std::function<bool(const fs::path&)> change;  // true when the change went through
        std::int32_t resultIfChanged;
        bool backupReplacedIfChanged;
    };
    const auto renameOver = [&](const fs::path& p) {
        const fs::path other = dir / "other.air";
        WriteBytes(other, original);
        std::error_code error;
        fs::rename(other, p, error);
        return !error;
    };
    const ChangeCase cases[] = {
        {"marker moved after the first read", WriteStep::FirstReadDone,
         [&](const fs::path& p) { return PatchInPlace(p, 0, moved); }, kErrorFileChanged, false},
        {"file removed after the first read", WriteStep::FirstReadDone,
         [&](const fs::path& p) {
             std::error_code error;
             return fs::remove(p, error);
         },
         2 /* any error */, false},
        {"file removed while the copy was open", WriteStep::BackupCopied,
         [&](const fs::path& p) {
             std::error_code error;
             return fs::remove(p, error);
         },
         2 /* any error */, false},
        {"file grew after the backup", WriteStep::BackupReplaced,
         [&](const fs::path& p) {
             WriteBytes(p, Concat({original, Hex("FF")}));
             return true;
         },
         kErrorFileChanged, true},
        {"a byte before the marker changed after the backup", WriteStep::BackupReplaced,
         [&](const fs::path& p) { return PatchInPlace(p, 1, Hex("77")); }, kErrorFileChanged, true},
        {"a byte changed while the copy was open", WriteStep::BackupCopied,
         [&](const fs::path& p) { return PatchInPlace(p, 0, Hex("77")); }, kErrorFileChanged, true},
        {"marker destroyed while open for writing", WriteStep::OpenedForWriting,
         [&](const fs::path& p) { return PatchInPlace(p, 4, Hex("00")); }, kErrorFileChanged, true},
        // Another file with the very same bytes: only its identity tells it from the one copied.
        {"another file renamed over it before the backup took its name", WriteStep::BackupCopied, renameOver,
         kErrorFileReplaced, false},
        {"another file renamed over it before the byte write", WriteStep::BackupReplaced, renameOver,
         kErrorFileReplaced, true},
    };
    for (const auto& c : cases) {
        WriteBytes(air, original);
        WriteBytes(BackupOf(air), stale);
        bool changed = false;
        Bytes expectedAir = original;
        const std::int32_t result = detail::WriteAirfileTypeWithHook(air, 1, [&](WriteStep step) {
            if (step != c.step) return;
            changed = c.change(air);
            if (changed && fs::exists(air)) expectedAir = ReadBytes(air);
        });
        if (!changed) {
            // Only Windows refuses: the routine holds the file against writers at these steps.
            EXPECT_TRUE(kWindows) << c.name;
            EXPECT_TRUE(c.step == WriteStep::FirstReadDone || c.step == WriteStep::BackupCopied ||
                        c.step == WriteStep::OpenedForWriting)
                << c.name;
            EXPECT_EQ(result, 0) << c.name;
            EXPECT_EQ(ReadAirfileType(air), "1") << c.name;
            continue;
        }
        if (c.resultIfChanged == kErrorFileChanged) {
            EXPECT_EQ(result, kErrorFileChanged) << c.name;
        } else {
            EXPECT_TRUE(IsErrorNumber(result)) << c.name << ": " << result;
        }
        if (fs::exists(air)) {
            EXPECT_EQ(ReadBytes(air), expectedAir) << c.name;
        }
        EXPECT_EQ(ReadBytes(BackupOf(air)), c.backupReplacedIfChanged ? original : stale) << c.name;
        EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(air))) << c.name;
    }
}

}  // namespace
}  // namespace korvalis::test
