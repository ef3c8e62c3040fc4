#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>

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

// A row as the scan makes it from a file holding `type`.
AirfileRow RowFor(const std::string& folder, std::uint8_t type)
{
    AirfileRow row;
    row.folder = PathFromUtf8(folder);
    row.file = PathFromUtf8(folder + ".air");
    row.scannedType = row.fileType = row.pendingType = type;
    return row;
}

void AppendRow(AirfileList& list, AirfileRow row, bool marked)
{
    list.Append({std::move(row)});
    list.SetMarked(list.Count(), marked);
}

MemoryAirfileList ListOf(const std::vector<std::pair<std::string, bool>>& rows)
{
    MemoryAirfileList list;
    for (const auto& [folder, marked] : rows) AppendRow(list, RowFor(folder, 0), marked);
    return list;
}

std::vector<bool> Marks(const AirfileList& list)
{
    std::vector<bool> marks;
    for (int i = 1; i <= list.Count(); ++i) marks.push_back(list.IsMarked(i));
    return marks;
}

TEST(AssignTypeToMarked, SetsTextsOfMarkedRowsOnly)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, bool>> rows;
        std::int16_t index;
        std::vector<std::string> texts;
        std::optional<bool> write;  // nullopt: untouched
    };
    const Case cases[] = {
        {"empty list", {}, 1, {}, std::nullopt},
        {"none marked", {{"a", false}, {"b", false}}, 1, {"Aircraft", "Aircraft"}, std::nullopt},
        {"helicopter on the marked rows",
         {{"a", true}, {"b", false}, {"c", true}, {"d", true}},
         1,
         {"Helicopter", "Aircraft", "Helicopter", "Helicopter"},
         true},
        {"the non flyable entry writes the type text, not its caption",
         {{"a", true}},
         2,
         {"non flyable"},
         true},
        {"an index beyond the menu changes nothing", {{"a", true}}, 3, {"Aircraft"}, std::nullopt},
    };
    for (const auto& c : cases) {
        MemoryAirfileList list = ListOf(c.rows);
        SessionState state;
        RecordingShell shell;
        CatalogueRig(state, list, shell).AssignTypeToMarked(c.index);
        std::vector<std::string> texts;
        for (int i = 1; i <= list.Count(); ++i) {
            texts.push_back(TypeText(list.Row(i).pendingType));
            EXPECT_EQ(list.Row(i).scannedType, 0) << c.name << ": the tooltip keeps the scanned type";
            EXPECT_EQ(list.Row(i).fileType, 0) << c.name << ": nothing is written";
            EXPECT_EQ(list.IsMarked(i), c.rows[static_cast<std::size_t>(i - 1)].second) << c.name;
        }
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(shell.writeEnabled, c.write) << c.name;
    }
}

TEST(SelectAITraffic, MarksFolderNamesHoldingMYOrAIExactly)
{
    const std::pair<std::string, bool> rows[] = {
        {"MY_Boeing", true},   {"Fleet AI 737", true}, {"Cessna", false}, {"my_cessna", false},
        {"Ai Traffic", false}, {"TRAINING", true},     {"MYAI", true},    {"ai", false},
    };
    MemoryAirfileList list;
    for (const auto& [folder, expected] : rows)
        AppendRow(list, RowFor(folder, 0), !expected);  // earlier marks never survive
    AirfileRow fileOnly = RowFor("Piper", 1);
    fileOnly.file = "AI_piper.air";
    AppendRow(list, fileOnly, true);

    SessionState state;
    RecordingShell shell;
    CatalogueRig(state, list, shell).SelectAITraffic();
    for (int i = 1; i <= list.Count() - 1; ++i) {
        EXPECT_EQ(list.IsMarked(i), rows[i - 1].second) << rows[i - 1].first;
    }
    EXPECT_FALSE(list.IsMarked(list.Count())) << "the file name is not looked at";
    EXPECT_EQ(list.Row(list.Count()).pendingType, 1);
    EXPECT_TRUE(shell.calls.empty());
}

class WriteMarkedTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = FreshTestDir() / "Aircraft";
        m_state.AircraftDir = PathToUtf8(m_dir) + kDirSeparator;
    }
    // A row whose file holds a marker and the given type byte, and `pending` as its new type.
    void AddRow(const std::string& folder, std::uint8_t type, bool marked, std::uint8_t pending)
    {
        fs::create_directories(m_dir / PathFromUtf8(folder));
        WriteBytes(FileOf(folder), Concat({Hex("AA BB"), Marker(), {type}, Hex("CC")}));
        AirfileRow row = RowFor(folder, type);
        row.pendingType = pending;
        AppendRow(m_list, std::move(row), marked);
    }
    fs::path FileOf(const std::string& folder)
    {
        return m_dir / PathFromUtf8(folder) / PathFromUtf8(folder + ".air");
    }
    void Run() { CatalogueRig(m_state, m_list, m_shell).WriteMarkedTypes(); }

    fs::path m_dir;
    SessionState m_state;
    MemoryAirfileList m_list;
    RecordingShell m_shell;
};

TEST_F(WriteMarkedTypes, WritesMarkedRowsAndUnmarksThem)
{
    AddRow("One", 0, true, 1);
    AddRow("Two", 0, false, 2);  // given a type, then un-marked by the user
    AddRow("Three", 1, true, 2);
    AddRow("日本語 ✈", 0, true, 1);
    Run();
    EXPECT_EQ(ReadAirfileType(FileOf("One")), "1");
    EXPECT_EQ(ReadAirfileType(FileOf("Two")), "0");
    EXPECT_EQ(ReadAirfileType(FileOf("Three")), "2");
    EXPECT_EQ(ReadAirfileType(FileOf("日本語 ✈")), "1");
    EXPECT_EQ(Marks(m_list), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(m_list.Row(2).pendingType, 2);
    EXPECT_EQ(m_list.Row(2).fileType, 0);
    EXPECT_EQ(m_list.Row(1).fileType, 1) << "a written row holds its new type";
    EXPECT_EQ(m_list.ChangedCount(), 1);
    EXPECT_EQ(m_shell.calls, (std::vector<std::string>{"hourglass", "write on", "pointer"}));
}

TEST_F(WriteMarkedTypes, AFailureKeepsItsRowMarkedAndReportsOnce)
{
    AddRow("One", 0, true, 1);
    AddRow("Two", 0, true, 1);
    AddRow("Three", 0, true, 1);
    AddRow("Four", 0, true, 1);
    WriteBytes(FileOf("Two"), Hex("00 01 02"));  // lost its marker after the scan
    fs::remove(FileOf("Four"));                  // deleted after the scan
    Run();
    EXPECT_EQ(ReadAirfileType(FileOf("One")), "1");
    EXPECT_EQ(ReadAirfileType(FileOf("Three")), "1");
    EXPECT_EQ(Marks(m_list), (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(m_shell.calls,
              (std::vector<std::string>{"hourglass", "write off",
                                        std::string("message: ") + kWriteFailedMessage, "pointer"}));

    // Each failed row keeps why until the next write or restore; a restore that lacks its backup
    // names the backup.
    const std::string sep(1, kDirSeparator);
    constexpr std::int32_t kNotFound = 2;  // ENOENT and ERROR_FILE_NOT_FOUND alike
    const auto failures = [&] {
        std::vector<std::string> seen;
        for (int i = 1; i <= m_list.Count(); ++i) seen.push_back(m_list.Row(i).failure);
        return seen;
    };
    EXPECT_EQ(failures(),
              (std::vector<std::string>{"", ErrorText(kWriteNoMarker), "", ErrorText(kNotFound)}));
    m_list.SetMarked(2, false);
    m_shell = RecordingShell();
    CatalogueRig(m_state, m_list, m_shell).RestoreMarkedFromBackups();
    EXPECT_EQ(failures(),
              (std::vector<std::string>{"", "", "", "Four.air.KRVL_bak: " + ErrorText(kNotFound)}));
    EXPECT_EQ(m_shell.outcomes.back(), "0 restored, 1 failed: 1 " + WithoutStop(ErrorText(kNotFound)) +
                                           " (first: Four" + sep + "Four.air.KRVL_bak)");
}

TEST_F(WriteMarkedTypes, ARowWithoutATypeTextIsNotWritten)
{
    AddRow("Odd", 3, true, 3);
    AddRow("Case", 0, true, 255);  // no type text for 255 either
    Run();
    EXPECT_EQ(ReadAirfileType(FileOf("Odd")), "3");
    EXPECT_EQ(ReadAirfileType(FileOf("Case")), "0");
    EXPECT_FALSE(fs::exists(BackupOf(FileOf("Odd"))));
    EXPECT_EQ(Marks(m_list), (std::vector<bool>{true, true}));
    EXPECT_EQ(m_shell.writeEnabled, std::optional<bool>(false));
}

TEST_F(WriteMarkedTypes, WriteEntryStates)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, bool>> rows;  // folder, marked
        bool breakFirst;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"empty list: nothing at all", {}, false, {}},
        {"none marked: enabled, no message", {{"A", false}}, false, {"hourglass", "write on", "pointer"}},
        {"all written: enabled", {{"A", true}, {"B", true}}, false, {"hourglass", "write on", "pointer"}},
        {"one failed: disabled, then the message",
         {{"A", true}},
         true,
         {"hourglass", "write off", std::string("message: ") + kWriteFailedMessage, "pointer"}},
    };
    for (const auto& c : cases) {
        SetUp();
        m_list.RemoveAll();
        m_shell = RecordingShell();
        for (const auto& [folder, marked] : c.rows) AddRow(folder, 0, marked, 0);
        if (c.breakFirst) WriteBytes(FileOf(c.rows.front().first), {});
        Run();
        EXPECT_EQ(m_shell.calls, c.calls) << c.name;
    }
}

// Another program changes a file after the scan listed it and before "Write".
TEST_F(WriteMarkedTypes, FilesChangedBetweenScanAndWrite)
{
    const Bytes scanned = Concat({Hex("AA BB"), Marker(), Hex("00 CC DD")});
    const Bytes moved = Concat({Hex("11 22 33 44 55 66 77 88 99"), Marker(), Hex("00 EE")});
    struct Case {
        const char* folder;
        std::optional<Bytes> now;  // the file's bytes at "Write"; nullopt: deleted
        bool stillMarked;
        std::optional<Bytes> after;   // the file afterwards
        std::optional<Bytes> backup;  // nullopt: none
    };
    const Case cases[] = {
        {"Unchanged", scanned, false, Concat({Hex("AA BB"), Marker(), Hex("01 CC DD")}), scanned},
        {"Deleted", std::nullopt, true, std::nullopt, std::nullopt},
        {"MarkerGone", Hex("AA BB 05 01 00 00 04 00 00 01 00 CC"), true,
         Hex("AA BB 05 01 00 00 04 00 00 01 00 CC"), std::nullopt},
        {"CutBeforeMarker", Hex("AA BB 05 01"), true, Hex("AA BB 05 01"), std::nullopt},
        {"CutAfterMarker", Concat({Hex("AA BB"), Marker()}), true, Concat({Hex("AA BB"), Marker()}),
         std::nullopt},
        {"MarkerMoved", moved, false, Concat({Hex("11 22 33 44 55 66 77 88 99"), Marker(), Hex("01 EE")}),
         moved},
    };
    const auto fileOf = [&](const char* folder) { return m_dir / folder / (std::string(folder) + ".air"); };
    for (const auto& c : cases) {
        fs::create_directories(m_dir / c.folder);
        WriteBytes(fileOf(c.folder), scanned);
    }
    CatalogueRig catalogue(m_state, m_list, m_shell);
    catalogue.Load_Airfiles();
    ASSERT_EQ(m_list.Count(), static_cast<int>(std::size(cases)));
    for (int i = 1; i <= m_list.Count(); ++i) m_list.SetMarked(i, true);
    catalogue.AssignTypeToMarked(1);

    for (const auto& c : cases) {
        if (c.now) {
            WriteBytes(fileOf(c.folder), *c.now);
        } else {
            fs::remove(fileOf(c.folder));
        }
    }
    m_shell.calls.clear();
    catalogue.WriteMarkedTypes();

    for (int i = 1; i <= m_list.Count(); ++i) {
        const std::string folder = m_list.Row(i).FolderText();
        const auto c = std::find_if(std::begin(cases), std::end(cases),
                                    [&](const Case& k) { return folder == k.folder; });
        ASSERT_NE(c, std::end(cases)) << folder;
        EXPECT_EQ(m_list.IsMarked(i), c->stillMarked) << folder;
        const fs::path air = fileOf(c->folder);
        EXPECT_EQ(fs::exists(air), c->after.has_value()) << folder;
        if (c->after && fs::exists(air)) {
            EXPECT_EQ(ReadBytes(air), *c->after) << folder;
        }
        EXPECT_EQ(fs::exists(BackupOf(air)), c->backup.has_value()) << folder;
        if (c->backup && fs::exists(BackupOf(air))) {
            EXPECT_EQ(ReadBytes(BackupOf(air)), *c->backup) << folder;
        }
    }
    EXPECT_EQ(m_shell.calls,
              (std::vector<std::string>{"hourglass", "write off",
                                        std::string("message: ") + kWriteFailedMessage, "pointer"}));
}

TEST_F(WriteMarkedTypes, TypeCodesThroughAssignWriteRestoreAndRead)
{
    AddRow("One", 0, true, 0);
    AddRow("Two", 0, true, 0);
    AddRow("Three", 2, false, 2);
    CatalogueRig catalogue(m_state, m_list, m_shell);
    const auto types = [&](int position) {
        return std::make_pair(m_list.Row(position).fileType, m_list.Row(position).pendingType);
    };

    catalogue.AssignTypeToMarked(1);
    EXPECT_EQ(types(1), std::make_pair(std::uint8_t{0}, std::uint8_t{1}));
    EXPECT_EQ(m_list.ChangedCount(), 2);

    catalogue.WriteMarkedTypes();
    EXPECT_EQ(types(1), std::make_pair(std::uint8_t{1}, std::uint8_t{1}));
    EXPECT_EQ(m_list.ChangedCount(), 0);
    EXPECT_EQ(ReadAirfileType(FileOf("Two")), "1");

    // Two's backup is of another version of its file: it stays as it is, and marked.
    Bytes other = ReadBytes(BackupOf(FileOf("Two")));
    other[0] = 0x11;
    WriteBytes(BackupOf(FileOf("Two")), other);
    m_list.SetMarked(1, true);
    m_list.SetMarked(2, true);
    m_shell = RecordingShell();
    catalogue.RestoreMarkedFromBackups();
    EXPECT_EQ(types(1), std::make_pair(std::uint8_t{0}, std::uint8_t{0}));
    EXPECT_EQ(types(2), std::make_pair(std::uint8_t{1}, std::uint8_t{1}));
    EXPECT_EQ(Marks(m_list), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(ReadAirfileType(FileOf("One")), "0");
    EXPECT_EQ(m_shell.calls, (std::vector<std::string>{
                                 "hourglass", std::string("message: ") + kRestoreFailedMessage, "pointer"}))
        << "one message; \"Write\" keeps its state";
    EXPECT_EQ(m_shell.outcomes.back(),
              "1 restored, 1 failed: 1 The backup belongs to another version of the file (first: Two" +
                  std::string(1, kDirSeparator) + "Two.air)");

    catalogue.Load_Airfiles();
    for (int i = 1; i <= m_list.Count(); ++i) {
        const std::string folder = m_list.Row(i).FolderText();
        EXPECT_EQ(m_list.Row(i).fileType, folder == "Two" ? 1 : folder == "One" ? 0 : 2) << folder;
    }
}

}  // namespace
}  // namespace korvalis::test
