#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "core/airfile.h"
#include "core/text.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

AirfileRow RowFor(const std::string& folder, const std::string& type)
{
    AirfileRow row;
    row.folder = PathFromUtf8(folder);
    row.file = PathFromUtf8(folder + ".air");
    row.folderText = folder;
    row.fileText = folder + ".air";
    row.typeText = type;
    row.typeTip = type;
    return row;
}

MemoryAirfileList ListOf(const std::vector<std::pair<std::string, bool>>& rows)
{
    MemoryAirfileList list;
    for (const auto& [folder, marked] : rows) {
        list.Append(RowFor(folder, "Aircraft"));
        list.SetMarked(list.Count(), marked);
    }
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
        {"helicopter on the marked rows", {{"a", true}, {"b", false}, {"c", true}, {"d", true}}, 1,
         {"Helicopter", "Aircraft", "Helicopter", "Helicopter"}, true},
        {"the non flyable entry writes the type text, not its caption", {{"a", true}}, 2, {"non flyable"}, true},
        {"an index beyond the menu changes nothing", {{"a", true}}, 3, {"Aircraft"}, std::nullopt},
    };
    for (const auto& c : cases) {
        MemoryAirfileList list = ListOf(c.rows);
        SessionState state;
        RecordingShell shell;
        Catalogue(state, list, shell).AssignTypeToMarked(c.index);
        std::vector<std::string> texts;
        for (int i = 1; i <= list.Count(); ++i) {
            texts.push_back(list.Row(i).typeText);
            EXPECT_EQ(list.Row(i).typeTip, "Aircraft") << c.name << ": the tooltip keeps the scanned type";
            EXPECT_EQ(list.IsMarked(i), c.rows[static_cast<std::size_t>(i - 1)].second) << c.name;
        }
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(shell.writeEnabled, c.write) << c.name;
    }
}

TEST(SelectAITraffic, MarksFolderNamesHoldingMYOrAIExactly)
{
    const std::pair<std::string, bool> rows[] = {
        {"MY_Boeing", true},       {"Fleet AI 737", true},   {"Cessna", false},  {"my_cessna", false},
        {"Ai Traffic", false},     {"TRAINING", true},       {"MYAI", true},     {"ai", false},
    };
    MemoryAirfileList list;
    for (const auto& [folder, expected] : rows) {
        list.Append(RowFor(folder, "Aircraft"));
        list.SetMarked(list.Count(), !expected);  // earlier marks never survive
    }
    AirfileRow fileOnly = RowFor("Piper", "Helicopter");
    fileOnly.fileText = "AI_piper.air";
    list.Append(fileOnly);
    list.SetMarked(list.Count(), true);

    SessionState state;
    RecordingShell shell;
    Catalogue(state, list, shell).SelectAITraffic();
    for (int i = 1; i <= list.Count() - 1; ++i) {
        EXPECT_EQ(list.IsMarked(i), rows[i - 1].second) << rows[i - 1].first;
    }
    EXPECT_FALSE(list.IsMarked(list.Count())) << "the file name is not looked at";
    EXPECT_EQ(list.Row(list.Count()).typeText, "Helicopter");
    EXPECT_TRUE(shell.calls.empty());
}

class WriteMarkedTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = FreshTestDir() / "Aircraft";
        m_state.AircraftDir = PathToUtf8(m_dir) + kDirSeparator;
    }
    // A row whose file holds a marker and the given type byte.
    void AddRow(const std::string& folder, std::uint8_t type, bool marked, const std::string& text)
    {
        fs::create_directories(m_dir / PathFromUtf8(folder));
        WriteBytes(FileOf(folder), Concat({Hex("AA BB"), Marker(), {type}, Hex("CC")}));
        m_list.Append(RowFor(folder, text));
        m_list.SetMarked(m_list.Count(), marked);
    }
    fs::path FileOf(const std::string& folder) { return m_dir / PathFromUtf8(folder) / PathFromUtf8(folder + ".air"); }
    void Run() { Catalogue(m_state, m_list, m_shell).WriteMarkedTypes(); }

    fs::path m_dir;
    SessionState m_state;
    MemoryAirfileList m_list;
    RecordingShell m_shell;
};

TEST_F(WriteMarkedTypes, WritesMarkedRowsAndUnmarksThem)
{
    AddRow("One", 0, true, "Helicopter");
    AddRow("Two", 0, false, "non flyable");  // given a type, then un-marked by the user
    AddRow("Three", 1, true, "non flyable");
    AddRow("日本語 ✈", 0, true, "Helicopter");
    Run();
    EXPECT_EQ(ReadAirfileType(FileOf("One")), "1");
    EXPECT_EQ(ReadAirfileType(FileOf("Two")), "0");
    EXPECT_EQ(ReadAirfileType(FileOf("Three")), "2");
    EXPECT_EQ(ReadAirfileType(FileOf("日本語 ✈")), "1");
    EXPECT_EQ(Marks(m_list), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(m_list.Row(2).typeText, "non flyable");
    EXPECT_EQ(m_shell.calls, (std::vector<std::string>{"hourglass", "write on", "pointer"}));
}

TEST_F(WriteMarkedTypes, AFailureKeepsItsRowMarkedAndReportsOnce)
{
    AddRow("One", 0, true, "Helicopter");
    AddRow("Two", 0, true, "Helicopter");
    AddRow("Three", 0, true, "Helicopter");
    AddRow("Four", 0, true, "Helicopter");
    WriteBytes(FileOf("Two"), Hex("00 01 02"));  // lost its marker after the scan
    fs::remove(FileOf("Four"));                  // deleted after the scan
    Run();
    EXPECT_EQ(ReadAirfileType(FileOf("One")), "1");
    EXPECT_EQ(ReadAirfileType(FileOf("Three")), "1");
    EXPECT_EQ(Marks(m_list), (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(m_shell.calls, (std::vector<std::string>{"hourglass", "write off",
                                                       std::string("message: ") + kWriteFailedMessage, "pointer"}));
}

TEST_F(WriteMarkedTypes, ARowWithoutATypeTextIsNotWritten)
{
    AddRow("Odd", 3, true, "");
    AddRow("Case", 0, true, "helicopter");  // texts match exactly, case included
    Run();
    EXPECT_EQ(ReadAirfileType(FileOf("Odd")), "3");
    EXPECT_EQ(ReadAirfileType(FileOf("Case")), "0");
    EXPECT_FALSE(fs::exists(FileOf("Odd").native() + fs::path(kBackupSuffix).native()));
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
        {"one failed: disabled, then the message", {{"A", true}}, true,
         {"hourglass", "write off", std::string("message: ") + kWriteFailedMessage, "pointer"}},
    };
    for (const auto& c : cases) {
        SetUp();
        m_list.RemoveAll();
        m_shell = RecordingShell();
        for (const auto& [folder, marked] : c.rows) AddRow(folder, 0, marked, "Aircraft");
        if (c.breakFirst) WriteBytes(FileOf(c.rows.front().first), {});
        Run();
        EXPECT_EQ(m_shell.calls, c.calls) << c.name;
    }
}

}  // namespace
}  // namespace korvalis::test
