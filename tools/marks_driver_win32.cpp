// Drives korvalis.exe from another process, as a user would: lists FS2004's aircraft directory
// (recorded in the prefix), marks every row, gives them a type, starts Write and types
// Ctrl+Shift+End and Ctrl+Shift+Home into the list for as long as the write runs. Then it says how
// many rows stayed marked and which, and checks that the same keys do mark rows once the window
// is idle (so that they did reach the list).
//   marks_driver KORVALIS_EXE [UNTIL]     UNTIL: how far the write is when the keys stop, 0 to 1
//                                          (default 0.95; 1: until the end is shown)
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/start_korvalis_win32.h"
#include "ui/resource.h"

namespace {

using Clock = std::chrono::steady_clock;

using korvalis::tools::MarkedRows;
using korvalis::tools::Sync;
using korvalis::tools::Working;

// How far the work is, 0 to 1.
double Done(HWND main)
{
    HWND progress = korvalis::tools::Progress(main);
    const auto high = static_cast<double>(::SendMessageW(progress, PBM_GETRANGE, FALSE, 0));
    const auto position = static_cast<double>(::SendMessageW(progress, PBM_GETPOS, 0, 0));
    return high > 0 ? position / high : 0;
}

int Marked(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)); }

// `key`, with Ctrl and Shift held when `ctrlShift`, through the system's input, to whichever
// window has the focus.
void Type(WORD key, bool ctrlShift)
{
    std::vector<WORD> keys;
    if (ctrlShift) keys = {VK_CONTROL, VK_SHIFT};
    keys.push_back(key);
    std::vector<INPUT> inputs;
    for (int up = 0; up < 2; ++up) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = up != 0 ? keys[keys.size() - 1 - i] : keys[i];
            input.ki.dwFlags = up != 0 ? KEYEVENTF_KEYUP : 0;
            if (input.ki.wVk == VK_END || input.ki.wVk == VK_HOME) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: marks_driver KORVALIS_EXE\n");
        return 2;
    }
    const double until = argc > 2 ? std::wcstod(argv[2], nullptr) : 0.95;
    PROCESS_INFORMATION process{};
    HWND main = korvalis::tools::StartKorvalis(argv[1], process);
    if (process.hProcess == nullptr) return 1;
    HWND list = ::GetDlgItem(main, IDC_AIRFILES);
    if (main == nullptr || list == nullptr) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    int status = 0;
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    // The scan: over once Read is back and the rows stop coming.
    ::PostMessageW(main, WM_COMMAND, IDM_SELECT_FS2004, 0);
    int rows = 0;
    const auto listing = Clock::now();
    for (int still = 0; still < 4;) {
        ::Sleep(250);
        const int now = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        still = now > 0 && now == rows && !Working(main) ? still + 1 : 0;
        rows = now;
        if (Clock::now() - listing > std::chrono::seconds(60)) {
            std::fprintf(stderr, "the scan did not end: %d rows\n", rows);
            ::TerminateProcess(process.hProcess, 1);
            return 1;
        }
    }
    ::PostMessageW(main, WM_COMMAND, IDM_SELECT_ALL, 0);
    ::PostMessageW(main, WM_COMMAND, IDM_TYPE_NONFLYABLE, 0);
    Sync(main);
    std::printf("rows listed and marked: %d of %d\n", Marked(list), rows);

    ::SetForegroundWindow(main);
    ::SetActiveWindow(main);
    Sync(main);
    ::PostMessageW(main, WM_COMMAND, IDM_WRITE, 0);
    const auto start = Clock::now();
    while (!Working(main) && Clock::now() - start < std::chrono::seconds(10)) ::Sleep(1);
    // The keys stop short of the end: one typed in the moment the end is shown may come after
    // it, and then it marks, as it should. The bar going back to empty is that moment.
    int typed = 0;
    double lastAt = 0;
    for (double done = Done(main); Working(main) && done < until && done >= lastAt; done = Done(main)) {
        Type(typed % 2 == 0 ? VK_END : VK_HOME, true);
        lastAt = done;
        ++typed;
        ::Sleep(40);
    }
    while (Working(main)) ::Sleep(1);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::Sleep(500);
    Sync(main);
    const std::vector<int> marked = MarkedRows(list);
    std::printf(
        "write of %d rows: %.1f s; Ctrl+Shift+End/Home typed %d times during it, the last at %.0f%%\n", rows,
        seconds, typed, 100 * lastAt);
    std::printf("rows marked once the write had ended: %zu\n", marked.size());
    for (std::size_t i = 0; i < marked.size() && i < 10; ++i)
        std::printf("  row %d: %ls\n", marked[i],
                    korvalis::tools::CellText(process.hProcess, list, marked[i], 0).c_str());

    // Keys typed the same way with the window idle do mark: they reach the list. (Under Wine the
    // modifiers of keys sent from another process do not always come with them.)
    Type(VK_HOME, false);
    ::Sleep(300);
    Sync(main);
    Type(VK_END, true);
    ::Sleep(300);
    Sync(main);
    const int idleMarked = Marked(list);
    std::printf("idle, Home then Ctrl+Shift+End typed: %d of %d rows marked\n", idleMarked, rows);
    if (idleMarked == 0) status = 3;

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}
