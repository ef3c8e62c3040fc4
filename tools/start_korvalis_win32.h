#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/resource.h"

namespace korvalis::tools {

// Starts `exe` and waits for its main window, for the programs that drive korvalis.exe from
// outside; nullptr when it could not be started or shows no window within 30 s.
inline HWND StartKorvalis(const std::wstring& exe, PROCESS_INFORMATION& process)
{
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    process = PROCESS_INFORMATION{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::fprintf(stderr, "cannot start korvalis.exe\n");
        return nullptr;
    }
    ::WaitForInputIdle(process.hProcess, 30000);
    HWND main = nullptr;
    for (int i = 0; i < 300 && main == nullptr; ++i) {
        main = ::FindWindowW(L"KorvalisMain", nullptr);
        if (main == nullptr) ::Sleep(100);
    }
    return main;
}

// Whether work runs: its progress bar shows in the status bar. (Wine keeps a menu's state in
// its own process, so the menus cannot be asked from here.)
inline HWND Progress(HWND main)
{
    return ::FindWindowExW(::GetDlgItem(main, IDC_STATUS), nullptr, PROGRESS_CLASSW, nullptr);
}

inline bool Working(HWND main) { return ::IsWindowVisible(Progress(main)) != FALSE; }

// Returns once the window has handled what was posted to it before.
inline void Sync(HWND main)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

// Posts `command` and waits until the work it starts has ended (Read back, the rows still);
// the rows listed then, or -1 after 60 s.
inline int RunToEnd(HWND main, UINT command)
{
    HWND list = ::GetDlgItem(main, IDC_AIRFILES);
    ::PostMessageW(main, WM_COMMAND, command, 0);
    Sync(main);
    int rows = -1;
    for (int still = 0, waited = 0; still < 4; waited += 250) {
        if (waited > 60000) return -1;
        ::Sleep(250);
        const int now = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        still = now == rows && !Working(main) ? still + 1 : 0;
        rows = now;
    }
    return rows;
}

// The marked rows of a list, in its order.
inline std::vector<int> MarkedRows(HWND list)
{
    std::vector<int> rows;
    for (int i =
             static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
         i >= 0;
         i = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)))
        rows.push_back(i);
    return rows;
}

// Text that a window of another process writes into a buffer it is given: the buffer lives in
// that process.
template <typename Fill>
std::wstring RemoteText(HANDLE process, Fill fill)
{
    constexpr SIZE_T kChars = 2048;
    auto* remote = static_cast<wchar_t*>(
        ::VirtualAllocEx(process, nullptr, kChars * sizeof(wchar_t) + 256, MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return L"?";
    fill(remote, kChars);
    std::wstring text(kChars, L'\0');
    ::ReadProcessMemory(process, remote, text.data(), kChars * sizeof(wchar_t), nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    text.resize(text.find(L'\0') == std::wstring::npos ? kChars : text.find(L'\0'));
    return text;
}

// Row `index`'s text in `column` of the list of another process.
inline std::wstring CellText(HANDLE process, HWND list, int index, int column)
{
    return RemoteText(process, [&](wchar_t* remote, SIZE_T chars) {
        // The item lies after the text in the same block.
        auto* item = reinterpret_cast<LVITEMW*>(remote + chars);
        LVITEMW local{};
        local.iSubItem = column;
        local.pszText = remote;
        local.cchTextMax = static_cast<int>(chars);
        ::WriteProcessMemory(process, item, &local, sizeof local, nullptr);
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item));
    });
}

// The text of the status bar's `part`.
inline std::wstring StatusText(HANDLE process, HWND main, int part)
{
    return RemoteText(process, [&](wchar_t* remote, SIZE_T) {
        ::SendMessageW(::GetDlgItem(main, IDC_STATUS), SB_GETTEXTW, static_cast<WPARAM>(part),
                       reinterpret_cast<LPARAM>(remote));
    });
}

}  // namespace korvalis::tools
