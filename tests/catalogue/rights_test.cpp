// Administrator rights, with the process's rights given by the test: the note after a scan, and
// the offer to restart after a write or restore denied access.
#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "core/file_io.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

struct FakeRights final : ProcessRights {
    bool elevated = false, mayCreate = false;
    std::vector<fs::path> asked;
    bool Elevated() override { return elevated; }
    bool MayCreateFilesIn(const fs::path& folder) override
    {
        asked.push_back(folder);
        return mayCreate;
    }
};

// The system's scan; every write and restore ends with `result`.
struct FixedResult final : AirfileRoutines {
    std::int32_t result = 0;
    ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink) override
    {
        return SystemAirfileRoutines().Scan(dirs, readers, control, sink);
    }
    std::int32_t Write(const fs::path&, std::int16_t) override { return result; }
    std::int32_t Restore(const fs::path&, std::uint8_t&, bool*) override { return result; }
};

TEST(AdministratorRights, NotedAfterAScanWhenTheFirstFolderRefusesNewFiles)
{
    struct Case {
        bool subFolder, elevated, mayCreate, noted;
    };
    const Case cases[] = {{true, false, false, true},
                          {false, false, false, true},  // the directory is asked
                          {true, true, false, false},
                          {true, false, true, false}};
    for (const Case& c : cases) {
        const fs::path dir = FreshTestDir() / "Aircraft";
        fs::create_directories(dir / (c.subFolder ? "Beech" : ""));
        SessionState state{PathToUtf8(dir), {}, {}, {}};
        MemoryAirfileList list;
        RecordingShell shell;
        FakeRights rights;
        rights.elevated = c.elevated;
        rights.mayCreate = c.mayCreate;
        CatalogueRig rig(state, list, shell);
        rig.Get().SetProcessRights(rights);
        rig.Load_Airfiles();
        if (!c.elevated) {
            EXPECT_EQ(rights.asked, std::vector<fs::path>{dir / (c.subFolder ? "Beech" : "")});
        }
        const StatusNotes noted{{"Changing these files needs administrator rights",
                                 {PathToUtf8(dir),
                                  "Restart Korvalis as administrator: right-click "
                                  "korvalis.exe and choose Run as administrator."}}};
        ASSERT_EQ(shell.outcomeNotes.size(), 1u);
        ASSERT_EQ(shell.outcomeNotes[0].size(), c.noted ? 1u : 0u);
        if (c.noted) {
            EXPECT_EQ(shell.outcomeNotes[0][0].text, noted[0].text);
            EXPECT_EQ(shell.outcomeNotes[0][0].details, noted[0].details);
        }
    }
}

// Asked last, once the window is back; not when rights would not help.
TEST(AdministratorRights, ARestartOfferedAfterAWriteOrRestoreDeniedAccess)
{
    struct Case {
        bool restore;
        std::int32_t result;
        bool elevated, readOnly, offered;
    };
    const std::int32_t denied = io::AccessDeniedError();
    const Case cases[] = {{false, denied, false, false, true},
                          {true, denied, false, false, true},
                          {false, denied, true, false, false},
                          {false, denied, false, true, false},
                          {false, kWriteNoMarker, false, false, false}};
    for (const Case& c : cases) {
        const fs::path dir = FreshTestDir() / "Aircraft";
        Put(dir / "Beech" / "b.air", Bytes{1});
        if (c.readOnly) fs::permissions(dir / "Beech" / "b.air", fs::perms::all, fs::perm_options::remove);
        SessionState state{PathToUtf8(dir) + kDirSeparator, {}, {}, {}};
        MemoryAirfileList list;
        AirfileRow row;
        row.folder = "Beech";
        row.file = "b.air";
        list.Append({row});
        list.SetMarked(1, true);
        RecordingShell shell;
        FakeRights rights;
        rights.elevated = c.elevated;
        FixedResult routines;
        routines.result = c.result;
        CatalogueRig rig(state, list, shell);
        rig.Get().SetProcessRights(rights);
        rig.Get().SetFileRoutines(routines);
        c.restore ? rig.RestoreMarkedFromBackups() : rig.WriteMarkedTypes();
        const std::vector<std::string> end(shell.calls.end() - 3, shell.calls.end());
        const std::string message =
            std::string("message: ") + (c.restore ? kRestoreFailedMessage : kWriteFailedMessage);
        EXPECT_EQ(end, (c.offered ? std::vector<std::string>{message, "pointer",
                                                             "restart offered: " + state.AircraftDir}
                                  : std::vector<std::string>{"write off", message, "pointer"}))
            << c.restore << c.result << c.elevated << c.readOnly;
        fs::permissions(dir / "Beech" / "b.air", fs::perms::owner_all, fs::perm_options::add);
    }
}

}  // namespace
}  // namespace korvalis::test
