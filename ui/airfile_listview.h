#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "catalogue/airfile_list.h"

namespace korvalis {

// The list's columns, left to right: header text and the order a click on the header gives.
struct ListColumn {
    const wchar_t* header;
    SortColumn sort;
};
inline constexpr ListColumn kListColumns[] = {
    {L"Dir", SortColumn::Folder}, {L"Airfile", SortColumn::File}, {L"Aircraft type", SortColumn::Type}};
inline constexpr int kListColumnCount = 3;

// lstAirfiles: the rows live here and an owner-data ListView shows them, so a scan of
// thousands of files appends to a vector and the control is only told the count.
// The marks are the ListView's own selection.
class AirfileListView final : public AirfileList {
public:
    // `changed` is told whenever the rows, their types or their order change.
    void Attach(HWND listView, std::function<void()> changed)
    {
        m_list = listView;
        m_changed = std::move(changed);
    }
    [[nodiscard]] HWND Handle() const noexcept { return m_list; }

    [[nodiscard]] int Count() const override { return m_rows.Count(); }
    [[nodiscard]] const AirfileRow& Row(int position) const override { return m_rows.At(position - 1); }
    [[nodiscard]] bool IsMarked(int position) const override;
    void SetMarked(int position, bool marked) override;
    void SetAllMarked(bool marked) override;
    [[nodiscard]] std::vector<int> MarkedPositions() const override;
    void SetPendingType(int position, std::uint8_t code) override;
    void SetFileType(int position, std::uint8_t code) override;
    void SetCopyType(int position, std::uint8_t code) override;
    void SetWrittenAlone(int position, WrittenAlone part) override;
    void SetFailure(int position, std::string failure) override;
    void ClearFailures() override { m_rows.ClearFailures(); }
    void RemoveAll() override;
    [[nodiscard]] RowBatch TakeRemoved() override { return m_rows.TakeRemoved(); }
    using AirfileList::Append;
    void Append(RowBatch rows) override;
    void Sort(SortOrder order) override;
    [[nodiscard]] SortOrder Order() const override { return m_rows.Order(); }
    [[nodiscard]] int ChangedCount() const override { return m_rows.ChangedCount(); }
    void BeginChanges() override;
    void EndChanges() override;

    [[nodiscard]] int MarkedCount() const;
    // While held, the marks change only through this class: whatever else changes the list's
    // selection (a key the list handles itself) is put back by KeepHeldMarks. Holding starts
    // with the marks as they are and ends with ReleaseMarks.
    void HoldMarks();
    void KeepHeldMarks();
    void ReleaseMarks();
    // Gives the row at `index` the focus, in sight, and makes it where Shift+click extends from;
    // `withRowsAround`: away from the list's edges, with rows above and below it in sight.
    void FocusOn(int index, bool withRowsAround = false);
    // The marks are being put back on their rows after they moved (a sort, rows arriving).
    [[nodiscard]] bool PlacingMarks() const noexcept { return m_placing; }
    // The text of a cell (column 0..2) and its tooltip, as UTF-16 for the controls; by index from 0.
    [[nodiscard]] std::wstring CellText(int index, int column) const;
    [[nodiscard]] std::wstring CellTip(int index, int column) const;
    // Type-ahead: the first row from `start` on (then from the top, with `wrap`) whose folder name
    // begins with `prefix`, case ignored; -1 when none.
    [[nodiscard]] int FindFolder(const std::wstring& prefix, int start, bool wrap) const;

private:
    // What the list keeps by position: marked rows, the focused row, the selection's anchor.
    struct ListMarks {
        std::vector<std::uint32_t> marked;
        int focused = -1;
        int anchor = -1;
    };
    [[nodiscard]] ListMarks TakeMarks() const;
    [[nodiscard]] std::vector<std::uint32_t> MarkedIndices() const;
    // Puts the marks back on the rows they were on, which moved from i to `to[i]`.
    void PutMarks(const ListMarks& marks, const std::vector<std::uint32_t>& to);
    void Redraw(int index) const;
    void HoldAgain();  // the held marks become the list's marks now
    void Changed() const
    {
        if (m_changed) m_changed();
    }

    HWND m_list = nullptr;
    std::function<void()> m_changed;
    RowStore m_rows;
    int m_changing = 0;  // depth of BeginChanges
    bool m_holding = false;
    bool m_placing = false;
    std::vector<bool> m_held;  // by index, while holding
};

}  // namespace korvalis
