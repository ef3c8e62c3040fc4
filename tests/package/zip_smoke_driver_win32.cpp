// Test helper for the release zip (zip_smoke.sh): starts korvalis.exe from its folder, waits
// for its main window, chooses "FS 2004" as the menu would, waits for the list to hold the
// expected number of rows, closes the window and waits for the program to end.
//   zip_smoke_driver EXE ROWS
// Prints what it saw; exits 0 when every step went as expected.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "core/unique_handle.h"
#include "ui/resource.h"

namespace {

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
using UniqueKernelHandle = korvalis::UniqueHandle<KernelHandleTraits>;

// Generous: the first start in a fresh Wine prefix is slow, and the scan may run in the background.
constexpr ULONGLONG kDeadlineMs = 30000;

int Fail(const char* what)
{
    std::printf("zip_smoke_driver: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) return Fail("usage: zip_smoke_driver EXE ROWS");
    const std::wstring exe = argv[1];
    const long expectedRows = std::wcstol(argv[2], nullptr, 10);
    // Started from its own folder, so anything it wrote to the current folder shows beside it.
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    std::wstring commandLine = L"\"" + exe + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &started)) {
        return Fail("korvalis.exe did not start");
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);

    // Idle once its message loop runs, the window and its list made. The prefix is fresh: the
    // only window of this class is the one just started.
    ::WaitForInputIdle(process.Get(), static_cast<DWORD>(kDeadlineMs));
    HWND main = nullptr;
    const ULONGLONG windowDeadline = ::GetTickCount64() + kDeadlineMs;
    while (main == nullptr && ::GetTickCount64() < windowDeadline) {
        ::Sleep(100);
        main = ::FindWindowW(L"KorvalisMain", nullptr);
    }
    if (main == nullptr) return Fail("no KorvalisMain window");
    wchar_t caption[256] = {};
    ::GetWindowTextW(main, caption, 256);
    if (std::wcscmp(caption, L"Korvalis") != 0) return Fail("the window's caption is not \"Korvalis\"");
    std::printf("window up, captioned \"Korvalis\"\n");

    const HWND list = ::GetDlgItem(main, IDC_AIRFILES);
    if (list == nullptr) return Fail("no list in the window");
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_SELECT_FS2004, 0), 0);
    // Rows may arrive after the command returns.
    const auto rowCount = [list] { return static_cast<long>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); };
    long rows = 0;
    const ULONGLONG rowsDeadline = ::GetTickCount64() + kDeadlineMs;
    while ((rows = rowCount()) < expectedRows && ::GetTickCount64() < rowsDeadline) ::Sleep(100);
    // A moment more, to see rows that a scan still running would add.
    ::Sleep(500);
    rows = rowCount();
    std::printf("FS 2004 chosen: %ld rows, %ld expected\n", rows, expectedRows);
    if (rows != expectedRows) return Fail("the list does not hold the fleet's rows");

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.Get(), static_cast<DWORD>(kDeadlineMs)) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 1);
        return Fail("korvalis.exe did not end after WM_CLOSE");
    }
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    std::printf("closed, exit code %lu\n", exitCode);
    return exitCode == 0 ? 0 : Fail("korvalis.exe ended with an error");
}
