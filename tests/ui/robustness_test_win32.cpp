// Faults the window system must never see: an exception at any of the places where Windows
// calls the program, and fonts or subclasses that outlive their use.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "catalogue/guarded.h"
#include "catalogue/worker.h"
#include "core/text.h"
#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/failure_report.h"
#include "ui/fs_dialog.h"
#include "ui/main_window.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

TEST(Robustness, AnExceptionAtEachBoundaryBecomesOneMessageAndTheProgramGoesOn)
{
    struct Case {
        const char* name;
        std::string_view boundary;
        UINT message;
        const wchar_t* doing;
        std::function<void(MainWindowHarness&)> trigger;
    };
    const Case cases[] = {
        {"a menu command", kMainWindowBoundary, WM_COMMAND, L"carrying out a command",
         [](MainWindowHarness& m) { m.Command(IDM_SELECT_MY); }},
        {"a mouse move over the list", kListBoundary, WM_MOUSEMOVE, L"handling the aircraft list",
         [](MainWindowHarness& m) { ::SendMessageW(m.List(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }},
        {"OK in the About box", kDialogBoundary, WM_COMMAND, L"handling the folder dialog",
         [](MainWindowHarness& m) {
             m.Command(IDM_ABOUT);
             ::SendMessageW(m.Window().Dialog().Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
         }},
        {"a scan on the worker", kWorkerBoundary, 0, L"reading the aircraft folders",
         [](MainWindowHarness& m) {
             m.Window().State().AircraftDir = PathToUtf8(FreshTestDir());
             m.Command(IDM_READ);
         }},
        // Painting fails again and again while the first report waits: still one message.
        {"three paints in a row", kMainWindowBoundary, WM_PAINT, L"drawing the window",
         [](MainWindowHarness& m) {
             ::ShowWindow(m.Handle(), SW_SHOWNOACTIVATE);
             for (int i = 0; i < 3; ++i)
                 ::RedrawWindow(m.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindowHarness main;
        MessageBoxWatcher boxes;
        detail::InjectBoundaryFault(
            c.boundary, c.boundary == kMainWindowBoundary && c.message == WM_PAINT ? 3 : 1, c.message);
        c.trigger(main);
        main.Pump();
        detail::InjectBoundaryFault(c.boundary, 0);
        const auto seen = boxes.Boxes();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"Korvalis");
        EXPECT_EQ(seen[0].text, FailureText(c.doing));
        EXPECT_TRUE(seen[0].onlyOk);
        EXPECT_FALSE(seen[0].icon);

        // The program goes on: its window answers and its commands work.
        ASSERT_NE(main.Handle(), nullptr);
        main.Window().Dialog().Close();
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
