#include <gtest/gtest.h>

#include <atomic>

#include "catalogue/catalogue.h"
#include "catalogue/error_text.h"
#include "core/airfile.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

TEST(VirtualStoreCounterpart, OnTheSystemDriveBelowARedirectedFolder)
{
    const RedirectedFolders windows{"C:",
                                    "C:\\Program Files",
                                    "C:\\Program Files (x86)",
                                    "C:\\ProgramData",
                                    "C:\\Windows",
                                    "C:\\Users\\Ann\\AppData\\Local\\"};
    RedirectedFolders driveOnly = windows;
    driveOnly.programData = "C:\\";
    const std::string store = "C:\\Users\\Ann\\AppData\\Local\\VirtualStore";
    struct Case {
        const RedirectedFolders& folders;
        std::string dir;
        std::string counterpart;
    };
    const Case cases[] = {
        {windows, "C:\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9\\Aircraft\\",
         store + "\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9\\Aircraft\\"},
        {windows, "c:\\PROGRAM FILES\\\\fs9\\aircraft", store + "\\PROGRAM FILES\\\\fs9\\aircraft"},
        {windows, "C:\\ProgramData\\Sim\\", store + "\\ProgramData\\Sim\\"},
        {windows, "C:\\Windows\\Sim", store + "\\Windows\\Sim"},
        {windows, "C:\\Program Files2\\Sim\\Aircraft\\", ""},
        {windows, "C:\\Games\\FS9\\Aircraft\\", ""},
        {windows, "D:\\Program Files\\Sim\\Aircraft\\", ""},
        {windows, store + "\\Program Files\\Sim\\", ""},
        {driveOnly, "C:\\Games\\Aircraft\\", ""},  // a value naming only the drive redirects nothing
        {RedirectedFolders{}, "C:\\Program Files\\Sim\\", ""},  // what other systems have
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualStoreCounterpart(c.dir, c.folders), c.counterpart) << c.dir;
}

// An aircraft directory below a redirected folder in a fresh temporary folder, and its counterpart.
struct StoreTree {
    StoreTree()
    {
        const fs::path root = FreshTestDir();
        fs::create_directories(dir = root / "Program Files" / "Sim" / "Aircraft");
        folders = {PathToUtf8(root.root_name()), PathToUtf8(root / "Program Files"), "", "", "",
                   PathToUtf8(root / "Local")};
        state.AircraftDir = PathToUtf8(dir) + kDirSeparator;
        store = PathFromUtf8(VirtualStoreCounterpart(state.AircraftDir, folders));
    }
    fs::path dir, store;
    RedirectedFolders folders;
    SessionState state;
};

// A copy's bytes differ from its file's before the type byte, so either backup tells whose it is.
Bytes CopyOfType(std::uint8_t type) { return Concat({Hex("C0 C0"), AirOfType(type)}); }

// The system's scan, on a file system that counts what it is asked.
class CountingScan final : public AirfileRoutines, public ScanFileSystem {
public:
    ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink) override
    {
        return ScanAircraftDir(dirs, readers, control, sink, {}, *this);
    }
    std::int32_t Write(const fs::path&, std::int16_t) override { return kWriteOk; }
    std::int32_t Restore(const fs::path&, std::uint8_t&, bool*) override { return kWriteOk; }
    bool ListEntries(const fs::path& folder, const EntryCallback& each, std::int32_t* error) const override
    {
        return ++listings, RealFileSystem().ListEntries(folder, each, error);
    }
    bool ListAirFiles(const fs::path& folder, const NameCallback& each, std::int32_t* error) const override
    {
        return ++listings, RealFileSystem().ListAirFiles(folder, each, error);
    }
    AirfileRead ReadType(const fs::path& file, const StopCheck& stop) const override
    {
        return ++reads, RealFileSystem().ReadType(file, stop);
    }
    mutable std::atomic<int> listings{0}, reads{0};
};

// The store is listed once, and each of its folders named like a listed one (case ignored) once;
// without a counterpart the scan asks for nothing more than before.
TEST(Load_Airfiles, CountsTheCopiesInTheVirtualStore)
{
    using Placed = std::vector<std::pair<const char*, std::uint8_t>>;  // "Folder/file.air", type
    struct Case {
        Placed files, copies;
        bool redirected;
        std::string outcome;
        std::vector<std::string> tips;  // each row's added lines, rows by folder
        int listings, reads;
    };
    const Case cases[] = {
        {{{"A/a.air", 0}, {"B/b.air", 0}, {"C/c.air", 1}},
         {{"a/A.AIR", 2}, {"B/b.air", 0}, {"Only/x.air", 0}, {"Empty/", 0}},
         true,
         "2 .air files have a copy in the VirtualStore; 2 folders only in the VirtualStore",
         {"The copy in the VirtualStore holds: non flyable", "", ""},
         7,
         5},
        {{{"A/a.air", 1}},
         {{"A/a.air", 1}, {"Z/z.air", 0}},
         true,
         "1 .air file has a copy in the VirtualStore; 1 folder only in the VirtualStore",
         {""},
         4,
         2},
        {{{"A/a.air", 0}}, {{"A/other.air", 2}}, true, "", {""}, 4, 1},  // a copy of no listed file
        {{{"A/a.air", 0}}, {}, true, "", {""}, 3, 1},                    // no VirtualStore folder
        {{{"A/a.air", 0}}, {{"A/a.air", 2}}, false, "", {""}, 2, 1},     // not redirected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outcome + " " + std::to_string(c.listings));
        StoreTree tree;
        for (const auto& [name, type] : c.files) Put(tree.dir / name, AirOfType(type));
        for (const auto& [name, type] : c.copies) {
            const fs::path path = tree.store / name;
            path.has_filename() ? Put(path, CopyOfType(type)) : (void)fs::create_directories(path);
        }
        MemoryAirfileList list;
        RecordingShell shell;
        CountingScan counting;
        CatalogueRig rig(tree.state, list, shell);
        rig.Get().SetFileRoutines(counting);
        if (c.redirected) rig.Get().SetRedirectedFolders(tree.folders);
        rig.Load_Airfiles();
        list.Sort({SortColumn::Folder, false});
        std::vector<std::string> tips;
        for (int i = 1; i <= list.Count(); ++i) tips.push_back(RowTipLines(list.Row(i)));
        EXPECT_EQ(tips, c.tips);
        EXPECT_EQ(counting.listings.load(), c.listings);
        EXPECT_EQ(counting.reads.load(), c.reads);
        EXPECT_EQ(shell.outcomes.back(), c.outcome);
        if (c.outcome.empty()) continue;
        std::string tooltip = c.outcome;
        tooltip.replace(tooltip.find("; "), 2, "\n");
        EXPECT_EQ(NotesTooltip(shell.outcomeNotes.back()),
                  tooltip + "\n" + PathToUtf8(tree.store) +
                      "\nThe simulator reads these copies in place of the files when it runs without "
                      "administrator rights.");
    }
}

// A row with a copy is written when both its file and its copy are; one that failed is written
// alone by the next Write, and the one done keeps the backup of its first write.
TEST(WriteWithCopies, AFileAndItsCopyEachWithItsOwnBackup)
{
    for (const bool copyFails : {true, false}) {
        SCOPED_TRACE(copyFails ? "the copy fails" : "the file fails");
        StoreTree tree;
        const fs::path file = tree.dir / "One" / "one.air", copy = tree.store / "one" / "ONE.AIR";
        Put(file, AirOfType(0));
        Put(copy, CopyOfType(2));
        Put(tree.dir / "Two" / "two.air", AirOfType(0));
        MemoryAirfileList list;
        RecordingShell shell;
        CatalogueRig rig(tree.state, list, shell);
        rig.Get().SetRedirectedFolders(tree.folders);
        rig.Load_Airfiles();
        list.Sort({SortColumn::Folder, false});
        list.SetAllMarked(true);
        rig.AssignTypeToMarked(1);

        const fs::path failing = copyFails ? copy : file;
        fs::create_directories(BackupOf(failing));  // a folder where the backup goes
        rig.WriteMarkedTypes();
        const std::string sep(1, kDirSeparator), why = ErrorText(WriteAirfileType(failing, 1));
        const std::string failure = copyFails ? "one" + sep + "ONE.AIR (VirtualStore copy): " + why : why;
        EXPECT_EQ(ReadBytes(file), AirOfType(copyFails ? 1 : 0));
        EXPECT_EQ(ReadBytes(copy), CopyOfType(copyFails ? 2 : 1));
        EXPECT_TRUE(list.IsMarked(1) && !list.IsMarked(2));
        EXPECT_EQ(list.ChangedCount(), 1) << "half written is not written";
        const std::string failed = copyFails ? "one" + sep + "ONE.AIR (VirtualStore copy)" : "One" + sep + "one.air";
        EXPECT_EQ(shell.outcomes.back(), "1 written, 1 failed: 1 " + WithoutStop(why) + " (first: " + failed + ")");
        EXPECT_EQ(RowTipLines(list.Row(1)), std::string("The copy in the VirtualStore holds: ") +
                                                (copyFails ? "non flyable\n" : "Helicopter\n") + failure);

        fs::remove(BackupOf(failing));
        rig.WriteMarkedTypes();
        EXPECT_EQ(ReadBytes(file), AirOfType(1));
        EXPECT_EQ(ReadBytes(copy), CopyOfType(1));
        EXPECT_EQ(ReadBytes(BackupOf(file)), AirOfType(0));
        EXPECT_EQ(ReadBytes(BackupOf(copy)), CopyOfType(2));
        EXPECT_TRUE(!list.IsMarked(1) && list.ChangedCount() == 0);

        list.SetMarked(1, true);
        rig.RestoreMarkedFromBackups();
        EXPECT_EQ(ReadBytes(file), AirOfType(0));
        EXPECT_EQ(ReadBytes(copy), CopyOfType(2));
        EXPECT_FALSE(list.IsMarked(1));
    }
}

}  // namespace
}  // namespace korvalis::test
