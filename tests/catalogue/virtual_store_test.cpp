#include <gtest/gtest.h>

#include <atomic>

#include "catalogue/catalogue.h"
#include "catalogue/error_text.h"
#include "catalogue/virtual_store.h"
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
                                    "C:\\Users\\Ann\\AppData\\Local"};
    RedirectedFolders trailing = windows;  // values as some systems give them
    trailing.programFiles += "\\";
    trailing.localAppData += "\\";
    const RedirectedFolders none;  // what other systems have
    RedirectedFolders driveOnly = windows;
    driveOnly.programData = "C:\\";
    const std::string store = "C:\\Users\\Ann\\AppData\\Local\\VirtualStore";
    struct Case {
        const char* name;
        const RedirectedFolders& folders;
        std::string dir;
        std::string counterpart;
    };
    const Case cases[] = {
        {"the simulator's own directory", windows,
         "C:\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9\\Aircraft\\",
         store + "\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9\\Aircraft\\"},
        {"case ignored, the directory's own case kept", windows, "c:\\PROGRAM FILES\\fs9\\aircraft",
         store + "\\PROGRAM FILES\\fs9\\aircraft"},
        {"ProgramData", windows, "C:\\ProgramData\\Sim\\Aircraft\\",
         store + "\\ProgramData\\Sim\\Aircraft\\"},
        {"the Windows folder", windows, "C:\\Windows\\Sim\\Aircraft", store + "\\Windows\\Sim\\Aircraft"},
        {"the redirected folder itself", windows, "C:\\Program Files", store + "\\Program Files"},
        {"values ending with a separator", trailing, "C:\\Program Files\\Sim\\",
         store + "\\Program Files\\Sim\\"},
        {"a longer name is another folder", windows, "C:\\Program Files2\\Sim\\Aircraft\\", ""},
        {"a shorter name is another folder", windows, "C:\\Program\\Sim\\Aircraft\\", ""},
        {"not below a redirected folder", windows, "C:\\Games\\FS9\\Aircraft\\", ""},
        {"another drive", windows, "D:\\Program Files\\Sim\\Aircraft\\", ""},
        {"a share", windows, "\\\\server\\C$\\Program Files\\Sim\\", ""},
        {"the VirtualStore itself", windows, store + "\\Program Files\\Sim\\", ""},
        {"the drive's root", windows, "C:\\", ""},
        {"a value naming only the drive redirects nothing", driveOnly, "C:\\Games\\Aircraft\\", ""},
        {"no folders known", none, "C:\\Program Files\\Sim\\Aircraft\\", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualStoreCounterpart(c.dir, c.folders), c.counterpart) << c.name;
}

// An aircraft directory below a redirected folder, in a fresh temporary folder, and the place of
// its VirtualStore counterpart.
struct StoreTree {
    StoreTree()
    {
        const fs::path root = FreshTestDir();
        dir = root / "Program Files" / "Sim" / "Aircraft";
        fs::create_directories(dir);
        folders.systemDrive = PathToUtf8(root.root_name());
        folders.programFiles = PathToUtf8(root / "Program Files");
        folders.localAppData = PathToUtf8(root / "Local");
        dirText = PathToUtf8(dir) + kDirSeparator;
        store = PathFromUtf8(VirtualStoreCounterpart(dirText, folders));
    }
    fs::path dir, store;
    std::string dirText;
    RedirectedFolders folders;
};

// A copy's bytes differ from its file's before the type byte, so either backup tells whose it is.
Bytes CopyOfType(std::uint8_t type) { return Concat({Hex("C0 C0"), AirOfType(type)}); }

std::vector<bool> MarksOf(const AirfileList& list)
{
    std::vector<bool> marks;
    for (int i = 1; i <= list.Count(); ++i) marks.push_back(list.IsMarked(i));
    return marks;
}

using Placed = std::vector<std::pair<std::string, std::uint8_t>>;  // "Folder/file.air", type

TEST(Load_Airfiles, CountsTheCopiesInTheVirtualStore)
{
    const std::string reason =
        "The simulator reads these copies in place of the files when it runs without administrator rights.";
    struct Case {
        const char* name;
        Placed files;
        Placed copies;
        std::vector<std::string> storeOnly;  // empty folders only in the store
        bool redirected;
        std::string outcome;
        std::vector<std::string> tips;  // each row's added lines, rows by folder
    };
    const Case cases[] = {
        {"names matched ignoring case; one copy holds another type",
         {{"A/a.air", 0}, {"B/b.air", 0}, {"C/c.air", 1}},
         {{"a/A.AIR", 2}, {"B/b.air", 0}, {"Only/x.air", 0}},
         {"Empty"},
         true,
         "2 .air files have a copy in the VirtualStore; 2 folders only in the VirtualStore",
         {"The copy in the VirtualStore holds: non flyable", "", ""}},
        {"one of each",
         {{"A/a.air", 1}},
         {{"A/a.air", 1}, {"Z/z.air", 0}},
         {},
         true,
         "1 .air file has a copy in the VirtualStore; 1 folder only in the VirtualStore",
         {""}},
        {"a copy of no listed file", {{"A/a.air", 0}}, {{"A/other.air", 2}}, {}, true, "", {""}},
        {"no VirtualStore folder", {{"A/a.air", 0}}, {}, {}, true, "", {""}},
        {"not below a redirected folder: not looked at",
         {{"A/a.air", 0}},
         {{"A/a.air", 2}},
         {},
         false,
         "",
         {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreTree tree;
        for (const auto& [name, type] : c.files) Put(tree.dir / PathFromUtf8(name), AirOfType(type));
        for (const auto& [name, type] : c.copies) Put(tree.store / PathFromUtf8(name), CopyOfType(type));
        for (const std::string& name : c.storeOnly) fs::create_directories(tree.store / PathFromUtf8(name));
        SessionState state{tree.dirText, {}, {}, {}};
        MemoryAirfileList list;
        RecordingShell shell;
        CatalogueRig rig(state, list, shell);
        if (c.redirected) rig.Get().SetRedirectedFolders(tree.folders);
        rig.Load_Airfiles();
        list.Sort({SortColumn::Folder, false});
        std::vector<std::string> tips;
        for (int i = 1; i <= list.Count(); ++i) tips.push_back(RowTipLines(list.Row(i)));
        EXPECT_EQ(tips, c.tips);
        ASSERT_EQ(shell.outcomes.size(), 1u);
        EXPECT_EQ(shell.outcomes.back(), c.outcome);
        if (c.outcome.empty()) continue;
        std::string tooltip = c.outcome;
        tooltip.replace(tooltip.find("; "), 2, "\n");
        EXPECT_EQ(NotesTooltip(shell.outcomeNotes.back()),
                  tooltip + "\n" + PathToUtf8(tree.store) + "\n" + reason);
    }
}

// The scan's file system, counting what it is asked.
class CountingFiles final : public ScanFileSystem {
public:
    bool ListEntries(const fs::path& folder, const EntryCallback& each, std::int32_t* error) const override
    {
        ++listings;
        return RealFileSystem().ListEntries(folder, each, error);
    }
    bool ListAirFiles(const fs::path& folder, const NameCallback& each, std::int32_t* error) const override
    {
        ++listings;
        return RealFileSystem().ListAirFiles(folder, each, error);
    }
    AirfileRead ReadType(const fs::path& file, const StopCheck& stop) const override
    {
        ++reads;
        return RealFileSystem().ReadType(file, stop);
    }
    mutable std::atomic<int> listings{0}, reads{0};
};

class CountedScan final : public AirfileRoutines {
public:
    explicit CountedScan(const ScanFileSystem& files) : m_files(files) {}
    ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink) override
    {
        return ScanAircraftDir(dirs, readers, control, sink, {}, m_files);
    }
    std::int32_t Write(const fs::path&, std::int16_t) override { return kWriteOk; }
    std::int32_t Restore(const fs::path&, std::uint8_t&, bool*) override { return kWriteOk; }

private:
    const ScanFileSystem& m_files;
};

// The store is listed once, and each of its folders named like a listed one once; without a
// counterpart the scan asks for nothing more than the directory's own listings and reads.
TEST(Load_Airfiles, LooksIntoTheVirtualStoreOnce)
{
    struct Case {
        const char* name;
        bool redirected;
        int listings, reads;
    };
    const Case cases[] = {
        {"no counterpart: the directory, its 3 folders, 3 files", false, 4, 3},
        {"counterpart: and the store, its 2 folders of the same names, 2 copies", true, 7, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreTree tree;
        for (const char* name : {"A/a.air", "B/b.air", "C/c.air"}) Put(tree.dir / name, AirOfType(0));
        for (const char* name : {"a/a.air", "B/b.air", "Only/o.air"}) Put(tree.store / name, CopyOfType(1));
        SessionState state{tree.dirText, {}, {}, {}};
        MemoryAirfileList list;
        RecordingShell shell;
        CountingFiles files;
        CountedScan routines(files);
        CatalogueRig rig(state, list, shell);
        rig.Get().SetFileRoutines(routines);
        if (c.redirected) rig.Get().SetRedirectedFolders(tree.folders);
        rig.Load_Airfiles();
        EXPECT_EQ(files.listings.load(), c.listings);
        EXPECT_EQ(files.reads.load(), c.reads);
        EXPECT_EQ(list.Count(), 3);
    }
}

// A row with a copy is written when both its file and its copy are; one that failed is written
// alone by the next Write, and the one done keeps the backup of its first write.
TEST(WriteWithCopies, AFileAndItsCopyEachWithItsOwnBackup)
{
    struct Case {
        const char* name;
        bool copyFails;
    };
    const Case cases[] = {{"the copy fails", true}, {"the file fails", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreTree tree;
        const fs::path file = tree.dir / "One" / "one.air", copy = tree.store / "one" / "ONE.AIR";
        Put(file, AirOfType(0));
        Put(copy, CopyOfType(2));
        Put(tree.dir / "Two" / "two.air", AirOfType(0));
        SessionState state{tree.dirText, {}, {}, {}};
        MemoryAirfileList list;
        RecordingShell shell;
        CatalogueRig rig(state, list, shell);
        rig.Get().SetRedirectedFolders(tree.folders);
        rig.Load_Airfiles();
        list.Sort({SortColumn::Folder, false});
        ASSERT_EQ(list.Count(), 2);
        list.SetAllMarked(true);
        rig.AssignTypeToMarked(1);

        // A folder where the backup goes cannot be replaced by a file.
        const fs::path failing = c.copyFails ? copy : file;
        fs::create_directories(BackupOf(failing));
        rig.WriteMarkedTypes();
        const std::int32_t why = WriteAirfileType(failing, 1);
        const std::string sep(1, kDirSeparator);
        const std::string failure =
            c.copyFails ? "one" + sep + "ONE.AIR (VirtualStore copy): " + ErrorText(why) : ErrorText(why);
        EXPECT_EQ(ReadBytes(file), AirOfType(c.copyFails ? 1 : 0));
        EXPECT_EQ(ReadBytes(copy), CopyOfType(c.copyFails ? 2 : 1));
        EXPECT_EQ(list.Row(1).failure, failure);
        EXPECT_EQ(MarksOf(list), (std::vector<bool>{true, false}));
        EXPECT_EQ(list.ChangedCount(), 1) << "half written is not written";
        EXPECT_EQ(shell.outcomes.back(),
                  "1 written, 1 failed: " + (c.copyFails ? failure : "One" + sep + "one.air: " + failure));
        if (c.copyFails) {
            EXPECT_EQ(RowTipLines(list.Row(1)),
                      "The copy in the VirtualStore holds: non flyable\n" + failure);
        }

        fs::remove(BackupOf(failing));
        rig.WriteMarkedTypes();
        EXPECT_EQ(ReadBytes(file), AirOfType(1));
        EXPECT_EQ(ReadBytes(copy), CopyOfType(1));
        EXPECT_EQ(ReadBytes(BackupOf(file)), AirOfType(0));
        EXPECT_EQ(ReadBytes(BackupOf(copy)), CopyOfType(2));
        EXPECT_EQ(MarksOf(list), (std::vector<bool>{false, false}));
        EXPECT_EQ(list.ChangedCount(), 0);
        EXPECT_EQ(shell.outcomes.back(), "1 written");

        list.SetMarked(1, true);
        rig.RestoreMarkedFromBackups();
        EXPECT_EQ(ReadBytes(file), AirOfType(0));
        EXPECT_EQ(ReadBytes(copy), CopyOfType(2));
        EXPECT_EQ(MarksOf(list), (std::vector<bool>{false, false}));
        EXPECT_EQ(RowTipLines(list.Row(1)), "The copy in the VirtualStore holds: non flyable");
        EXPECT_EQ(shell.outcomes.back(), "1 restored");
    }
}

}  // namespace
}  // namespace korvalis::test
