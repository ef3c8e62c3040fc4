#include "ui/airfile_listview.h"

#include <commctrl.h>

#include <algorithm>

#include "catalogue/row_text.h"
#include "core/text.h"

namespace korvalis {

bool AirfileListView::IsMarked(int position) const
{
    return (ListView_GetItemState(m_list, position - 1, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void AirfileListView::SetMarked(int position, bool marked)
{
    if (m_holding && position >= 1 && position <= static_cast<int>(m_held.size()))
        m_held[static_cast<std::size_t>(position - 1)] = marked;
    ListView_SetItemState(m_list, position - 1, marked ? LVIS_SELECTED : 0u, LVIS_SELECTED);
}

void AirfileListView::SetAllMarked(bool marked)
{
    if (m_holding) m_held.assign(m_held.size(), marked);
    ListView_SetItemState(m_list, -1, marked ? LVIS_SELECTED : 0u, LVIS_SELECTED);
}

void AirfileListView::SetPendingType(int position, std::uint8_t code)
{
    m_rows.SetPendingType(position - 1, code);
    Redraw(position - 1);
    Changed();
}

void AirfileListView::SetFileType(int position, std::uint8_t code)
{
    m_rows.SetFileType(position - 1, code);
    Redraw(position - 1);
    Changed();
}

void AirfileListView::SetCopyType(int position, std::uint8_t code)
{
    m_rows.SetCopyType(position - 1, code);
    Changed();  // a tip shown for the row is stale
}

void AirfileListView::SetWrittenAlone(int position, WrittenAlone part)
{
    m_rows.SetWrittenAlone(position - 1, part);
    Changed();
}

void AirfileListView::SetFailure(int position, std::string failure)
{
    m_rows.SetFailure(position - 1, std::move(failure));
    Changed();  // a tip shown for the row is stale
}

void AirfileListView::RemoveAll()
{
    m_rows.Clear();
    ListView_DeleteAllItems(m_list);
    Changed();
}

void AirfileListView::Append(RowBatch rows)
{
    const std::vector<std::uint32_t> moved = m_rows.Append(std::move(rows));
    // The marks, the focus and the anchor are the list's, kept by position: the list still has
    // them where the rows were, so they are taken now and put back where their rows went.
    const ListMarks before = moved.empty() ? ListMarks{} : TakeMarks();
    // Rows put in their sorted places move the ones below them: then everything is drawn anew.
    ListView_SetItemCountEx(m_list, m_rows.Count(),
                            LVSICF_NOSCROLL | (moved.empty() ? LVSICF_NOINVALIDATEALL : 0));
    if (!moved.empty()) PutMarks(before, moved);
    Changed();
}

std::vector<std::uint32_t> AirfileListView::MarkedIndices() const
{
    std::vector<std::uint32_t> marked;
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED)) {
        marked.push_back(static_cast<std::uint32_t>(i));
    }
    return marked;
}

// The list walks its own selection: no question for each unmarked row.
std::vector<int> AirfileListView::MarkedPositions() const
{
    std::vector<int> positions;
    for (const std::uint32_t i : MarkedIndices()) positions.push_back(static_cast<int>(i) + 1);
    return positions;
}

AirfileListView::ListMarks AirfileListView::TakeMarks() const
{
    ListMarks marks;
    marks.marked = MarkedIndices();
    marks.focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
    marks.anchor = ListView_GetSelectionMark(m_list);
    return marks;
}

void AirfileListView::PutMarks(const ListMarks& marks, const std::vector<std::uint32_t>& to)
{
    const auto place = [&](int index) {
        return index >= 0 && static_cast<std::size_t>(index) < to.size() ? static_cast<int>(to[index]) : -1;
    };
    const int count = m_rows.Count();
    std::vector<bool> marked(static_cast<std::size_t>(count));
    for (const std::uint32_t i : marks.marked) {
        if (const int at = place(static_cast<int>(i)); at >= 0 && at < count)
            marked[static_cast<std::size_t>(at)] = true;
    }
    // The marks go back one call per row, so the fewer calls: from none marked, or from all.
    const bool fromAll = marks.marked.size() > static_cast<std::size_t>(count / 2);
    m_placing = true;
    struct Placed {
        bool& placing;
        ~Placed() { placing = false; }
    } placed{m_placing};
    BeginChanges();
    ListView_SetItemState(m_list, -1, fromAll ? LVIS_SELECTED : 0u, LVIS_SELECTED);
    for (int i = 0; i < count; ++i) {
        const bool mark = marked[static_cast<std::size_t>(i)];
        if (mark != fromAll) ListView_SetItemState(m_list, i, mark ? LVIS_SELECTED : 0u, LVIS_SELECTED);
    }
    if (const int focused = place(marks.focused); focused >= 0)
        ListView_SetItemState(m_list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
    if (const int anchor = place(marks.anchor); anchor >= 0) ListView_SetSelectionMark(m_list, anchor);
    EndChanges();
    if (m_holding) HoldAgain();
}

void AirfileListView::HoldMarks()
{
    if (m_holding) return;
    m_holding = true;
    HoldAgain();
}

void AirfileListView::HoldAgain()
{
    m_held.assign(static_cast<std::size_t>(Count()), false);
    for (const std::uint32_t i : MarkedIndices()) {
        if (i < m_held.size()) m_held[i] = true;
    }
}

void AirfileListView::KeepHeldMarks()
{
    if (!m_holding) return;
    const std::vector<std::uint32_t> now = MarkedIndices();
    std::size_t held = 0;
    bool same = true;
    for (const std::uint32_t i : now) same = same && i < m_held.size() && m_held[i];
    for (const bool marked : m_held) held += marked ? 1 : 0;
    if (same && held == now.size()) return;
    // Put back by position, the focus left where the input moved it.
    ListMarks marks;
    for (std::size_t i = 0; i < m_held.size(); ++i) {
        if (m_held[i]) marks.marked.push_back(static_cast<std::uint32_t>(i));
    }
    std::vector<std::uint32_t> samePlace(m_held.size());
    for (std::size_t i = 0; i < samePlace.size(); ++i) samePlace[i] = static_cast<std::uint32_t>(i);
    PutMarks(marks, samePlace);
}

void AirfileListView::ReleaseMarks()
{
    m_holding = false;
    m_held.clear();
}

// Under Wine every row the list repaints on its own is a round trip to the server: many rows
// changed at once are drawn once, at the end.
void AirfileListView::BeginChanges()
{
    if (m_changing++ == 0) ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
}

void AirfileListView::EndChanges()
{
    if (m_changing == 0 || --m_changing > 0) return;
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, FALSE);
}

void AirfileListView::Sort(SortOrder order)
{
    const ListMarks marks = TakeMarks();
    const std::vector<std::uint32_t> from = m_rows.Sort(order);
    std::vector<std::uint32_t> to(from.size());
    for (std::size_t i = 0; i < from.size(); ++i) to[from[i]] = static_cast<std::uint32_t>(i);
    PutMarks(marks, to);
    Changed();
}

int AirfileListView::MarkedCount() const { return static_cast<int>(ListView_GetSelectedCount(m_list)); }

void AirfileListView::FocusOn(int index, bool withRowsAround)
{
    ListView_SetItemState(m_list, index, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_SetSelectionMark(m_list, index);
    ListView_EnsureVisible(m_list, index, FALSE);
    if (!withRowsAround) return;
    // The list scrolls only as far as the row's own edge: a row at the window's bottom edge shows
    // nothing of what follows it. Near an edge, it goes to the middle.
    const int top = ListView_GetTopIndex(m_list), page = ListView_GetCountPerPage(m_list);
    const int margin = std::min(3, (page - 1) / 2);
    if (index - top >= margin && top + page - 1 - index >= margin) return;
    RECT row{};
    if (!ListView_GetItemRect(m_list, index, &row, LVIR_BOUNDS)) return;
    const int wantedTop = std::max(0, index - page / 2);
    ListView_Scroll(m_list, 0, (wantedTop - top) * (row.bottom - row.top));
}

void AirfileListView::Redraw(int index) const
{
    if (m_changing == 0) ListView_RedrawItems(m_list, index, index);
}

std::wstring AirfileListView::CellText(int index, int column) const
{
    if (index < 0 || index >= Count()) return {};
    const AirfileRow& row = m_rows.At(index);
    switch (column) {
        case 0:
            return row.folder.wstring();
        case 1:
            return row.file.wstring();
        case 2:
            return WideFromUtf8(TypeText(row.pendingType));
        default:
            return {};
    }
}

std::wstring AirfileListView::CellTip(int index, int column) const
{
    if (index < 0 || index >= Count()) return {};
    // The type cell keeps the tooltip the scan gave it, even after a new type; what the row's copy
    // holds and why its write or restore failed follow the cell's own text.
    const AirfileRow& row = m_rows.At(index);
    std::wstring tip = column == 2 ? WideFromUtf8(TypeText(row.scannedType)) : CellText(index, column);
    const std::string lines = RowTipLines(row);
    if (!lines.empty()) tip += (tip.empty() ? L"" : L"\n") + WideFromUtf8(lines);
    return tip;
}

int AirfileListView::FindFolder(const std::wstring& prefix, int start, bool wrap) const
{
    const int count = Count();
    if (prefix.empty() || count == 0) return -1;
    const int length = static_cast<int>(prefix.size());
    const auto matches = [&](int index) {
        const std::wstring& folder = m_rows.At(index).folder.native();
        return static_cast<int>(folder.size()) >= length &&
               ::CompareStringOrdinal(folder.c_str(), length, prefix.c_str(), length, TRUE) == CSTR_EQUAL;
    };
    if (start < 0 || start >= count) start = 0;
    for (int i = start; i < count; ++i) {
        if (matches(i)) return i;
    }
    for (int i = 0; wrap && i < start; ++i) {
        if (matches(i)) return i;
    }
    return -1;
}

}  // namespace korvalis
