// Finding rows by name and type, among all rows or the marked ones, and inverting the marks,
// on the in-memory list.
#include <gtest/gtest.h>

#include <optional>

#include "catalogue/marking.h"
#include "catalogue/name_match.h"
#include "catalogue/status_text.h"
#include "core/text.h"
#include "tests/support/memory_airfile_list.h"

namespace korvalis::test {
namespace {

TEST(NameMatcher, FindsTextAnywhereAndPatternsInTheWholeNameCaseIgnoredInEveryScript)
{
    struct Case {
        const char* text;
        const char* name;
        bool expected;
    };
    const Case cases[] = {
        // Text without * or ?: anywhere in the name, case ignored.
        {"737", "AI Boeing 737-800", true},
        {"boeing", "AI Boeing 737-800", true},
        {"Boeing 747", "AI Boeing 737-800", false},
        {"ärger", "Ärger Flug", true},
        {"ЖУК", "Як-12 жук", true},
        {"ΑΒΓ", "αβγ δ", true},
        {"ärger", "Arger", false},
        // Blanks at either end are dropped; inside they count; only blanks look for nothing.
        {"  737\t ", "AI Boeing 737-800", true},
        {"Boeing  737", "AI Boeing 737-800", false},
        {"   ", "AI Boeing 737-800", false},
        {"", "AI Boeing 737-800", false},
        // With * or ?: the whole name.
        {"AI*737*", "AI Boeing 737-800", true},
        {"ai*737*", "ai boeing 737", true},
        {"AI*737*", "Boeing AI 737", false},
        {"AI*737", "AI Boeing 737-800", false},
        {"c?72.air", "C172.AIR", true},
        {"c?72.air", "c1722.air", false},
        {"c?72", "c172.air", false},
        {"*", "anything", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZcd", false},
        {"?ell*", "Bell 206", true},
        {"ж?к", "ЖУК", true},
        // A character outside the first plane is one character for ?.
        {"x?y", "x\xF0\x9F\x98\x80y", true},
        {"x??y", "x\xF0\x9F\x98\x80y", false},
    };
    for (const Case& c : cases) {
        const NameMatcher matcher(PathFromUtf8(c.text).native());
        EXPECT_EQ(matcher.Matches(PathFromUtf8(c.name)), c.expected) << c.text << " / " << c.name;
    }
}

AirfileRow Row(const char* folder, const char* file, std::uint8_t fileType, std::uint8_t pending)
{
    AirfileRow row;
    row.folder = PathFromUtf8(folder);
    row.file = PathFromUtf8(file);
    row.scannedType = row.fileType = fileType;
    row.pendingType = pending;
    return row;
}

class Marking : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_list.Append({Row("AI Boeing 737", "b737.air", 0, 0), Row("Bell 206", "bell.air", 1, 1),
                       Row("MY Cessna", "c172.air", 0, 0), Row("AI Boeing 747", "b747.air", 7, 7),
                       Row("Piper J-3 Cub", "j3.air", 0, 2)});
    }
    void MarkOnly(const std::string& positions)
    {
        for (int p = 1; p <= m_list.Count(); ++p)
            m_list.SetMarked(p, positions.find(static_cast<char>('0' + p)) != std::string::npos);
    }
    std::string Marks() const
    {
        std::string marks;
        for (int p = 1; p <= m_list.Count(); ++p) {
            if (m_list.IsMarked(p)) marks += static_cast<char>('0' + p);
        }
        return marks;
    }

    MemoryAirfileList m_list;
};

TEST_F(Marking, ByNameAndTypeReplacesKeepsOrNarrowsTheMarksAndChangesNothingWhenNothingMatches)
{
    using enum MarkScope;
    constexpr std::optional<RowKind> any;
    struct Case {
        const char* before;
        const char* text;
        std::optional<RowKind> kind;
        MarkScope scope;
        const char* after;
        int matched, first;
    };
    const Case cases[] = {
        {"2", "BOEING", any, Replace, "14", 2, 1},
        {"2", "BOEING", any, Keep, "124", 2, 1},
        {"25", "c172", any, Replace, "3", 1, 3},  // the file name counts too
        {"2", "zeppelin", any, Replace, "2", 0, 0},
        {"2", "  ", any, Replace, "2", 0, 0},  // nothing to look for
        {"", "*.AIR", any, Replace, "12345", 5, 1},
        // Name and type together; a type alone when no name is given.
        {"2", "AI *", RowKind::Aircraft, Replace, "1", 1, 1},
        {"", "", RowKind::Aircraft, Keep, "13", 2, 1},
        {"4", "boeing", RowKind::WithoutType, Keep, "4", 1, 4},
        {"2", "", RowKind::Changed, Replace, "5", 1, 5},  // non flyable, not yet written
        {"2", "piper", RowKind::NonFlyable, Replace, "5", 1, 5},
        {"2", "piper", RowKind::Aircraft, Replace, "2", 0, 0},
        // Among the marked rows: those that match stay, the other marked rows go, nothing is added.
        {"1345", "", RowKind::Aircraft, AmongMarked, "13", 2, 1},
        {"1345", "boeing", any, AmongMarked, "14", 2, 1},
        {"1345", "b", any, AmongMarked, "145", 3, 1},
        {"12345", "ai b", RowKind::Aircraft, AmongMarked, "1", 1, 1},
        {"234", "boeing", RowKind::Aircraft, AmongMarked, "234", 0, 0},  // 1 is not marked: no change
        {"", "boeing", any, AmongMarked, "", 0, 0},
    };
    for (const Case& c : cases) {
        MarkOnly(c.before);
        const RowQuery query(PathFromUtf8(c.text).native(), c.kind);
        const MarkResult result = MarkRows(
            m_list, [&](const AirfileRow& row) { return query.Matches(row); }, c.scope);
        const std::string trace = std::string(c.before) + " / " + c.text;
        EXPECT_EQ(Marks(), c.after) << trace;
        EXPECT_EQ(result.matched, c.matched) << trace;
        EXPECT_EQ(result.first, c.first) << trace;
    }
}

TEST_F(Marking, ByTypeMarksExactlyTheRowsAsShownAndInvertFlipsEveryRow)
{
    m_list.SetPendingType(1, 7);  // shown without a type, not yet written
    struct Case {
        RowKind kind;
        const char* after;
        int first;
    };
    const Case cases[] = {
        {RowKind::Aircraft, "3", 3},  // the pending type, not the file's
        {RowKind::Helicopter, "2", 2},   {RowKind::NonFlyable, "5", 5},
        {RowKind::WithoutType, "14", 1}, {RowKind::Changed, "15", 1},
    };
    for (const Case& c : cases) {
        MarkOnly("24");
        const MarkResult result = MarkRowsOfKind(m_list, c.kind);
        EXPECT_EQ(Marks(), c.after) << RowKindText(c.kind);
        EXPECT_EQ(result.first, c.first) << RowKindText(c.kind);
    }
    m_list.SetPendingType(5, 0);
    MarkOnly("24");
    EXPECT_EQ(MarkRowsOfKind(m_list, RowKind::NonFlyable).matched, 0);
    EXPECT_EQ(Marks(), "24");

    for (const auto& [before, after] :
         {std::pair{"24", "135"}, {"", "12345"}, {"12345", ""}, {"1235", "4"}}) {
        MarkOnly(before);
        InvertMarks(m_list);
        EXPECT_EQ(Marks(), after) << before;
    }
}

TEST(MarkingTexts, CountEveryMarkedRowOrNameWhatWasSought)
{
    EXPECT_EQ(MarkedRowsText(1), "1 row marked");
    EXPECT_EQ(MarkedRowsText(0), "0 rows marked");
    EXPECT_EQ(MarkedRowsText(25000), "25,000 rows marked");
    EXPECT_EQ(NoRowMatchesText("without a type"), "No row matches \"without a type\"");
    // "Mark rows..." names only what it was asked for.
    struct Case {
        const char* name;
        bool among;
        const char* kind;
        const char* expected;
    };
    const Case cases[] = {
        {"Piper", true, "Aircraft", "No row matches \"Piper\" among the marked rows of type Aircraft"},
        {"Piper", false, "", "No row matches \"Piper\""},
        {"", false, "without a type", "No row matches of type without a type"},
    };
    for (const Case& c : cases) EXPECT_EQ(NoRowMatchesText(c.name, c.among, c.kind), c.expected);
}

}  // namespace
}  // namespace korvalis::test
