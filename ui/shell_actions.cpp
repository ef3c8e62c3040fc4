#include "ui/shell_actions.h"

#include <shellapi.h>

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "catalogue/row_text.h"

namespace korvalis {

namespace {

bool SetClipboardText(HWND owner, const std::wstring& text)
{
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (memory != nullptr) {
        if (void* target = ::GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            // Once handed over, the clipboard owns the memory.
            done = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return done;
}

}  // namespace

void CopyMarkedRows(HWND owner, const AirfileListView& rows, const std::string& aircraftDir)
{
    std::vector<int> positions;
    for (int i = ListView_GetNextItem(rows.Handle(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(rows.Handle(), i, LVNI_SELECTED)) {
        positions.push_back(i + 1);
    }
    const std::wstring text = CopyText(rows, positions, aircraftDir);
    if (!text.empty()) SetClipboardText(owner, text);
}

void OpenFolder(HWND owner, const AirfileListView& rows, int index, const std::string& aircraftDir)
{
    if (index < 0 || index >= rows.Count()) return;
    const std::wstring arguments =
        L"/select,\"" + RowPath(aircraftDir, rows.Row(index + 1)).wstring() + L"\"";
    ::ShellExecuteW(owner, nullptr, L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace korvalis
