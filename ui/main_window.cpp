#include "ui/main_window.h"

#include <commctrl.h>

#include "core/text.h"
#include "ui/dpi.h"
#include "ui/failure_report.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

constexpr wchar_t kClassName[] = L"KorvalisMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed size
constexpr DWORD kExStyle = 0;

// The design in twips.
constexpr double kClientWidth = 8385, kClientHeight = 5475;
constexpr double kListWidth = 8355, kListHeight = 5415;

UINT CommandFor(DirectoryEntry entry)
{
    switch (entry) {
        case DirectoryEntry::FS2004:
            return IDM_SELECT_FS2004;
        case DirectoryEntry::FS2002:
            return IDM_SELECT_FS2002;
        case DirectoryEntry::Own:
            break;
    }
    return IDM_SELECT_OWN;
}

// What the user is told the program was doing when a message's handling failed.
const wchar_t* Activity(UINT message)
{
    switch (message) {
        case WM_CREATE:
            return L"starting up";
        case WM_COMMAND:
            return L"carrying out a command";
        case WM_NOTIFY:
            return L"showing the aircraft list";
        case WM_PAINT:
            return L"drawing the window";
        default:
            return L"answering the window system";
    }
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_KORVALIS));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

MainWindow::MainWindow() noexcept
    : m_catalogue(m_state, m_rows, *this), m_dialog(m_state), m_choice(m_state, *this, *this, m_dialog, *this)
{
}

MainWindow::~MainWindow()
{
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
}

bool MainWindow::Create(HINSTANCE instance, const RegistryReader& readRegistry)
{
    m_readRegistry = readRegistry;
    if (!RegisterWindowClass(instance, &MainWindow::WindowProc)) return false;
    m_accelerators = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ::CreateWindowExW(kExStyle, kClassName, WideFromUtf8(kProgramTitle).c_str(), kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    return m_hwnd != nullptr;
}

void MainWindow::Show(int showCommand)
{
    ::ShowWindow(m_hwnd, showCommand);
    ::UpdateWindow(m_hwnd);
}

int MainWindow::Run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool MainWindow::PreTranslate(MSG& message)
{
    // While the dialog is open it takes its own keys (Enter, Esc, Tab) and the main
    // window's shortcuts stay silent, as the main window itself is disabled.
    if (m_dialog.IsOpen()) return ::IsDialogMessageW(m_dialog.Handle(), &message) != 0;
    return m_accelerators != nullptr && ::TranslateAcceleratorW(m_hwnd, m_accelerators, &message) != 0;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const auto byDefault = [&] { return ::DefWindowProcW(hwnd, message, wParam, lParam); };
    if (self == nullptr) return byDefault();
    return GuardedProc(
        Boundary::Window, message, Activity(message), [&] { return self->HandleMessage(message, wParam, lParam); },
        byDefault);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETFOCUS:
            // Keyboard marking and the selection's colour belong to the list.
            if (m_rows.Handle() != nullptr) ::SetFocus(m_rows.Handle());
            return 0;
        case WM_SETCURSOR:
            if (OnSetCursor()) return TRUE;
            break;
        case WM_APP_FAILURE:
            ShowFailureReport(m_hwnd, lParam);
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(m_hwnd);
            return 0;  // no question: pending types are discarded
        case WM_DESTROY:
            m_dialog.Close();
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetFailureReportWindow(nullptr);
            ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
            m_hwnd = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

bool MainWindow::OnCreate()
{
    m_dpi = DpiForWindow(m_hwnd);
    HWND list =
        ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                          0, 0, TwipsToPixels(kListWidth, m_dpi), TwipsToPixels(kListHeight, m_dpi), m_hwnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AIRFILES)),
                          reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_hwnd, GWLP_HINSTANCE)), nullptr);
    if (list == nullptr) return false;
    m_rows.Attach(list);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    ::SetWindowSubclass(list, &MainWindow::ListSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    ApplyLayout();
    CreateTooltip();
    m_dialog.SetMainWindow(m_hwnd);
    SetFailureReportWindow(m_hwnd);
    m_dialog.SetAcceptHandler([this](const std::string& folder) { m_choice.AcceptOwnDirectory(folder); });

    // Start-up: columns from the list's width, the simulators' records, their entries.
    AddColumns();
    Get_FSPath(m_state, m_readRegistry);
    m_choice.ApplyStartupRule();
    return true;
}

void MainWindow::AddColumns()
{
    RECT rect;
    ::GetWindowRect(m_rows.Handle(), &rect);
    // Single precision on purpose: the widths are the design's own arithmetic.
    const float w = static_cast<float>(PixelsToTwips(rect.right - rect.left, m_dpi));
    const float widths[] = {(w - 1700.0f) / 8.0f * 5.0f, (w - 1700.0f) / 8.0f * 3.0f, 1300.0f};
    const wchar_t* headers[] = {L"Dir", L"Airfile", L"Aircraft type"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(headers[i]);
        column.cx = TwipsToPixels(widths[i], m_dpi);
        column.iSubItem = i;
        ListView_InsertColumn(m_rows.Handle(), i, &column);
    }
}

void MainWindow::ApplyLayout()
{
    SizeClientTo(m_hwnd, TwipsToPixels(kClientWidth, m_dpi), TwipsToPixels(kClientHeight, m_dpi), true,
                 m_dpi);
    ::MoveWindow(m_rows.Handle(), 0, 0, TwipsToPixels(kListWidth, m_dpi), TwipsToPixels(kListHeight, m_dpi),
                 TRUE);
    // Every control gets the new font before the old one goes: none may hold a deleted font.
    UniqueGdiObject font(CreateMessageFont(m_dpi));
    for (HWND control : {m_rows.Handle(), m_tooltip}) {
        if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    m_font = std::move(font);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    const UINT old = m_dpi;
    m_dpi = dpi;
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
    for (int i = 0; i < 3; ++i) {
        const int width = ListView_GetColumnWidth(m_rows.Handle(), i);
        ListView_SetColumnWidth(m_rows.Handle(), i,
                                ::MulDiv(width, static_cast<int>(dpi), static_cast<int>(old)));
    }
}

void MainWindow::CreateTooltip()
{
    // Wine's ListView never asks for info tips, so the window keeps a tooltip of its own
    // over the list and tells it which cell the mouse is on.
    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, nullptr, nullptr);
    if (m_tooltip == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_rows.Handle());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, TwipsToPixels(6000, m_dpi));
    ::SendMessageW(m_tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
}

LRESULT CALLBACK MainWindow::ListSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR self)
{
    const auto byDefault = [&] { return ::DefSubclassProc(hwnd, message, wParam, lParam); };
    return GuardedProc(
        Boundary::Subclass, message, L"handling the aircraft list",
        [&] {
            if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
                MSG relay{hwnd, message, wParam, lParam, 0, {}};
                reinterpret_cast<MainWindow*>(self)->OnListMouse(relay);
            }
            // A subclass must go before its window does.
            if (message == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &MainWindow::ListSubclassProc, id);
            return byDefault();
        },
        byDefault);
}

void MainWindow::OnListMouse(const MSG& message)
{
    if (m_tooltip == nullptr) return;
    if (message.message == WM_MOUSEMOVE) {
        LVHITTESTINFO hit{};
        hit.pt =
            POINT{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        const int item = ListView_SubItemHitTest(m_rows.Handle(), &hit);
        const int column = item >= 0 ? hit.iSubItem : -1;
        if (item != m_tipItem || column != m_tipColumn) {
            // Another cell: hide the old tip; the next one asks for its text anew.
            m_tipItem = item;
            m_tipColumn = column;
            ::SendMessageW(m_tooltip, TTM_POP, 0, 0);
        }
    }
    ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

LRESULT MainWindow::OnNotify(NMHDR& header)
{
    if (header.hwndFrom == m_rows.Handle() && header.code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            const std::wstring text = m_rows.CellText(item.iItem, item.iSubItem);
            ::lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
        }
        return 0;
    }
    if (header.hwndFrom == m_tooltip && header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        m_tipText = m_rows.CellTip(m_tipItem, m_tipColumn);  // must outlive this call
        info.lpszText = m_tipText.data();
        info.hinst = nullptr;
        return 0;
    }
    return 0;
}

void MainWindow::OnCommand(int id)
{
    // Keyboard and other senders are held to the menu's own enabled states.
    const UINT state = ::GetMenuState(::GetMenu(m_hwnd), static_cast<UINT>(id), MF_BYCOMMAND);
    if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0) return;
    switch (id) {
        case IDM_SELECT_FS2004:
            m_choice.OnSelectFS2004();
            break;
        case IDM_SELECT_FS2002:
            m_choice.OnSelectFS2002();
            break;
        case IDM_SELECT_OWN:
            m_choice.OnSelectOwn();
            break;
        case IDM_TYPE_AIRCRAFT:
        case IDM_TYPE_HELICOPTER:
        case IDM_TYPE_NONFLYABLE:
            m_catalogue.AssignTypeToMarked(static_cast<std::int16_t>(id - IDM_TYPE_FIRST));
            break;
        case IDM_READ:
            Load_Airfiles();
            break;
        case IDM_WRITE:
            m_catalogue.WriteMarkedTypes();
            break;
        case IDM_SELECT_MY:
            m_catalogue.SelectAITraffic();
            break;
        case IDM_ABOUT:
            m_state.DialogMode = "About";
            m_dialog.OpenModeless();
            break;
        case IDM_END:
            ::DestroyWindow(m_hwnd);
            break;
        default:
            break;
    }
}

bool MainWindow::OnSetCursor()
{
    if (!m_busy) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

void MainWindow::Load_Airfiles() { m_catalogue.Load_Airfiles(); }

void MainWindow::SetHourglass(bool busy)
{
    m_busy = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::ShowMessage(const std::string& text)
{
    ::MessageBoxW(m_hwnd, WideFromUtf8(text).c_str(), WideFromUtf8(kProgramTitle).c_str(), MB_OK);
}

void MainWindow::SetWriteEnabled(bool enabled)
{
    ::EnableMenuItem(::GetMenu(m_hwnd), IDM_WRITE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::SetCaption(DirectoryEntry entry, const std::string& caption)
{
    const std::wstring text = WideFromUtf8(caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    ::SetMenuItemInfoW(::GetMenu(m_hwnd), CommandFor(entry), FALSE, &info);
}

void MainWindow::SetEnabled(DirectoryEntry entry, bool enabled)
{
    ::EnableMenuItem(::GetMenu(m_hwnd), CommandFor(entry), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool MainWindow::IsChecked(DirectoryEntry entry) const
{
    return (::GetMenuState(::GetMenu(m_hwnd), CommandFor(entry), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainWindow::SetChecked(DirectoryEntry entry, bool checked)
{
    ::CheckMenuItem(::GetMenu(m_hwnd), CommandFor(entry),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::SetWindowCaption(const std::string& caption)
{
    ::SetWindowTextW(m_hwnd, WideFromUtf8(caption).c_str());
}

void MainWindow::RemoveAllRows() { m_rows.RemoveAll(); }

void MainWindow::ShowList() { ::ShowWindow(m_rows.Handle(), SW_SHOW); }

}  // namespace korvalis
