#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/airfile_row.h"

namespace korvalis {

// The rows of a list in their shown order, and the sort that order follows. Both lists keep
// their rows here; the marks live with each list (the window's are the ListView's selection).
class RowStore {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] const AirfileRow& At(int index) const { return *m_rows.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] SortOrder Order() const noexcept { return m_order; }
    // Rows whose pending type differs from the type their file holds.
    [[nodiscard]] int ChangedCount() const noexcept { return m_changed; }

    // Takes every row out. They are kept, not freed, until TakeRemoved: freeing tens of
    // thousands of rows is a pause the window's thread need not take.
    void Clear() noexcept;
    // The rows the last Clear took out, for the caller to free where it costs nothing.
    [[nodiscard]] RowBatch TakeRemoved() noexcept { return std::move(m_removed); }
    // Adds rows that come in scan order: at the end, or in their places when a column is chosen.
    // Returns where the rows already there went (the row at i before is at result[i] now), so
    // what the owner keeps by position can follow; empty when none moved.
    std::vector<std::uint32_t> Append(RowBatch rows);
    // Puts the rows in `order`. Returns where each row came from: the row now at position i was
    // at result[i], so what the owner keeps by position (marks, focus) can follow its row.
    std::vector<std::uint32_t> Sort(SortOrder order);
    void SetPendingType(int index, std::uint8_t code);
    // The file now holds `code` (written or restored), which is also what is pending.
    void SetFileType(int index, std::uint8_t code);
    void SetCopyType(int index, std::uint8_t code);
    void SetWrittenAlone(int index, WrittenAlone part);
    // Why the row's write or restore failed, kept until the next one.
    void SetFailure(int index, std::string failure);
    void ClearFailures() noexcept;

private:
    // Adds (+1) or takes away (-1) the row's share of the changed-count.
    void TallyChanged(const AirfileRow& row, int sign) noexcept { m_changed += row.Changed() ? sign : 0; }

    RowBatch m_rows;
    RowBatch m_removed;
    SortOrder m_order;
    int m_changed = 0;
};

}  // namespace korvalis
