// Which keys and clicks are dropped after work ends, by their time stamps alone.
#include "ui/stale_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace korvalis {
namespace {

TEST(StaleInput, OnlyInputMadeBeforeTheEndOfTheWorkJustEndedIsDropped)
{
    enum class Event { WorkStarted, WorkEnded, Input };
    struct Step {
        Event event;
        std::uint32_t time;  // the message's stamp; for WorkEnded the end
        std::uint32_t now;   // when the message is taken from the queue
        bool dropped;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    constexpr std::uint32_t kDays25 = 25u * 24 * 60 * 60 * 1000;  // past 2^31 ms
    const Case cases[] = {
        {"no work has ended", {{Event::Input, 5, 10, false}}},
        {"made before the end", {{Event::WorkEnded, 1000, 0, false}, {Event::Input, 999, 1005, true}}},
        {"made at the end", {{Event::WorkEnded, 1000, 0, false}, {Event::Input, 1000, 1005, false}}},
        {"several made before, then one after",
         {{Event::WorkEnded, 1000, 0, false},
          {Event::Input, 900, 1001, true},
          {Event::Input, 950, 1002, true},
          {Event::Input, 1001, 1003, false}}},
        {"an old stamp after a newer message",
         {{Event::WorkEnded, 1000, 0, false},
          {Event::Input, 1002, 1005, false},
          {Event::Input, 990, 1006, false}}},
        {"made before the end, the clock wrapping between",
         {{Event::WorkEnded, 0x10, 0, false}, {Event::Input, 0xFFFFFFF0, 0x20, true}}},
        {"made after the end, the clock wrapping between",
         {{Event::WorkEnded, 0xFFFFFFF0, 0, false}, {Event::Input, 0x05, 0x10, false}}},
        {"the first key 25 days after the end",
         {{Event::WorkEnded, 1000, 0, false}, {Event::Input, 1000 + kDays25, 1000 + kDays25, false}}},
        {"the first key 25 days after an end near the wrap",
         {{Event::WorkEnded, 0xFFFFFF00, 0, false},
          {Event::Input, 0xFFFFFF00 + kDays25, 0xFFFFFF00 + kDays25, false}}},
        {"stamped a tick ahead of the clock",
         {{Event::WorkEnded, 1000, 0, false}, {Event::Input, 1006, 1005, false}}},
        {"work started again",
         {{Event::WorkEnded, 1000, 0, false},
          {Event::WorkStarted, 0, 0, false},
          {Event::Input, 999, 1005, false}}},
        {"a second end",
         {{Event::WorkEnded, 1000, 0, false},
          {Event::Input, 1001, 1002, false},
          {Event::WorkStarted, 0, 0, false},
          {Event::WorkEnded, 2000, 0, false},
          {Event::Input, 1990, 2001, true}}},
    };
    for (const Case& c : cases) {
        StaleInput stale;
        int step = 0;
        for (const Step& s : c.steps) {
            ++step;
            switch (s.event) {
                case Event::WorkStarted:
                    stale.WorkStarted();
                    break;
                case Event::WorkEnded:
                    stale.WorkEnded(s.time);
                    break;
                case Event::Input:
                    EXPECT_EQ(stale.Drop(s.time, s.now), s.dropped) << c.name << ", step " << step;
                    break;
            }
        }
    }
}

}  // namespace
}  // namespace korvalis
