#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

#include "catalogue/catalogue.h"
#include "core/airfile.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

struct NameCase {
    const char* name;
    std::string folder;  // as the row shows it
    std::string file;
};

// Scans `dir`, marks every row, gives it type 1 and writes. Returns the rows as
// {folder, file}, each checked to show type 0 before the write.
std::set<std::pair<std::string, std::string>> ScanAndWriteAll(const fs::path& dir, RecordingShell& shell)
{
    SessionState state;
    state.AircraftDir = PathToUtf8(dir);
    MemoryAirfileList list;
    CatalogueRig catalogue(state, list, shell);
    catalogue.Load_Airfiles();
    std::set<std::pair<std::string, std::string>> rows;
    for (int i = 1; i <= list.Count(); ++i) {
        rows.emplace(list.Row(i).FolderText(), list.Row(i).FileText());
        EXPECT_EQ(TypeText(list.Row(i).pendingType), "Aircraft") << list.Row(i).FolderText();
        list.SetMarked(i, true);
    }
    catalogue.AssignTypeToMarked(1);
    catalogue.WriteMarkedTypes();
    for (int i = 1; i <= list.Count(); ++i) EXPECT_FALSE(list.IsMarked(i)) << list.Row(i).FolderText();
    return rows;
}

// Each file must be listed under its own names and written where it lies, whatever the
// names hold and however long the path is.
TEST(NamesAndPaths, ScanAndWriteEveryKindOfName)
{
    const std::string longFolder = "Long folder " + std::string(180, 'x');
    const std::string longFile = std::string(90, 'y') + " ελληνικά.air";
    const NameCase cases[] = {
        {"Greek", "Ελληνικά αεροσκάφη", "Σέσνα 172.air"},
        {"CJK and emoji", "日本語 ✈🛩", "飛行機 🚁.AIR"},
        {"spaces, dots and ampersands", "Piper J-3 Cub & Co. v1.2", "j3 cub. & more..air"},
        {"a path beyond 260 characters", longFolder, longFile},
    };
    const fs::path dir = FreshTestDir() / "Aircraft";
    std::set<std::pair<std::string, std::string>> expected;
    for (const auto& c : cases) {
        Put(dir / PathFromUtf8(c.folder) / PathFromUtf8(c.file), AirOfType(0));
        expected.emplace(c.folder, c.file);
    }
    EXPECT_GT((dir / PathFromUtf8(longFolder) / PathFromUtf8(longFile)).native().size(), 260u);

    RecordingShell shell;
    EXPECT_EQ(ScanAndWriteAll(dir, shell), expected);
    EXPECT_EQ(shell.writeEnabled, std::optional<bool>(true)) << "a write failed";
    for (const auto& c : cases) {
        const fs::path air = dir / PathFromUtf8(c.folder) / PathFromUtf8(c.file);
        EXPECT_EQ(ReadAirfileType(air), "1") << c.name;
        EXPECT_EQ(ReadBytes(BackupOf(air)), AirOfType(0)) << c.name;
    }
}

// A symbolic link to a folder, made by support/make_folders.sh, is scanned like a folder
// and its file written where it really lies.
TEST(NamesAndPaths, ALinkedFolderIsScannedLikeAFolder)
{
    const fs::path root = fs::path(KORVALIS_TEST_TMP) / "linked-folder";
    const fs::path real = root / "Elsewhere" / "Real folder" / "linked.air";
    ASSERT_TRUE(fs::exists(real)) << "the linked folder was not made";
    RecordingShell shell;
    const std::set<std::pair<std::string, std::string>> expected = {{"Linked folder", "linked.air"}};
    EXPECT_EQ(ScanAndWriteAll(root / "Aircraft", shell), expected);
    EXPECT_EQ(ReadAirfileType(real), "1");
    EXPECT_EQ(ReadBytes(BackupOf(real)), AirOfType(0));
}

// A folder of 50,000 entries, made before the test by support/make_folders.sh: every
// fifth is entryN.air of type N % 3, the others are entryN.txt.
TEST(NamesAndPaths, AFolderOfFiftyThousandEntries)
{
    constexpr int kEntries = 50000;
    const fs::path dir = fs::path(KORVALIS_TEST_TMP) / "big-folder" / "Aircraft";
    ASSERT_TRUE(fs::exists(dir / "Big" / "entry49995.air")) << "the big folder was not made";
    std::set<std::pair<std::string, std::string>> expected;  // file, type
    for (int i = 0; i < kEntries; i += 5)
        expected.emplace("entry" + std::to_string(i) + ".air", kTypeTexts[i % 3]);

    SessionState state;
    state.AircraftDir = PathToUtf8(dir);
    MemoryAirfileList list;
    RecordingShell shell;
    const auto start = std::chrono::steady_clock::now();
    CatalogueRig(state, list, shell).Load_Airfiles();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::set<std::pair<std::string, std::string>> rows;
    for (int i = 1; i <= list.Count(); ++i) {
        EXPECT_EQ(list.Row(i).FolderText(), "Big");
        rows.emplace(list.Row(i).FileText(), TypeText(list.Row(i).pendingType));
    }
    EXPECT_EQ(list.Count(), kEntries / 5);
    EXPECT_EQ(rows, expected);
    std::printf("[ NOTE ] scanned %d entries, %d rows, in %.2f s\n", kEntries, list.Count(), seconds);
}

}  // namespace
}  // namespace korvalis::test
