#include <gtest/gtest.h>

#include "catalogue/name_order.h"

namespace korvalis::test {
namespace {

TEST(CompareNames, FoldsCaseReadsNumbersAndBreaksTiesByCodePoints)
{
    const struct {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"Cessna 9", "Cessna 10", -1},
        {"Cessna 10", "cessna 9", 1},
        {"abc", "ABD", -1},
        {"B", "a", 1},
        {"AI 007", "AI 7", -1},  // equal as numbers: the code points decide ('0' < '7')
        {"AI 7", "AI 007", 1},
        {"x2y10", "x2y9", 1},
        {"99999999999999999999", "100000000000000000000", -1},  // longer than any integer type
        {"Abc", "abc", -1},                                     // the same folded: 'A' < 'a'
        {"abc", "abc", 0},
        {"\xc3\x9c"
         "ber",
         "uber", 1},  // Ü folds to ü, which comes after u
        {"\xc3\x9c"
         "ber",
         "\xc3\xbc"
         "bes",
         -1},                          // Ü and ü are the same letter
        {"\xce\xa3", "\xcf\x82", -1},  // Σ and final ς fold alike: code points decide
        {"plane", "plane2", -1},
        {"a\xff", "a\xc3\xbf", 1},  // a byte of no character goes after every character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareNames(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareNames(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(SortListed, OrdersByFolderThenFile)
{
    std::vector<AirfileRow> rows(4);
    const char* names[][2] = {
        {"AI 10", "b2.air"}, {"ai 9", "z.air"}, {"ai 10", "B10.air"}, {"AI 10", "a.air"}};
    std::vector<const AirfileRow*> sorted;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].folder = PathFromUtf8(names[i][0]);
        rows[i].file = PathFromUtf8(names[i][1]);
        sorted.push_back(&rows[i]);
    }
    SortListed(sorted);
    // A folder's name decides before any file's; "AI 10" and "ai 10" are two folders.
    EXPECT_EQ(sorted, (std::vector<const AirfileRow*>{&rows[1], &rows[3], &rows[0], &rows[2]}));
}

}  // namespace
}  // namespace korvalis::test
