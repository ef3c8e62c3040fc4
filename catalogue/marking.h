#pragma once

#include <functional>

#include "catalogue/airfile_list.h"

namespace korvalis {

// What a marking command found: how many rows matched, and the first of them in the order
// shown (0 when none).
struct MarkResult {
    int matched = 0;
    int first = 0;
};

// Marks the rows `matches` takes; every other row is un-marked, unless `keep`. When no row
// matches, no mark changes.
MarkResult MarkRows(AirfileList& list, const std::function<bool(const AirfileRow&)>& matches, bool keep);

// The rows "Mark rows of type" offers, in its menu's order.
enum class RowKind { Aircraft, Helicopter, NonFlyable, WithoutType, Changed };
inline constexpr int kRowKindCount = 5;

// The words the status bar names the kind with: "Helicopter", "without a type"...
const char* RowKindText(RowKind kind);
// The row's type cell shows the kind's type, is empty, or the row is drawn in bold.
bool IsOfKind(const AirfileRow& row, RowKind kind);

// Marks exactly the rows of the kind (see MarkRows).
MarkResult MarkRowsOfKind(AirfileList& list, RowKind kind);

// "Find AITraffic Aircrafts" takes the row: its folder name holds "MY" or "AI", in upper case.
bool IsAITraffic(const AirfileRow& row);

// Every marked row becomes un-marked and every other row marked.
void InvertMarks(AirfileList& list);

}  // namespace korvalis
