#include "tests/ui/window_harness_win32.h"

#include <commctrl.h>

#include <chrono>

#include "core/text.h"
#include "tests/support/test_support.h"
#include "ui/simulator_paths.h"

namespace korvalis::test {

namespace {

void InitControlsOnce()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

Simulator::Simulator()
{
    const auto air = [](int type, std::size_t lead) {
        return Concat(
            {Bytes(lead, 0x5A), Marker(), Bytes{static_cast<std::uint8_t>(type)}, Hex("00 00 80 3F")});
    };
    root = FreshTestDir().make_preferred() / "FS9";
    aircraft = root / "aircraft";
    Put(aircraft / "AI Boeing 737" / "b737.air", air(0, 300));
    Put(aircraft / "Bell 206" / "bell.air", air(1, 40));
    Put(aircraft / "MY Cessna" / "c172.air", air(0, 7000));
}

int RowOf(MainWindowHarness& main, const std::wstring& folder)
{
    for (int i = 0; i < main.RowCount(); ++i) {
        if (main.Cell(i, 0) == folder) return i;
    }
    return -1;
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring Wide(const std::filesystem::path& path) { return path.wstring(); }

MainWindowHarness::MainWindowHarness(const std::wstring& fs2004Path)
    : m_window(std::make_unique<MainWindow>())
{
    InitControlsOnce();
    const std::string fs2004 = Utf8FromWide(fs2004Path);
    const RegistryReader reader = [fs2004](std::uint32_t, std::string_view key, std::string_view) {
        return key == kFS2004Key && !fs2004.empty() ? fs2004 : std::string(RegReadErrorMarker);
    };
    m_window->Create(::GetModuleHandleW(nullptr), reader);
}

MainWindowHarness::~MainWindowHarness()
{
    m_window.reset();
    // The window's end posts WM_QUIT; it must not reach the next test's message loop.
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void MainWindowHarness::Command(int id)
{
    ::SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Settle();
}

void MainWindowHarness::Settle()
{
    Pump();
    while (Handle() != nullptr && m_window->Working()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        Pump();
    }
}

bool MainWindowHarness::Route(HWND target, WPARAM key) { return RouteAt(target, key, ::GetTickCount()); }

bool MainWindowHarness::RouteAt(HWND target, WPARAM key, DWORD time)
{
    MSG message{target, WM_KEYDOWN, key, 1, time, {}};
    if (m_window->PreTranslate(message)) return true;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    return false;
}

bool MainWindowHarness::CtrlKey(WPARAM key)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    ::SetKeyboardState(keys);
    HWND focus = ::GetFocus();
    const bool taken = Route(focus != nullptr ? focus : Handle(), key);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    ::SetKeyboardState(keys);
    Settle();
    return taken;
}

void MainWindowHarness::Key(HWND target, WPARAM key)
{
    Route(target, key);
    Settle();
}

void MainWindowHarness::Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));  // kept for the test to see
            return;
        }
        if (Handle() != nullptr && m_window->PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::wstring MainWindowHarness::MenuText(UINT id) const
{
    wchar_t text[512] = {};
    ::GetMenuStringW(::GetMenu(Handle()), id, text, 512, MF_BYCOMMAND);
    return text;
}

bool MainWindowHarness::MenuEnabled(UINT id) const
{
    return (::GetMenuState(::GetMenu(Handle()), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool MainWindowHarness::MenuChecked(UINT id) const
{
    return (::GetMenuState(::GetMenu(Handle()), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::wstring MainWindowHarness::Caption() const { return WindowText(Handle()); }

int MainWindowHarness::RowCount() const { return ListView_GetItemCount(List()); }

std::wstring MainWindowHarness::Cell(int index, int column) const
{
    wchar_t text[512] = {};
    ListView_GetItemText(List(), index, column, text, 512);
    return text;
}

bool MainWindowHarness::Marked(int index) const
{
    return (ListView_GetItemState(List(), index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void MainWindowHarness::Mark(int index)
{
    ListView_SetItemState(List(), index, LVIS_SELECTED, LVIS_SELECTED);
}

std::wstring MainWindowHarness::TipAt(int index, int column)
{
    RECT cell{};
    ListView_GetSubItemRect(List(), index, column, LVIR_LABEL, &cell);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    ::SendMessageW(List(), WM_MOUSEMOVE, 0, at);
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(List());
    tool.lpszText = text;
    ::SendMessageW(m_window->TooltipHandle(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    return text;
}

std::wstring MainWindowHarness::StatusText(int part) const
{
    wchar_t text[512] = {};
    ::SendMessageW(m_window->StatusHandle(), SB_GETTEXTW, static_cast<WPARAM>(part),
                   reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring MainWindowHarness::StatusTip() const
{
    wchar_t text[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_window->StatusHandle();
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageW(m_window->StatusTipHandle(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return text;
}

void MainWindowHarness::RightClick(int index)
{
    RECT cell{};
    ListView_GetItemRect(List(), index, &cell, LVIR_LABEL);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    // The list waits for the button to come up before it asks for the menu.
    ::PostMessageW(List(), WM_RBUTTONUP, 0, at);
    ::SendMessageW(List(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    Settle();
}

MenuWatcher::MenuWatcher(wchar_t choose, const std::atomic<bool>* when)
    : m_choose(choose), m_when(when), m_thread([this] { Watch(); })
{
}

MenuWatcher::~MenuWatcher()
{
    m_stop = true;
    m_thread.join();
}

std::vector<std::vector<MenuWatcher::Entry>> MenuWatcher::Menus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

void MenuWatcher::Watch()
{
    while (!m_stop) {
        HWND popup = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr);
        if (popup != nullptr && ::IsWindowVisible(popup)) {
            const auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
            std::vector<Entry> entries;
            for (int i = 0; menu != nullptr && i < ::GetMenuItemCount(menu); ++i) {
                wchar_t text[128] = {};
                ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
                const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
                if ((state & MF_SEPARATOR) == 0)
                    entries.push_back({text, (state & (MF_GRAYED | MF_DISABLED)) == 0});
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_seen.push_back(entries);
            }
            while (m_choose != 0 && m_when != nullptr && !*m_when && !m_stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            // The menu takes an entry's access key as a character.
            if (m_choose != 0) ::PostMessageW(popup, WM_CHAR, m_choose, 0);
            while (::IsWindow(popup) && ::IsWindowVisible(popup) && !m_stop) {
                if (m_choose == 0) ::PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

MessageBoxWatcher::MessageBoxWatcher(HWND watched, int answer)
    : m_watched(watched), m_answer(answer), m_thread([this] { Watch(); })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    m_stop = true;
    m_thread.join();
}

std::vector<MessageBoxWatcher::Seen> MessageBoxWatcher::Boxes()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

void MessageBoxWatcher::Watch()
{
    const DWORD process = ::GetCurrentProcessId();
    while (!m_stop) {
        for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box != nullptr;
             box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(box, &owner);
            // A message box's text is the static 0xFFFF; the program's own dialog has none.
            HWND text = ::GetDlgItem(box, 0xFFFF);
            if (owner != process || text == nullptr || !::IsWindowVisible(box)) continue;
            Seen seen;
            seen.caption = WindowText(box);
            seen.text = WindowText(text);
            int buttons = 0;
            for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
                 child = ::GetWindow(child, GW_HWNDNEXT)) {
                if (!::IsWindowVisible(child)) continue;
                const std::wstring kind = ClassName(child);
                if (kind == L"Button") ++buttons;
                if (kind == L"Static" && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
                    seen.icon = true;
                }
            }
            HWND ok = ::GetDlgItem(box, IDOK);
            seen.onlyOk = buttons == 1 && ok != nullptr && ::IsWindowVisible(ok);
            HWND yes = ::GetDlgItem(box, IDYES), no = ::GetDlgItem(box, IDNO);
            seen.yesNo = buttons == 2 && yes != nullptr && no != nullptr;
            HWND answer = ::GetDlgItem(box, m_answer);
            const int pressed = answer != nullptr ? m_answer : IDOK;
            seen.watchedShown =
                m_watched != nullptr && (::GetWindowLongW(m_watched, GWL_STYLE) & WS_VISIBLE) != 0;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_seen.push_back(seen);
            }
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(pressed, BN_CLICKED),
                           reinterpret_cast<LPARAM>(answer != nullptr ? answer : ok));
            // Let it go before looking again, so one box is seen once.
            while (::IsWindow(box) && !m_stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace korvalis::test
