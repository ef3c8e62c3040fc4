#include "catalogue/update_pace.h"

namespace korvalis {

bool UpdateDue(const PaceInput& in)
{
    if (!in.rowsPending && in.doneSinceLast <= 0) return false;  // nothing new to show
    if (in.rowsPending && !in.rowsShown) return true;            // the first rows at once
    if (in.windowBusy || in.sinceLast < kUpdateInterval) return false;
    if (in.sinceLast >= kLongestQuiet) return true;
    // A share of the run: a long run is shown a few times a second, a short one a few dozen times.
    return static_cast<long long>(in.doneSinceLast) * kUpdatesPerRun >= in.total;
}

}  // namespace korvalis
