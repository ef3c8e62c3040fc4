#include "ui/shell_actions.h"

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

std::int32_t OpenInExplorer(const std::filesystem::path& file)
{
    // Named by its full path: a bare "explorer.exe" is looked for in the program's own folder
    // first, where anything of that name could stand.
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return static_cast<std::int32_t>(::GetLastError());
    const std::wstring program = std::wstring(windows, length) + L"\\explorer.exe";
    std::wstring commandLine = L"\"" + program + L"\" /select,\"" + file.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return static_cast<std::int32_t>(::GetLastError());
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}

}  // namespace korvalis
