// What the menus, the context menu, the keys and the list's header may do, decided in one place.
#include <gtest/gtest.h>

#include "catalogue/command_states.h"
#include "catalogue/row_text.h"
#include "core/text.h"
#include "tests/support/memory_airfile_list.h"

namespace korvalis::test {
namespace {

TEST(AvailableCommands, FollowTheWorkTheMarksAndTheCommandsOwnStates)
{
    // One letter per state, in the order of CommandStates' fields:
    // menu bar: FS2004 FS2002 Own setType Read Write AI | list: selectAll sort typeAhead
    // markByInput Esc | context menu: Restore OpenFolder Copy | marking: MarkRows
    // MarkRowsOfType InvertMarks
    struct Case {
        const char* name;
        CommandContext context;
        const char* expected;
    };
    const Case cases[] = {
        {"nothing listed", {0, 0, false, false, false, true, true, false, false}, "1111101 10110 000 000"},
        {"rows, none marked", {5, 0, false, false, false, true, true, false, false}, "1111101 11110 000 111"},
        // The context menu's "Set type to" acts on the marked rows; the menu bar's entries do not ask.
        {"the context menu on a row, none marked",
         {5, 0, false, false, false, true, true, true, true},
         "1110101 11110 010 111"},
        {"rows marked", {5, 2, false, false, false, true, true, false, false}, "1111101 11110 101 111"},
        {"the context menu beside the rows, rows marked",
         {5, 2, false, false, false, true, true, false, true},
         "1111101 11110 101 111"},
        {"a type given", {5, 2, false, false, true, true, true, true, true}, "1111111 11110 111 111"},
        {"no simulator found",
         {5, 0, false, false, false, false, false, false, false},
         "0011101 11110 000 111"},
        {"a write runs", {5, 2, true, false, true, true, true, true, true}, "0000000 00001 011 000"},
        {"a write runs, none marked",
         {5, 0, true, false, false, true, true, false, false},
         "0000000 00001 000 000"},
        // A scan only adds rows: the list stays usable, nothing that changes types or order is.
        {"a scan runs", {5, 2, true, true, false, true, true, true, true}, "0000000 10111 011 000"},
    };
    for (const Case& c : cases) {
        const CommandStates s = AvailableCommands(c.context);
        const bool flags[] = {s.selectFS2004, s.selectFS2002,   s.selectOwn,  s.setType,    s.read,
                              s.write,        s.markAITraffic,  s.selectAll,  s.sort,       s.typeAhead,
                              s.markByInput,  s.stopWork,       s.restore,    s.openFolder, s.copy,
                              s.markRows,     s.markRowsOfType, s.invertMarks};
        std::string seen;
        for (std::size_t i = 0; i < std::size(flags); ++i) {
            if (i == 7 || i == 12 || i == 15) seen += ' ';
            seen += flags[i] ? '1' : '0';
        }
        EXPECT_EQ(seen, c.expected) << c.name;
    }
}

AirfileRow Row(const char* folder, const char* file, std::uint8_t pending)
{
    AirfileRow row;
    row.folder = PathFromUtf8(folder);
    row.file = PathFromUtf8(file);
    row.fileType = 0;
    row.pendingType = pending;
    return row;
}

TEST(CopyText, IsTabSeparatedWithAHeaderAndTheFullPathInTheOrderAsked)
{
    MemoryAirfileList list;
    list.Append(
        {Row("AI Boeing 737", "b737.air", 0), Row("Bell 206", "bell.air", 1), Row("Zeppelin", "zep.air", 7)});
    const std::string dir = std::string("C:") + kDirSeparator + "Aircraft" + kDirSeparator;
    const auto native = [](const std::string& text) { return PathFromUtf8(text).native(); };
    const std::string sep(1, kDirSeparator);
    struct Case {
        std::vector<int> positions;
        std::string expected;  // "" for nothing to copy
    };
    const std::string header = "Dir\tAirfile\tAircraft type\tPath\r\n";
    const Case cases[] = {
        {{}, ""},
        {{2}, header + "Bell 206\tbell.air\tHelicopter\t" + dir + "Bell 206" + sep + "bell.air\r\n"},
        {{3, 1},
         header + "Zeppelin\tzep.air\t\t" + dir + "Zeppelin" + sep + "zep.air\r\n" +
             "AI Boeing 737\tb737.air\tAircraft\t" + dir + "AI Boeing 737" + sep + "b737.air\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(CopyText(list, c.positions, dir), native(c.expected));
}

TEST(RowPath, JoinsWithOneSeparatorAndKeepsTheNamesAsTheyAre)
{
    const std::string sep(1, kDirSeparator);
    struct Case {
        std::string dir, folder, file, expected;
    };
    const Case cases[] = {
        {"Aircraft" + sep, "Plane", "p.air", "Aircraft" + sep + "Plane" + sep + "p.air"},
        {"Aircraft", "Plane", "p.air", "Aircraft" + sep + "Plane" + sep + "p.air"},
        {"Aircraft" + sep, "Plane" + sep, "p.air", "Aircraft" + sep + "Plane" + sep + "p.air"},
        {"Aircraft" + sep, "日本語 ✈", "飛行機 &.air", "Aircraft" + sep + "日本語 ✈" + sep + "飛行機 &.air"},
#ifdef _WIN32
        // Windows takes either slash for a separator, and adds its own.
        {"Aircraft/", "Plane", "p.air", "Aircraft/Plane\\p.air"},
#else
        // A backslash is a name's own character here.
        {"Aircraft/", "A\\B", "x\\.air", "Aircraft/A\\B/x\\.air"},
#endif
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathToUtf8(RowPath(c.dir, Row(c.folder.c_str(), c.file.c_str(), 0))), c.expected) << c.dir;
    }
}

}  // namespace
}  // namespace korvalis::test
