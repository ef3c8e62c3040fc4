// Drives korvalis.exe's "Mark rows" dialog from another process, as a user would, finding its
// controls by their texts, on the fleet tools/marking_check.sh makes; prints each step's marked
// rows and status text beside what they should be, "FAILED" where they differ.
//   marking_driver KORVALIS_EXE
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/start_korvalis_win32.h"
#include "ui/resource.h"

namespace {

using korvalis::tools::CellText;
using korvalis::tools::StatusText;
using korvalis::tools::Sync;

int g_failed = 0;

void Expect(const char* what, const std::wstring& seen, const std::wstring& wanted)
{
    const bool ok = seen == wanted;
    std::printf("%s: %s\n  seen:   %ls\n", ok ? "ok" : "FAILED", what, seen.c_str());
    if (!ok) {
        std::printf("  wanted: %ls\n", wanted.c_str());
        ++g_failed;
    }
}

std::wstring Text(HWND window)
{
    wchar_t text[512] = {};
    ::SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND Child(HWND dialog, const std::wstring& className, const std::wstring& text)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(child, name, 64);
        if (_wcsicmp(name, className.c_str()) == 0 && (text.empty() || Text(child) == text)) return child;
    }
    return nullptr;
}

HWND OpenDialog(HWND main)
{
    ::PostMessageW(main, WM_COMMAND, IDM_MARK_ROWS, 0);
    for (int i = 0; i < 100; ++i) {
        ::Sleep(100);
        HWND dialog = ::FindWindowW(L"#32770", L"Mark rows");
        if (dialog != nullptr && ::IsWindowVisible(dialog)) return dialog;
    }
    return nullptr;
}

bool Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetCheck(HWND box, bool on)
{
    if (Checked(box) != on) ::SendMessageW(box, BM_CLICK, 0, 0);
}

struct Step {
    const wchar_t* name;
    const wchar_t* type;
    bool onlyAmong;
    UINT before;            // a command first, or 0
    const wchar_t* marked;  // the marked rows' folders, joined by "|"
    const wchar_t* status;
};

std::wstring MarkedFolders(HANDLE process, HWND list)
{
    std::wstring folders;
    for (const int row : korvalis::tools::MarkedRows(list))
        folders += (folders.empty() ? L"" : L"|") + CellText(process, list, row, 0);
    return folders;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: marking_driver KORVALIS_EXE\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    PROCESS_INFORMATION process{};
    HWND main = korvalis::tools::StartKorvalis(argv[1], process);
    if (main == nullptr) return 1;
    HWND list = ::GetDlgItem(main, IDC_AIRFILES);
    const int rows = korvalis::tools::RunToEnd(main, IDM_SELECT_FS2004);
    std::printf("listed: %d rows\n", rows);

    // The dialog's new controls, by their texts.
    HWND dialog = OpenDialog(main);
    if (dialog == nullptr) {
        std::printf("FAILED: no Mark rows dialog\n");
        ::TerminateProcess(process.hProcess, 1);
        return 1;
    }
    HWND combo = Child(dialog, L"ComboBox", L"");
    Expect("the label", Child(dialog, L"Static", L"and whose &type is:") != nullptr ? L"found" : L"missing",
           L"found");
    std::wstring items;
    for (int i = 0; combo != nullptr && i < static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0)); ++i) {
        wchar_t item[128] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items += (items.empty() ? L"" : L"|") + std::wstring(item);
    }
    Expect("the drop-down's types", items,
           L"any type|Aircraft|Helicopter|non flyable|without a type|changed and not written");
    HWND keep = Child(dialog, L"Button", L"&Keep the rows already marked");
    HWND only = Child(dialog, L"Button", L"&Only among the rows already marked");
    Expect("the check boxes", keep != nullptr && only != nullptr ? L"found" : L"missing", L"found");
    if (combo == nullptr || keep == nullptr || only == nullptr) {
        ::TerminateProcess(process.hProcess, 1);
        return 1;
    }
    SetCheck(keep, true);
    SetCheck(only, true);
    Expect("ticking Only unticks Keep", Checked(keep) ? L"Keep ticked" : L"Keep unticked", L"Keep unticked");
    SetCheck(keep, true);
    Expect("ticking Keep unticks Only", Checked(only) ? L"Only ticked" : L"Only unticked", L"Only unticked");
    SetCheck(keep, false);
    ::SendMessageW(Child(dialog, L"Button", L"Cancel"), BM_CLICK, 0, 0);

    const Step steps[] = {
        {L"AI *", L"Aircraft", false, 0, L"AI New A320|AI New B737", L"2 rows marked"},
        {L"", L"non flyable", false, 0, L"AI Old A320|AI Old B737", L"2 rows marked"},
        {L"", L"Aircraft", true, IDM_SELECT_MY, L"AI New A320|AI New B737|TRAINING Cessna 152",
         L"3 rows marked"},
        {L"A320", L"any type", true, 0, L"AI New A320", L"1 row marked"},
        {L"Piper", L"Aircraft", true, 0, L"AI New A320",
         L"No row matches \"Piper\" among the marked rows of type Aircraft"},
    };
    for (const Step& step : steps) {
        if (step.before != 0) ::PostMessageW(main, WM_COMMAND, step.before, 0);
        Sync(main);
        dialog = OpenDialog(main);
        if (dialog == nullptr) break;
        ::SendMessageW(Child(dialog, L"Edit", L""), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        ::SendMessageW(Child(dialog, L"Edit", L""), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.name));
        combo = Child(dialog, L"ComboBox", L"");
        const LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(step.type));
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        SetCheck(Child(dialog, L"Button", L"&Only among the rows already marked"), step.onlyAmong);
        ::SendMessageW(Child(dialog, L"Button", L"Mark"), BM_CLICK, 0, 0);
        Sync(main);
        const std::wstring what = L"\"" + std::wstring(step.name) + L"\" of " + step.type +
                                  (step.onlyAmong ? L" among the marked" : L"");
        std::printf("== %ls\n", what.c_str());
        Expect("marked rows", MarkedFolders(process.hProcess, list), step.marked);
        Expect("status", StatusText(process.hProcess, main, 1), step.status);
    }

    // Another change of the marks: the marking message goes; the scan left nothing to say.
    ::PostMessageW(main, WM_COMMAND, IDM_SELECT_ALL, 0);
    Sync(main);
    std::printf("== Ctrl+A\n");
    Expect("status", StatusText(process.hProcess, main, 1), L"");

    ::PostMessageW(main, WM_COMMAND, IDM_END, 0);
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::printf("%s\n", g_failed == 0 ? "all as wanted" : "some steps FAILED");
    return g_failed == 0 ? 0 : 1;
}
