#include "catalogue/update_pace.h"

#include <algorithm>

namespace korvalis {

bool UpdateDue(const PaceInput& in, const PaceTimes& times)
{
    if (!in.rowsPending && in.doneSinceLast <= 0) return false;  // nothing new to show
    if (in.rowsPending && !in.rowsShown) return true;            // the first rows at once
    if (in.windowBusy || in.sinceLast < times.interval) return false;
    if (in.sinceLast >= times.longestQuiet) return true;
    // A share of the run: a long run is shown a few times a second, a short one a few dozen times.
    return static_cast<long long>(in.doneSinceLast) * kUpdatesPerRun >= in.total;
}

std::chrono::milliseconds UntilDueAgain(const PaceInput& in, const PaceTimes& times)
{
    using std::chrono::milliseconds;
    milliseconds wait = times.interval - in.sinceLast;
    if (wait <= milliseconds(0)) wait = times.interval;  // busy, or short of a share: look again
    if (!in.windowBusy && in.sinceLast < times.longestQuiet)
        wait = std::min(wait, times.longestQuiet - in.sinceLast);
    return std::max(wait, milliseconds(1));
}

}  // namespace korvalis
