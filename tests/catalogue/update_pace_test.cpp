#include <gtest/gtest.h>

#include "catalogue/update_pace.h"

namespace korvalis {
namespace {

using std::chrono::milliseconds;

TEST(UpdateDue, FirstRowsAtOnceThenAtMostTenTimesASecondAndAShareOfTheRun)
{
    struct Case {
        const char* name;
        PaceInput in;
        bool due;
    };
    // sinceLast, doneSinceLast, total, rowsShown, rowsPending, windowBusy
    const Case cases[] = {
        {"the first rows go at once", {milliseconds(0), 1, 20000, false, true, false}, true},
        {"the first rows go even while the window is busy",
         {milliseconds(0), 1, 20000, false, true, true},
         true},
        {"nothing new: no update", {milliseconds(5000), 0, 20000, true, false, false}, false},
        {"a share done, but too soon", {milliseconds(99), 20000, 20000, true, true, false}, false},
        {"a share done, the interval over", {milliseconds(100), 625, 20000, true, true, false}, true},
        {"less than a share, the interval over", {milliseconds(100), 624, 20000, true, true, false}, false},
        {"less than a share, a quiet second", {milliseconds(1000), 1, 20000, true, true, false}, true},
        {"progress without rows after a quiet second",
         {milliseconds(1000), 1, 20000, true, false, false},
         true},
        {"the window has not taken the last update",
         {milliseconds(5000), 20000, 20000, true, true, true},
         false},
        {"a short run: every file is a share", {milliseconds(100), 1, 3, true, false, false}, true},
        {"an empty run", {milliseconds(1000), 0, 0, false, false, false}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(UpdateDue(c.in), c.due) << c.name;
}

// Something read and not yet shown is looked at again by the time it may be due: never later
// than the quiet second while the window is free, never at once.
TEST(UntilDueAgain, NoLaterThanTheQuietSecondWhileAnythingWaits)
{
    struct Case {
        const char* name;
        PaceInput in;
        PaceTimes times;
        milliseconds wait;
    };
    // sinceLast, doneSinceLast, total, rowsShown, rowsPending, windowBusy; interval, longestQuiet
    const Case cases[] = {
        {"within the interval: at its end",
         {milliseconds(30), 1, 20000, true, true, false},
         {},
         milliseconds(70)},
        {"short of a share: another interval",
         {milliseconds(400), 1, 20000, true, true, false},
         {},
         milliseconds(100)},
        {"near the quiet second: at it",
         {milliseconds(950), 1, 20000, true, true, false},
         {},
         milliseconds(50)},
        {"the window busy: another interval",
         {milliseconds(3000), 1, 20000, true, true, true},
         {},
         milliseconds(100)},
        {"times of 0: the least there is",
         {milliseconds(0), 1, 3, true, true, true},
         {milliseconds(0), milliseconds(0)},
         milliseconds(1)},
    };
    for (const Case& c : cases) EXPECT_EQ(UntilDueAgain(c.in, c.times), c.wait) << c.name;
}

}  // namespace
}  // namespace korvalis
