#include "catalogue/marking.h"

#include <vector>

namespace korvalis {

MarkResult MarkRows(AirfileList& list, const std::function<bool(const AirfileRow&)>& matches, MarkScope scope)
{
    // Found first and marked after, so that a search that finds nothing leaves the marks alone.
    std::vector<int> found, marked;
    if (scope == MarkScope::AmongMarked) {
        marked = list.MarkedPositions();
        for (int position : marked) {
            if (matches(list.Row(position))) found.push_back(position);
        }
    } else {
        const int count = list.Count();
        for (int position = 1; position <= count; ++position) {
            if (matches(list.Row(position))) found.push_back(position);
        }
    }
    if (found.empty()) return {};
    list.BeginChanges();
    if (scope == MarkScope::AmongMarked && found.size() * 2 > marked.size()) {
        // Most marked rows stay: un-marking the others one by one takes fewer calls.
        std::size_t next = 0;
        for (int position : marked) {
            if (next < found.size() && found[next] == position)
                ++next;
            else
                list.SetMarked(position, false);
        }
    } else {
        if (scope != MarkScope::Keep) list.SetAllMarked(false);
        for (int position : found) list.SetMarked(position, true);
    }
    list.EndChanges();
    return {static_cast<int>(found.size()), found.front()};
}

const char* RowKindText(RowKind kind)
{
    switch (kind) {
        case RowKind::Aircraft:
        case RowKind::Helicopter:
        case RowKind::NonFlyable:
            return kTypeTexts[static_cast<int>(kind)];
        case RowKind::WithoutType:
            return "without a type";
        case RowKind::Changed:
            return "changed and not written";
    }
    return "";
}

bool IsOfKind(const AirfileRow& row, RowKind kind)
{
    switch (kind) {
        case RowKind::Aircraft:
        case RowKind::Helicopter:
        case RowKind::NonFlyable:
            return row.pendingType == static_cast<std::uint8_t>(kind);
        case RowKind::WithoutType:
            return TypeText(row.pendingType).empty();
        case RowKind::Changed:
            return row.Changed();
    }
    return false;
}

MarkResult MarkRowsOfKind(AirfileList& list, RowKind kind)
{
    return MarkRows(
        list, [kind](const AirfileRow& row) { return IsOfKind(row, kind); }, MarkScope::Replace);
}

bool IsAITraffic(const AirfileRow& row)
{
    // Case-sensitive, anywhere in the folder name; UTF-8 keeps ASCII bytes unambiguous.
    const std::string folder = row.FolderText();
    return folder.find("MY") != std::string::npos || folder.find("AI") != std::string::npos;
}

void InvertMarks(AirfileList& list)
{
    const int count = list.Count();
    std::vector<int> marked, unmarked;
    for (int position = 1; position <= count; ++position)
        (list.IsMarked(position) ? marked : unmarked).push_back(position);
    // One call marks or un-marks every row; then the fewer of the two sides row by row.
    const bool fromAll = marked.size() < unmarked.size();
    list.BeginChanges();
    list.SetAllMarked(fromAll);
    for (int position : fromAll ? marked : unmarked) list.SetMarked(position, !fromAll);
    list.EndChanges();
}

}  // namespace korvalis
