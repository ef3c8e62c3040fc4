#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

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

}  // namespace korvalis::tools
