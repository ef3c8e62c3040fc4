#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/airfile_list.h"
#include "catalogue/name_match.h"

namespace korvalis {

// What a marking command found: how many rows matched, and the first of them in the order
// shown (0 when none).
struct MarkResult {
    int matched = 0;
    int first = 0;
};

// Which rows a marking looks at and what becomes of the other marks.
enum class MarkScope {
    Replace,      // every row; the rows found become the only marked ones
    Keep,         // every row; the rows found are added to the marks
    AmongMarked,  // the marked rows only; those that do not match are un-marked
};

// Marks the rows `matches` takes, in `scope`. When no row matches, no mark changes.
MarkResult MarkRows(AirfileList& list, const std::function<bool(const AirfileRow&)>& matches,
                    MarkScope scope);

// The rows "Mark rows of type" offers, in its menu's order.
enum class RowKind { Aircraft, Helicopter, NonFlyable, WithoutType, Changed };
inline constexpr int kRowKindCount = 5;

// The words the status bar names the kind with: "Helicopter", "without a type"...
const char* RowKindText(RowKind kind);
// The row's type cell shows the kind's type, is empty, or the row is drawn in bold.
bool IsOfKind(const AirfileRow& row, RowKind kind);

// Marks exactly the rows of the kind (see MarkRows).
MarkResult MarkRowsOfKind(AirfileList& list, RowKind kind);

// What "Mark rows..." looks for: a name, a kind, or both; none is any type.
class RowQuery {
public:
    RowQuery(const NameText& name, std::optional<RowKind> kind) : m_name(name), m_kind(kind) {}
    // Nothing to look for: no name and any type.
    [[nodiscard]] bool Empty() const noexcept { return m_name.Empty() && !m_kind; }
    [[nodiscard]] const NameMatcher& Name() const noexcept { return m_name; }
    [[nodiscard]] std::optional<RowKind> Kind() const noexcept { return m_kind; }
    // The name, when one was given, matches the folder or file name, and the row is of the kind.
    [[nodiscard]] bool Matches(const AirfileRow& row) const
    {
        return !Empty() && (!m_kind || IsOfKind(row, *m_kind)) && (m_name.Empty() || m_name.Matches(row));
    }

private:
    NameMatcher m_name;
    std::optional<RowKind> m_kind;
};

// "Find AITraffic Aircrafts" takes the row: its folder name holds "MY" or "AI", in upper case.
bool IsAITraffic(const AirfileRow& row);

// Every marked row becomes un-marked and every other row marked.
void InvertMarks(AirfileList& list);

}  // namespace korvalis
