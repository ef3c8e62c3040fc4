// Drives korvalis.exe from another process, as a user would, for the VirtualStore check: lists
// FS2004's aircraft directory (recorded in the prefix) and prints the rows and the status bar's
// second part; then, by STEP, either "Find AITraffic Aircrafts", Helicopter and Write, or
// "Find AITraffic Aircrafts" and "Restore type from backup"; prints the status again and ends it.
//   virtualstore_driver KORVALIS_EXE write|restore|look
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tools/start_korvalis_win32.h"
#include "ui/resource.h"

namespace {

using korvalis::tools::CellText;
using korvalis::tools::RunToEnd;
using korvalis::tools::StatusText;

void PrintRows(HANDLE process, HWND list, int rows)
{
    for (int i = 0; i < rows; ++i)
        std::printf("row: %ls | %ls | %ls\n", CellText(process, list, i, 0).c_str(),
                    CellText(process, list, i, 1).c_str(), CellText(process, list, i, 2).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: virtualstore_driver KORVALIS_EXE write|restore|look\n");
        return 2;
    }
    const std::wstring step = argv[2];
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    PROCESS_INFORMATION process{};
    HWND main = korvalis::tools::StartKorvalis(argv[1], process);
    if (main == nullptr) return 1;
    HWND list = ::GetDlgItem(main, IDC_AIRFILES);

    const int rows = RunToEnd(main, IDM_SELECT_FS2004);
    std::printf("listed: %d rows\n", rows);
    PrintRows(process.hProcess, list, rows);
    std::printf("status: %ls\n", StatusText(process.hProcess, main, 1).c_str());

    int status = rows > 0 ? 0 : 1;
    if (rows > 0 && step != L"look") {
        ::PostMessageW(main, WM_COMMAND, IDM_SELECT_MY, 0);
        if (step == L"write") {
            ::PostMessageW(main, WM_COMMAND, IDM_TYPE_HELICOPTER, 0);
            RunToEnd(main, IDM_WRITE);
        } else {
            RunToEnd(main, IDM_RESTORE);
        }
        std::printf("after %ls: %ls\n", step.c_str(), StatusText(process.hProcess, main, 1).c_str());
        PrintRows(process.hProcess, list, rows);
    }
    ::PostMessageW(main, WM_COMMAND, IDM_END, 0);
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "korvalis.exe did not end (a message box open?)\n");
        ::TerminateProcess(process.hProcess, 1);
        status = 1;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}
