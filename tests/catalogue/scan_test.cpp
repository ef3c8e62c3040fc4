#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "catalogue/catalogue.h"
#include "catalogue/error_text.h"
#include "catalogue/scan.h"
#include "core/airfile.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/faulty_files.h"
#include "tests/support/file_attributes.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

Bytes AirWithoutMarker() { return Hex("41 01 00 00 04 00 00 00 07"); }

std::string DirText(const fs::path& dir)
{
    std::string text = PathToUtf8(dir);
    if (text.back() != kDirSeparator) text += kDirSeparator;
    return text;
}

using RowTexts = std::tuple<std::string, std::string, std::string, std::string>;  // folder, file, type, tip

std::vector<RowTexts> Rows(const AirfileList& list, bool sorted = true)
{
    std::vector<RowTexts> rows;
    for (int i = 1; i <= list.Count(); ++i) {
        const AirfileRow& r = list.Row(i);
        rows.emplace_back(r.FolderText(), r.FileText(), TypeText(r.pendingType), TypeText(r.scannedType));
    }
    if (sorted) std::sort(rows.begin(), rows.end());
    return rows;
}

struct ScanCase {
    const char* name;
    std::function<void(const fs::path&)> build;
    std::vector<RowTexts> rows;  // sorted
    bool message;
};

TEST(Load_Airfiles, BuildsOneRowPerTypedFileOneLevelDown)
{
    const ScanCase cases[] = {
        {"directory that does not exist", [](const fs::path& d) { fs::remove(d); }, {}, true},
        {"sub-folders without .air files, .air only in the directory itself",
         [](const fs::path& d) {
             fs::create_directories(d / "Empty");
             Put(d / "Other" / "readme.txt", Hex("00"));
             Put(d / "top.air", AirOfType(0));
         },
         {},
         true},
        {"every file without the marker: empty list, no message",
         [](const fs::path& d) {
             Put(d / "A" / "a.air", AirWithoutMarker());
             Put(d / "B" / "b.air", {});
         },
         {},
         false},
        {"two files in one folder, either case of extension",
         [](const fs::path& d) {
             Put(d / "C172" / "a.air", AirOfType(0));
             Put(d / "C172" / "B.AIR", AirOfType(1));
         },
         {{"C172", "B.AIR", "Helicopter", "Helicopter"}, {"C172", "a.air", "Aircraft", "Aircraft"}},
         false},
        {"type 2 and type 3",
         [](const fs::path& d) {
             Put(d / "Blimp" / "blimp.air", AirOfType(2));
             Put(d / "Odd" / "odd.air", AirOfType(3));
         },
         {{"Blimp", "blimp.air", "non flyable", "non flyable"}, {"Odd", "odd.air", "", ""}},
         false},
        {"a four-letter extension starting with air is no .air file",
         [](const fs::path& d) { Put(d / "X" / "x.airx", AirOfType(0)); },
         {},
         true},
        {"backups, finished or not, are never listed",
         [](const fs::path& d) {
             Put(d / "B" / "b.air", AirOfType(2));
             Put(d / "B" / "b.air.KRVL_bak", AirOfType(0));
             Put(d / "B" / "b.air.KRVL_bak.tmp", AirOfType(1));
         },
         {{"B", "b.air", "non flyable", "non flyable"}},
         false},
        {"a file named exactly .air is read",
         [](const fs::path& d) { Put(d / "Dot" / ".air", AirOfType(1)); },
         {{"Dot", ".air", "Helicopter", "Helicopter"}},
         false},
        {"a folder named like an .air file is not a file",
         [](const fs::path& d) { fs::create_directories(d / "Y" / "y.air"); },
         {},
         true},
        {"a file two levels down is not scanned",
         [](const fs::path& d) { Put(d / "Deep" / "sub" / "deep.air", AirOfType(0)); },
         {},
         true},
        {"a folder whose name begins with a dot reads as hidden",
         [](const fs::path& d) {
             Put(d / ".Hidden" / "h.air", AirOfType(0));
             Put(d / "Shown" / "s.air", AirOfType(0));
         },
         {{"Shown", "s.air", "Aircraft", "Aircraft"}},
         false},
        {"names outside any ANSI code page",
         [](const fs::path& d) {
             Put(d / PathFromUtf8("日本語 ✈🛩") / PathFromUtf8("飛行機 &.air"), AirOfType(1));
         },
         {{"日本語 ✈🛩", "飛行機 &.air", "Helicopter", "Helicopter"}},
         false},
    };
    for (const auto& c : cases) {
        const fs::path dir = FreshTestDir() / "Aircraft";
        fs::create_directories(dir);
        c.build(dir);
        SessionState state{DirText(dir), {}, {}, {}};
        MemoryAirfileList list;
        RecordingShell shell;
        CatalogueRig(state, list, shell).Load_Airfiles();
        EXPECT_EQ(Rows(list), c.rows) << c.name;
        const bool messaged = std::count(shell.calls.begin(), shell.calls.end(),
                                         std::string("message: ") + kNoAirfilesMessage) == 1;
        EXPECT_EQ(messaged, c.message) << c.name;
        EXPECT_EQ(shell.writeEnabled, std::optional<bool>(false)) << c.name;
        EXPECT_EQ(shell.calls.back(), "pointer") << c.name;
        for (int i = 1; i <= list.Count(); ++i) EXPECT_FALSE(list.IsMarked(i)) << c.name;
    }
}

#ifdef _WIN32
// Natively only the dot-name stand-in exists, tested above.
TEST(Load_Airfiles, HiddenAndSystemAttributes)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    Put(dir / "HiddenFolder" / "h.air", AirOfType(0));
    Put(dir / "SystemFolder" / "s.air", AirOfType(0));
    Put(dir / "Plain" / "hidden.air", AirOfType(1));
    Put(dir / "Plain" / "system.air", AirOfType(2));
    ASSERT_TRUE(SetHiddenAttribute(dir / "HiddenFolder"));
    ASSERT_TRUE(SetSystemAttribute(dir / "SystemFolder"));
    ASSERT_TRUE(SetHiddenAttribute(dir / "Plain" / "hidden.air"));
    ASSERT_TRUE(SetSystemAttribute(dir / "Plain" / "system.air"));
    SetReadOnly(dir / "Plain" / "system.air", true);

    SessionState state{DirText(dir), {}, {}, {}};
    MemoryAirfileList list;
    RecordingShell shell;
    CatalogueRig(state, list, shell).Load_Airfiles();
    const std::vector<RowTexts> expected = {{"Plain", "hidden.air", "Helicopter", "Helicopter"},
                                            {"Plain", "system.air", "non flyable", "non flyable"}};
    EXPECT_EQ(Rows(list), expected);
    SetReadOnly(dir / "Plain" / "system.air", false);
}
#endif

#ifndef _WIN32
// Files without a marker, files that cannot be read and folders that cannot be listed are counted
// apart, each with the first of its kind. A link to nothing stands for a file or folder that
// cannot be opened: it fails the same way whoever runs the test, root included.
TEST(Load_Airfiles, CountsWhatItCouldNotReadApart)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    const fs::path nowhere = FreshTestDir() / "nowhere";
    Put(dir / "A" / "plain.air", AirWithoutMarker());
    Put(dir / "A" / "typed.air", AirOfType(0));
    Put(dir / "B" / "other.air", AirWithoutMarker());
    fs::create_symlink(nowhere / "gone.air", dir / "B" / "broken.air");
    fs::create_directory_symlink(nowhere / "Gone", dir / "C");

    SessionState state{DirText(dir), {}, {}, {}};
    MemoryAirfileList list;
    RecordingShell shell;
    CatalogueRig(state, list, shell).Load_Airfiles();
    const std::string missing = ErrorText(ENOENT);
    EXPECT_EQ(shell.outcomes, std::vector<std::string>{
                                  "2 .air files without a type marker; 1 could not be read: B/broken.air: " +
                                  missing + "; 1 folder could not be listed: C: " + missing});
    EXPECT_EQ(list.Count(), 1);
}
#endif

// Made by support/make_folders.sh: a folder whose only .air entry is a link to nothing. Under
// Wine 8 its "*.air" listing answers "no more files" at once: an empty folder, not one that
// could not be listed. Natively the link is listed and cannot be opened.
TEST(Load_Airfiles, AFolderWhoseOnlyFileIsALinkToNothing)
{
    const fs::path dir = fs::path(KORVALIS_TEST_TMP) / "broken-link" / "Aircraft";
    ASSERT_TRUE(fs::exists(dir / "AI Broken Link A320")) << "the folder was not made";
    SessionState state{DirText(dir), {}, {}, {}};
    MemoryAirfileList list;
    RecordingShell shell;
    CatalogueRig(state, list, shell).Load_Airfiles();
    ASSERT_EQ(shell.outcomes.size(), 1u);
#ifdef _WIN32
    EXPECT_EQ(shell.outcomes.back().find("could not be listed"), std::string::npos) << shell.outcomes.back();
#else
    EXPECT_EQ(shell.outcomes.back(), "1 could not be read: AI Broken Link A320/x.air: " + ErrorText(ENOENT));
#endif
    EXPECT_EQ(list.Count(), 0);
}

class Collected final : public ScanSink, public WorkControl {
public:
    void FoldersListed(int) override {}
    void Rows(RowBatch batch, int) override { rows += static_cast<int>(batch.size()); }
    bool StopRequested() const override { return false; }
    void SetStopHandler(std::function<void()>) override {}
    void Post(std::function<void()>) override {}
    int rows = 0;
};

// What was listed before a listing broke off is read and kept; the break is told with its reason.
TEST(ScanListing, ABreakKeepsWhatCameBeforeItAndSaysWhy)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    for (int i = 0; i < 6; ++i) Put(dir / ("Plane " + std::to_string(i)) / "plane.air", AirOfType(0));
    for (int i = 0; i < 5; ++i) Put(dir / "Big" / ("big" + std::to_string(i) + ".air"), AirOfType(1));
    struct Case {
        const char* name;
        fs::path breaks;
        int after;
        std::vector<int> rows;  // either
        int folders, unlistable;
        bool baseBrokeOff;
    };
    const Case cases[] = {
        {"the directory's, after 3 of its 7 folders", dir, 3, {3, 7}, 3, 0, true},  // Big may be one
        {"a folder's, after 2 of its 5 files", dir / "Big", 2, {8}, 7, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Collected sink;
        const ScanReport report = ScanAircraftDir(dir, 2, sink, sink, {}, FaultyFiles(c.breaks, c.after));
        EXPECT_EQ(report.foldersRead, c.folders);
        EXPECT_EQ(report.folders, c.folders);
        EXPECT_NE(std::find(c.rows.begin(), c.rows.end(), sink.rows), c.rows.end()) << sink.rows;
        EXPECT_EQ(report.baseBrokeOff, c.baseBrokeOff);
        EXPECT_EQ(report.baseError, c.baseBrokeOff ? FaultyFiles::kError : 0);
        EXPECT_EQ(report.unlistable, c.unlistable);
        EXPECT_EQ(report.firstUnlistable.error, c.unlistable > 0 ? FaultyFiles::kError : 0);
    }
}

TEST(Load_Airfiles, AppendsTheSeparatorAndScansTheSame)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    Put(dir / "A" / "a.air", AirOfType(0));
    Put(dir / "B" / "b.air", AirOfType(1));

    SessionState with{DirText(dir), {}, {}, {}};
    std::string bare = DirText(dir);
    bare.pop_back();
    SessionState without{bare, {}, {}, {}};
    MemoryAirfileList listWith, listWithout;
    RecordingShell shell;
    CatalogueRig(with, listWith, shell).Load_Airfiles();
    CatalogueRig(without, listWithout, shell).Load_Airfiles();
    EXPECT_EQ(without.AircraftDir, with.AircraftDir);
    EXPECT_EQ(Rows(listWithout, false), Rows(listWith, false));
    EXPECT_EQ(listWith.Count(), 2);
}

TEST(Load_Airfiles, OrderOfEffects)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    fs::create_directories(dir);
    MemoryAirfileList list;
    {
        SessionState state{DirText(dir), {}, {}, {}};
        RecordingShell shell;
        CatalogueRig(state, list, shell).Load_Airfiles();
        const std::vector<std::string> expected = {
            "hourglass", "pointer", std::string("message: ") + kNoAirfilesMessage, "write off", "pointer"};
        EXPECT_EQ(shell.calls, expected);
    }
    Put(dir / "A" / "a.air", AirOfType(0));
    {
        SessionState state{DirText(dir), {}, {}, {}};
        RecordingShell shell;
        CatalogueRig(state, list, shell).Load_Airfiles();
        const std::vector<std::string> expected = {"hourglass", "write off", "pointer"};
        EXPECT_EQ(shell.calls, expected);
    }
    {  // No directory chosen yet: nothing at all happens, the rows stay.
        SessionState state;
        RecordingShell shell;
        CatalogueRig(state, list, shell).Load_Airfiles();
        EXPECT_TRUE(shell.calls.empty());
        EXPECT_EQ(list.Count(), 1);
        EXPECT_TRUE(state.AircraftDir.empty());
    }
}

TEST(Load_Airfiles, DiscardsPendingTypes)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    Put(dir / "A" / "a.air", AirOfType(0));
    SessionState state{DirText(dir), {}, {}, {}};
    MemoryAirfileList list;
    RecordingShell shell;
    CatalogueRig catalogue(state, list, shell);
    catalogue.Load_Airfiles();
    list.SetMarked(1, true);
    catalogue.AssignTypeToMarked(1);
    ASSERT_EQ(TypeText(list.Row(1).pendingType), "Helicopter");
    ASSERT_EQ(shell.writeEnabled, std::optional<bool>(true));
    catalogue.Load_Airfiles();
    EXPECT_EQ(TypeText(list.Row(1).pendingType), "Aircraft");
    EXPECT_FALSE(list.IsMarked(1));
    EXPECT_EQ(shell.writeEnabled, std::optional<bool>(false));
    EXPECT_EQ(ReadAirfileType(dir / "A" / "a.air"), "0");
    EXPECT_TRUE(list.TakeRemoved().empty()) << "the scan takes the old rows, to free them on its worker";
}

}  // namespace
}  // namespace korvalis::test
