// Drives korvalis.exe from another process, as a user would, for tools/virtualstore_check.sh:
// lists FS2004's aircraft directory (recorded in the prefix) and prints the status bar's second
// part; then chooses "Find AITraffic Aircrafts" and either "Helicopter" and "Write", or "Restore
// type from backup", and prints it again. The script checks the files.
//   virtualstore_driver KORVALIS_EXE write|restore
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "tools/start_korvalis_win32.h"
#include "ui/resource.h"

namespace {

bool Working(HWND main)
{
    return ::IsWindowVisible(
               ::FindWindowExW(::GetDlgItem(main, IDC_STATUS), nullptr, PROGRESS_CLASSW, nullptr)) != FALSE;
}

// Waits until the work a command started has ended; false after 60 s.
bool AwaitEnd(HWND main)
{
    const auto start = std::chrono::steady_clock::now();
    for (int idle = 0; idle < 4;) {
        ::Sleep(250);
        idle = Working(main) ? 0 : idle + 1;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) return false;
    }
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    return true;
}

// The text of the status bar's second part, read through memory in korvalis.exe's process.
std::wstring StatusText(HANDLE process, HWND main)
{
    HWND status = ::GetDlgItem(main, IDC_STATUS);
    constexpr std::size_t kChars = 2048;
    auto* remote = static_cast<wchar_t*>(
        ::VirtualAllocEx(process, nullptr, kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr) return L"?";
    const auto length = LOWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, 1, 0));
    std::wstring text(kChars, L'\0');
    if (length < kChars) {
        ::SendMessageW(status, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process, remote, text.data(), (length + 1u) * sizeof(wchar_t), nullptr);
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text.c_str();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: virtualstore_driver KORVALIS_EXE write|restore\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    PROCESS_INFORMATION process{};
    HWND main = korvalis::tools::StartKorvalis(argv[1], process);
    if (process.hProcess == nullptr) return 1;
    if (main == nullptr) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    const struct Step {
        const char* name;
        int commands[3];
    } steps[] = {
        {"scan", {IDM_SELECT_FS2004, 0, 0}},
        std::wstring(argv[2]) == L"write" ? Step{"write", {IDM_SELECT_MY, IDM_TYPE_HELICOPTER, IDM_WRITE}}
                                          : Step{"restore", {IDM_SELECT_MY, IDM_RESTORE, 0}},
    };
    int status = 0;
    for (const Step& step : steps) {
        for (const int command : step.commands) {
            if (command != 0) ::PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(command), 0);
        }
        if (!AwaitEnd(main)) {
            std::fprintf(stderr, "the %s did not end\n", step.name);
            status = 1;
            break;
        }
        std::printf("after the %s: %ls\n", step.name, StatusText(process.hProcess, main).c_str());
    }
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}
