#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/airfile_list.h"

namespace korvalis {

// lstAirfiles: the rows live here and an owner-data ListView shows them, so a scan of
// thousands of files appends to a vector and the control is told the count once.
// The marks are the ListView's own selection.
class AirfileListView final : public AirfileList {
public:
    void Attach(HWND listView) noexcept { m_list = listView; }
    [[nodiscard]] HWND Handle() const noexcept { return m_list; }

    [[nodiscard]] int Count() const override { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] const AirfileRow& Row(int position) const override;
    [[nodiscard]] bool IsMarked(int position) const override;
    void SetMarked(int position, bool marked) override;
    void SetTypeText(int position, const std::string& text) override;
    void RemoveAll() override;
    void Append(AirfileRow row) override;
    void BeginAppending() override { m_appending = true; }
    void EndAppending() override;

    // The text of a cell (column 0..2) and its tooltip, as UTF-16 for the controls.
    [[nodiscard]] std::wstring CellText(int index, int column) const;
    [[nodiscard]] std::wstring CellTip(int index, int column) const;

private:
    void SyncCount() const;

    HWND m_list = nullptr;
    std::vector<AirfileRow> m_rows;
    bool m_appending = false;
};

}  // namespace korvalis
