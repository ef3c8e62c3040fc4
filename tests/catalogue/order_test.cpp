// The order of the rows: the name keys (the system's own on Windows, a stand-in elsewhere) and
// the sort of a list, with its marks and pending types following their rows.
#include <gtest/gtest.h>

#include "catalogue/airfile_list.h"
#include "catalogue/sort_key.h"
#include "core/text.h"
#include "tests/support/memory_airfile_list.h"

namespace korvalis::test {
namespace {

int Sign(const std::string& a, const std::string& b) { return a < b ? -1 : (b < a ? 1 : 0); }

TEST(SortKey, NamesCompareAsAUserReadsThem)
{
    struct Case {
        const char* a;
        const char* b;
        int order;  // -1: a first, 0: the same, 1: b first
    };
    const Case cases[] = {
        {"AI Airbus 1256", "AI Airbus 10232", -1},  // numbers as numbers
        {"Cessna 9", "Cessna 10", -1},
        {"B737", "B747", -1},
        {"AI Airbus 02", "AI Airbus 10", -1},
        {"alpha", "Beta", -1},  // case ignored
        {"AI Traffic", "ai traffic", 0},
        {"x.air", "X.AIR", 0},
        {"Zeta", "alpha", 1},
        {"", "a", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(SortKey(PathFromUtf8(c.a)), SortKey(PathFromUtf8(c.b))), c.order)
            << c.a << " / " << c.b;
    }
}

AirfileRow Row(const char* folder, const char* file, std::uint8_t type, std::uint32_t scanIndex)
{
    AirfileRow row;
    row.folder = PathFromUtf8(folder);
    row.file = PathFromUtf8(file);
    row.scannedType = row.fileType = row.pendingType = type;
    row.folderKey = SortKey(row.folder);
    row.fileKey = SortKey(row.file);
    row.scanIndex = scanIndex;
    return row;
}

std::vector<AirfileRow> ScanRows()
{
    return {Row("Cessna 10", "c.air", 0, 0), Row("Bell 206", "b.air", 1, 1), Row("cessna 9", "z.air", 3, 2),
            Row("Cessna 9", "a.air", 0, 3),  Row("AI Blimp", "d.air", 2, 4), Row("Cessna 9", "A.AIR", 1, 5)};
}

// Each row as "folder/file", with "*" for a mark and "!" for a pending type.
std::vector<std::string> Shown(const AirfileList& list)
{
    std::vector<std::string> shown;
    for (int i = 1; i <= list.Count(); ++i) {
        const AirfileRow& row = list.Row(i);
        shown.push_back(row.FolderText() + "/" + row.FileText() + (list.IsMarked(i) ? "*" : "") +
                        (row.Changed() ? "!" : ""));
    }
    return shown;
}

TEST(RowOrder, SortsByTheChosenColumnWithMarksAndPendingTypesFollowing)
{
    struct Case {
        const char* name;
        SortOrder order;
        std::vector<std::string> shown;
    };
    // Ties go by folder, then file, then scan order ("cessna 9/z.air" and "Cessna 9/a.air" differ
    // only by file; "Cessna 9/a.air" and "Cessna 9/A.AIR" not at all, so the scan's order holds).
    const Case cases[] = {
        {"scan order",
         {SortColumn::Scan, false},
         {"Cessna 10/c.air", "Bell 206/b.air*", "cessna 9/z.air", "Cessna 9/a.air!", "AI Blimp/d.air*",
          "Cessna 9/A.AIR"}},
        {"folder",
         {SortColumn::Folder, false},
         {"AI Blimp/d.air*", "Bell 206/b.air*", "Cessna 9/a.air!", "Cessna 9/A.AIR", "cessna 9/z.air",
          "Cessna 10/c.air"}},
        {"folder, reversed",
         {SortColumn::Folder, true},
         {"Cessna 10/c.air", "cessna 9/z.air", "Cessna 9/a.air!", "Cessna 9/A.AIR", "Bell 206/b.air*",
          "AI Blimp/d.air*"}},
        {"file",
         {SortColumn::File, false},
         {"Cessna 9/a.air!", "Cessna 9/A.AIR", "Bell 206/b.air*", "Cessna 10/c.air", "AI Blimp/d.air*",
          "cessna 9/z.air"}},
        // The type shown is the pending one; empty cells (type 3) come last.
        {"type",
         {SortColumn::Type, false},
         {"Cessna 10/c.air", "Bell 206/b.air*", "Cessna 9/A.AIR", "AI Blimp/d.air*", "Cessna 9/a.air!",
          "cessna 9/z.air"}},
        {"type, reversed",
         {SortColumn::Type, true},
         {"cessna 9/z.air", "Cessna 9/a.air!", "AI Blimp/d.air*", "Cessna 9/A.AIR", "Bell 206/b.air*",
          "Cessna 10/c.air"}},
    };
    for (const Case& c : cases) {
        MemoryAirfileList list;
        list.Append(ScanRows());
        list.SetMarked(2, true);
        list.SetMarked(5, true);
        list.SetPendingType(4, 2);
        list.Sort(c.order);
        EXPECT_EQ(Shown(list), c.shown) << c.name;
        EXPECT_EQ(list.Order(), c.order) << c.name;
        EXPECT_EQ(list.ChangedCount(), 1) << c.name;

        // Rows that arrive later, a few at a time, take their sorted places; rows marked as they
        // arrive keep their marks while later rows move them.
        MemoryAirfileList arriving;
        arriving.Sort(c.order);
        std::vector<AirfileRow> rows = ScanRows();
        rows[3].pendingType = 2;
        for (std::size_t i = 0; i < rows.size(); i += 4) {
            arriving.Append(std::vector<AirfileRow>(
                rows.begin() + static_cast<std::ptrdiff_t>(i),
                rows.begin() + static_cast<std::ptrdiff_t>(std::min(i + 4, rows.size()))));
            const std::uint32_t toMark =
                i == 0 ? 1 : 4;  // Bell 206 in the first batch, AI Blimp in the second
            for (int p = 1; p <= arriving.Count(); ++p) {
                if (arriving.Row(p).scanIndex == toMark) arriving.SetMarked(p, true);
            }
        }
        EXPECT_EQ(Shown(arriving), Shown(list)) << c.name << ", rows arriving";
    }
}

// The rows a clear takes out wait to be freed elsewhere, also through a second clear of the empty
// list (choosing a folder clears the list, and the scan it starts clears it again).
TEST(RowOrder, RemovedRowsWaitUntilTaken)
{
    MemoryAirfileList list;
    list.Append(ScanRows());
    list.RemoveAll();
    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0);
    const std::vector<std::unique_ptr<AirfileRow>> removed = list.TakeRemoved();
    ASSERT_EQ(removed.size(), ScanRows().size());
    EXPECT_EQ(removed.front()->FolderText(), "Cessna 10");
    EXPECT_TRUE(list.TakeRemoved().empty());
}

// Growing the list and sorting it move no row: a list of tens of thousands would otherwise hold
// the window up while every row is moved.
TEST(RowOrder, RowsStayWhereTheyWereMadeThroughGrowthAndSorts)
{
    MemoryAirfileList list;
    list.Append(ScanRows());
    std::vector<const AirfileRow*> made;
    for (int i = 1; i <= list.Count(); ++i) made.push_back(&list.Row(i));
    std::vector<AirfileRow> more;
    for (std::uint32_t i = 0; i < 5000; ++i) more.push_back(Row("Zlin", "z.air", 0, 100 + i));
    list.Append(std::move(more));
    list.Sort({SortColumn::Folder, true});
    list.Sort({SortColumn::Scan, false});
    for (int i = 1; i <= static_cast<int>(made.size()); ++i) {
        EXPECT_EQ(&list.Row(i), made[static_cast<std::size_t>(i - 1)]) << "row " << i;
    }
}

}  // namespace
}  // namespace korvalis::test
