#include "catalogue/row_store.h"

#include <algorithm>
#include <numeric>

namespace korvalis {

namespace {

// Empty type cells (codes other than 0, 1 and 2) sort after every type.
int TypeRank(const AirfileRow& row) { return row.pendingType < 3 ? row.pendingType : 3; }

template <typename T>
int Compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

bool RowBefore(const AirfileRow& a, const AirfileRow& b, SortOrder order)
{
    int result = 0;
    switch (order.column) {
        case SortColumn::Scan:
            return a.scanIndex < b.scanIndex;
        case SortColumn::Folder:
            break;
        case SortColumn::File:
            result = Compare(a.fileKey, b.fileKey);
            break;
        case SortColumn::Type:
            result = Compare(TypeRank(a), TypeRank(b));
            break;
    }
    if (result == 0) result = Compare(a.folderKey, b.folderKey);
    if (result == 0) result = Compare(a.fileKey, b.fileKey);
    if (result == 0) return a.scanIndex < b.scanIndex;
    return order.descending ? result > 0 : result < 0;
}

void RowStore::Clear() noexcept
{
    // An empty list keeps what an earlier Clear took out, still to be taken.
    if (!m_rows.empty()) m_removed = std::move(m_rows);
    m_rows.clear();
    m_changed = 0;
}

std::vector<std::uint32_t> RowStore::Append(RowBatch added)
{
    for (const std::unique_ptr<AirfileRow>& row : added) TallyChanged(*row, +1);
    const auto before = [this](const std::unique_ptr<AirfileRow>& a, const std::unique_ptr<AirfileRow>& b) {
        return RowBefore(*a, *b, m_order);
    };
    const std::size_t old = m_rows.size();
    if (m_order.column != SortColumn::Scan) std::sort(added.begin(), added.end(), before);
    // Nothing moves when every new row goes after the last one there: scan order, and the common
    // case in a sorted list too.
    if (m_order.column == SortColumn::Scan || old == 0 || added.empty() ||
        !before(added.front(), m_rows.back())) {
        m_rows.insert(m_rows.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        return {};
    }
    // A stable merge, the rows already there first among equals, noting where each of them goes.
    std::vector<std::uint32_t> moved(old);
    RowBatch merged;
    merged.reserve(old + added.size());
    std::size_t i = 0, j = 0;
    while (i < old || j < added.size()) {
        if (j == added.size() || (i < old && !before(added[j], m_rows[i]))) {
            moved[i] = static_cast<std::uint32_t>(merged.size());
            merged.push_back(std::move(m_rows[i++]));
        } else {
            merged.push_back(std::move(added[j++]));
        }
    }
    m_rows = std::move(merged);
    return moved;
}

std::vector<std::uint32_t> RowStore::Sort(SortOrder order)
{
    m_order = order;
    std::vector<std::uint32_t> from(m_rows.size());
    std::iota(from.begin(), from.end(), 0u);
    std::sort(from.begin(), from.end(),
              [&](std::uint32_t a, std::uint32_t b) { return RowBefore(*m_rows[a], *m_rows[b], order); });
    RowBatch rows;
    rows.reserve(m_rows.size());
    for (const std::uint32_t i : from) rows.push_back(std::move(m_rows[i]));
    m_rows = std::move(rows);
    return from;
}

void RowStore::SetPendingType(int index, std::uint8_t code)
{
    AirfileRow& row = *m_rows.at(static_cast<std::size_t>(index));
    TallyChanged(row, -1);
    row.pendingType = code;
    TallyChanged(row, +1);
}

void RowStore::SetCopyType(int index, std::uint8_t code)
{
    AirfileRow& row = *m_rows.at(static_cast<std::size_t>(index));
    if (row.copy) row.copy->type = code;
}

void RowStore::SetWrittenAlone(int index, WrittenAlone part)
{
    AirfileRow& row = *m_rows.at(static_cast<std::size_t>(index));
    TallyChanged(row, -1);
    row.writtenAlone = part;
    TallyChanged(row, +1);
}

void RowStore::SetFailure(int index, std::string failure)
{
    m_rows.at(static_cast<std::size_t>(index))->failure = std::move(failure);
}

void RowStore::ClearFailures() noexcept
{
    for (const std::unique_ptr<AirfileRow>& row : m_rows) row->failure.clear();
}

void RowStore::SetFileType(int index, std::uint8_t code)
{
    AirfileRow& row = *m_rows.at(static_cast<std::size_t>(index));
    TallyChanged(row, -1);
    row.fileType = row.pendingType = code;
    TallyChanged(row, +1);
}

}  // namespace korvalis
