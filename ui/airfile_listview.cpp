#include "ui/airfile_listview.h"

#include <commctrl.h>

#include "core/text.h"

namespace korvalis {

const AirfileRow& AirfileListView::Row(int position) const
{
    return m_rows.at(static_cast<std::size_t>(position - 1));
}

bool AirfileListView::IsMarked(int position) const
{
    return (ListView_GetItemState(m_list, position - 1, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void AirfileListView::SetMarked(int position, bool marked)
{
    ListView_SetItemState(m_list, position - 1, marked ? LVIS_SELECTED : 0u, LVIS_SELECTED);
}

void AirfileListView::SetTypeText(int position, const std::string& text)
{
    m_rows.at(static_cast<std::size_t>(position - 1)).typeText = text;
    ListView_RedrawItems(m_list, position - 1, position - 1);
}

void AirfileListView::RemoveAll()
{
    m_rows.clear();
    ListView_DeleteAllItems(m_list);
}

void AirfileListView::Append(AirfileRow row)
{
    m_rows.push_back(std::move(row));
    if (!m_appending) SyncCount();
}

void AirfileListView::EndAppending()
{
    m_appending = false;
    SyncCount();
}

void AirfileListView::SyncCount() const
{
    ListView_SetItemCountEx(m_list, static_cast<int>(m_rows.size()), LVSICF_NOSCROLL);
}

std::wstring AirfileListView::CellText(int index, int column) const
{
    if (index < 0 || index >= Count()) return {};
    const AirfileRow& row = m_rows[static_cast<std::size_t>(index)];
    switch (column) {
        case 0:
            return WideFromUtf8(row.folderText);
        case 1:
            return WideFromUtf8(row.fileText);
        case 2:
            return WideFromUtf8(row.typeText);
        default:
            return {};
    }
}

std::wstring AirfileListView::CellTip(int index, int column) const
{
    if (index < 0 || index >= Count()) return {};
    // The type cell keeps the tooltip the scan gave it, even after a new type text.
    if (column == 2) return WideFromUtf8(m_rows[static_cast<std::size_t>(index)].typeTip);
    return CellText(index, column);
}

}  // namespace korvalis
