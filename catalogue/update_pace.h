#pragma once

#include <chrono>

namespace korvalis {

// How often the window is shown a running work's rows and progress. Under Wine every update of
// the list, the status and the progress bar costs the window dozens of server requests, and a
// window still busy with the last update only falls further behind; so the first rows go at
// once, later updates at most every kUpdateInterval, only once the window took the last one,
// and only for a share of the whole run or after a quiet second.
inline constexpr std::chrono::milliseconds kUpdateInterval{100};
inline constexpr std::chrono::milliseconds kLongestQuiet{1000};
inline constexpr int kUpdatesPerRun = 32;

struct PaceInput {
    std::chrono::milliseconds sinceLast{0};  // since the last update was handed to the window
    int doneSinceLast = 0;                   // folders or files finished since then
    int total = 0;                           // folders or files of the whole run
    bool rowsShown = false;                  // some rows were handed over already
    bool rowsPending = false;                // rows wait to be handed over
    bool windowBusy = false;                 // the window has not yet taken the last update
};

// The two times of the rule; tests and benchmarks may set their own.
struct PaceTimes {
    std::chrono::milliseconds interval = kUpdateInterval;
    std::chrono::milliseconds longestQuiet = kLongestQuiet;
};

bool UpdateDue(const PaceInput& in, const PaceTimes& times = {});

// When something new waits and UpdateDue did not find it due: how long until it may be, so the
// caller looks again then (while the window is busy, after another interval). Never longer than
// the rest of the quiet time, never 0.
std::chrono::milliseconds UntilDueAgain(const PaceInput& in, const PaceTimes& times = {});

}  // namespace korvalis
