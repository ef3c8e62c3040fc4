// Faults the window system must never see: an exception at any of the places where Windows
// calls the program, and fonts or subclasses that outlive their use.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "core/text.h"
#include "tests/support/hooked_routines.h"
#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/failure_report.h"
#include "ui/fs_dialog.h"
#include "ui/main_window.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

// The guard every procedure runs in: a throw gives the system's default answer and tells the
// user once, however often it throws while that message waits.
TEST(Robustness, AThrowInAProcedureGivesTheDefaultAndOneMessage)
{
    MainWindowHarness main;  // shows the messages
    for (const int throws : {1, 3}) {
        SCOPED_TRACE(throws);
        MessageBoxWatcher boxes;
        for (int i = 0; i < throws; ++i) {
            const int result = GuardedProc(
                L"drawing the window", []() -> int { throw std::runtime_error("fault"); }, [] { return 7; });
            EXPECT_EQ(result, 7);
        }
        EXPECT_EQ(GuardedProc(
                      L"drawing the window", [] { return 1; }, [] { return 7; }),
                  1);
        main.Pump();
        const auto seen = boxes.Boxes();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"Korvalis");
        EXPECT_EQ(seen[0].text, FailureText(L"drawing the window"));
        EXPECT_TRUE(seen[0].onlyOk);
        EXPECT_FALSE(seen[0].icon);
    }
}

// Where the window's own work throws: the user is told what was being done, and the window goes on.
TEST(Robustness, AThrowInTheWindowsWorkBecomesOneMessageAndTheProgramGoesOn)
{
    struct Case {
        const char* name;
        const wchar_t* doing;
        std::function<void(MainWindowHarness&)> trigger;
    };
    HookedRoutines throwing([](int) { throw std::runtime_error("fault"); });
    RecordingLaunch throwingLaunch;
    throwingLaunch.select = [](const fs::path&) -> HRESULT { throw std::runtime_error("fault"); };
    const Case cases[] = {
        {"a menu command", L"carrying out a command",
         [&throwingLaunch](MainWindowHarness& m) {
             m.Window().SetShellLaunch(throwingLaunch);
             MenuWatcher watcher(L'f');  // "Open folder" from the row's menu
             m.RightClick(0);
         }},
        {"a scan on the worker", L"reading the aircraft folders",
         [&throwing](MainWindowHarness& m) {
             m.Window().Commands().SetFileRoutines(throwing);
             m.Command(IDM_READ);
             m.Window().Commands().SetFileRoutines(SystemAirfileRoutines());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Simulator sim;
        MainWindowHarness main(Wide(sim.root));
        main.Command(IDM_SELECT_FS2004);
        ASSERT_GT(main.RowCount(), 0);
        MessageBoxWatcher boxes;
        c.trigger(main);
        main.Pump();
        const auto seen = boxes.Boxes();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, FailureText(c.doing));

        // The program goes on: its window answers and its commands work.
        ASSERT_NE(main.Handle(), nullptr);
        EXPECT_FALSE(main.Window().Working());
        main.Command(IDM_ABOUT);
        EXPECT_NE(main.Window().Dialog().Handle(), nullptr);
        main.Window().Dialog().Close();
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
}

// The procedure a window runs, and the one its class gives it.
bool RunsItsClassProcedure(HWND window)
{
    return static_cast<ULONG_PTR>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) ==
           ::GetClassLongPtrW(window, GCLP_WNDPROC);
}

// What the list holds as its messages arrive: whether its font is a live one when a new font
// comes, and whether its own procedure is back once WM_NCDESTROY has been handled.
struct ListWatch {
    HWND list = nullptr;
    std::vector<bool> liveWhenReplaced;
    std::vector<bool> ownProcAtTheEnd;
};
ListWatch* g_watch = nullptr;

LRESULT CALLBACK BeforeMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const auto& sent = *reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_watch != nullptr && sent.hwnd == g_watch->list && sent.message == WM_SETFONT) {
        const auto held = reinterpret_cast<HGDIOBJ>(::SendMessageW(sent.hwnd, WM_GETFONT, 0, 0));
        g_watch->liveWhenReplaced.push_back(held == nullptr || ::GetObjectType(held) == OBJ_FONT);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK AfterMessages(int code, WPARAM wParam, LPARAM lParam)
{
    const auto& sent = *reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && g_watch != nullptr && sent.hwnd == g_watch->list &&
        sent.message == WM_NCDESTROY) {
        g_watch->ownProcAtTheEnd.push_back(RunsItsClassProcedure(sent.hwnd));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Robustness, FontsAreReplacedInOrderAndTheListSubclassGoesWithTheList)
{
    auto main = std::make_unique<MainWindowHarness>();
    const auto fontOf = [](HWND w) { return reinterpret_cast<HGDIOBJ>(::SendMessageW(w, WM_GETFONT, 0, 0)); };
    // Wine's tooltip keeps a copy of the font it is given, so the two are compared by what they draw.
    const auto looksOf = [&](HWND w) {
        LOGFONTW font{};
        ::GetObjectW(fontOf(w), sizeof font, &font);
        return std::make_pair(font.lfHeight, std::wstring(font.lfFaceName));
    };
    HWND list = main->List(), tip = main->Window().TooltipHandle();
    EXPECT_EQ(looksOf(tip), looksOf(list)) << "the tooltip gets the list's font from the start";
    EXPECT_FALSE(RunsItsClassProcedure(list)) << "subclassed";

    ListWatch watch;
    watch.list = list;
    g_watch = &watch;
    HHOOK before = ::SetWindowsHookExW(WH_CALLWNDPROC, &BeforeMessages, nullptr, ::GetCurrentThreadId());
    HHOOK after = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessages, nullptr, ::GetCurrentThreadId());
    const HGDIOBJ old = fontOf(list);
    const UINT scaled = main->Window().Dpi() * 3 / 2;
    RECT suggested{40, 30, 1000, 800};
    ::SendMessageW(main->Handle(), WM_DPICHANGED, MAKEWPARAM(scaled, scaled),
                   reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(watch.liveWhenReplaced, std::vector<bool>{true}) << "the list never holds a deleted font";
    EXPECT_NE(fontOf(list), old);
    EXPECT_EQ(::GetObjectType(fontOf(list)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(looksOf(tip), looksOf(list));
    EXPECT_NE(looksOf(list).first, 0);
    EXPECT_EQ(::GetObjectType(old), 0u) << "the old font is deleted";

    main.reset();
    ::UnhookWindowsHookEx(before);
    ::UnhookWindowsHookEx(after);
    g_watch = nullptr;
    EXPECT_EQ(watch.ownProcAtTheEnd, std::vector<bool>{true}) << "the subclass is gone by WM_NCDESTROY's end";
}

}  // namespace
}  // namespace korvalis::test
