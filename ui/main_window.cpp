#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "core/text.h"
#include "ui/dpi.h"
#include "ui/failure_report.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

constexpr wchar_t kClassName[] = L"KorvalisMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed size
constexpr DWORD kExStyle = 0;

// The design in twips; the status bar comes below it, at its own height.
constexpr double kClientWidth = 8385, kClientHeight = 5475;
constexpr double kListWidth = 8355, kListHeight = 5415;

// Results of the worker wait; the status bar's counts are out of date.
constexpr UINT WM_APP_WORK = WM_APP + 2;
constexpr UINT WM_APP_COUNTS = WM_APP + 3;

// The status bar: the counts take the room their text needs, what runs or ran the rest, with the
// progress as a thin bar under that text: the window is too narrow for both texts and a bar
// beside them. In pixels at 96 DPI.
constexpr int kPartPadding = 10;
constexpr int kProgressHeight = 5;

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
        case WM_APP_WORK:
            return L"showing what the work found";
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

// Input that would move the marks or the focus of the list; held back while work runs.
bool MovesTheMarks(UINT message, WPARAM wParam)
{
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_CHAR:
            return true;
        case WM_KEYDOWN:
            return wParam != VK_APPS && wParam != VK_F10;  // the context menu may still open
        default:
            return false;
    }
}

bool SetClipboardText(HWND owner, const std::wstring& text)
{
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (memory != nullptr) {
        if (void* target = ::GlobalLock(memory)) {
            ::memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            // Once handed over, the clipboard owns the memory.
            done = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return done;
}

}  // namespace

MainWindow::MainWindow() noexcept
    : m_worker([this] {
          HWND target = m_wakeTarget;
          if (target != nullptr) ::PostMessageW(target, WM_APP_WORK, 0, 0);
      }),
      m_catalogue(m_state, m_rows, *this, m_worker),
      m_dialog(m_state),
      m_choice(m_state, *this, *this, m_dialog, *this)
{
}

MainWindow::~MainWindow()
{
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
    m_worker.Shutdown();
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
    if (m_working && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
        m_catalogue.StopWork();
        return true;
    }
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
        Boundary::Window, message, Activity(message),
        [&] { return self->HandleMessage(message, wParam, lParam); }, byDefault);
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
        case WM_CONTEXTMENU:
            OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
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
        case WM_APP_WORK:
            m_worker.RunPosted();
            return 0;
        case WM_APP_COUNTS:
            ShowCounts();
            return 0;
        case WM_APP_FAILURE:
            ShowFailureReport(m_hwnd, lParam);
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(m_hwnd);
            return 0;  // no question: pending types are discarded
        case WM_DESTROY:
            // Work stops first: a scan at once, a write after the file it is on.
            m_wakeTarget = nullptr;
            m_worker.Shutdown();
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
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_hwnd, GWLP_HINSTANCE));
    HWND list =
        ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                          0, 0, TwipsToPixels(kListWidth, m_dpi), TwipsToPixels(kListHeight, m_dpi), m_hwnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AIRFILES)), instance, nullptr);
    if (list == nullptr) return false;
    m_rows.Attach(list, [this] {
        ScheduleCounts();
        ForgetTip();
    });
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    // A plain subclass: comctl32's own kind looks itself up for every message, which under Wine
    // is a round trip to the server, and the list gets one message per row marked.
    ::SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_listProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ListProc)));
    m_status =
        ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hwnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS)), instance, nullptr);
    m_progress = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, m_status,
                                   nullptr, instance, nullptr);
    ApplyLayout();
    CreateTooltip();
    m_dialog.SetMainWindow(m_hwnd);
    m_dialog.SetAcceptHandler([this](const std::string& folder) { m_choice.AcceptOwnDirectory(folder); });
    SetFailureReportWindow(m_hwnd);
    m_wakeTarget = m_hwnd;

    // Start-up: columns from the list's width, the simulators' records, their entries.
    AddColumns();
    Get_FSPath(m_state, m_readRegistry);
    m_choice.ApplyStartupRule();
    ShowCounts();
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
    // Every control gets the new font before the old one goes: none may hold a deleted font.
    UniqueGdiObject font(CreateMessageFont(m_dpi));
    LOGFONTW bold{};
    ::GetObjectW(font.Get(), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    UniqueGdiObject boldFont(::CreateFontIndirectW(&bold));
    for (HWND control : {m_rows.Handle(), m_tooltip, m_status}) {
        if (control != nullptr)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    m_font = std::move(font);
    m_boldFont = std::move(boldFont);

    // The status bar takes the height its font needs and the progress bar's, below the design's area.
    const int scaled = ::MulDiv(kProgressHeight + 4, static_cast<int>(m_dpi), 96);
    ::SendMessageW(m_status, SB_SETMINHEIGHT, static_cast<WPARAM>(TextSize(L"0").cy + scaled), 0);
    ::SendMessageW(m_status, WM_SIZE, 0, 0);
    RECT status{};
    ::GetWindowRect(m_status, &status);
    const int statusHeight = status.bottom - status.top;
    SizeClientTo(m_hwnd, TwipsToPixels(kClientWidth, m_dpi),
                 TwipsToPixels(kClientHeight, m_dpi) + statusHeight, true, m_dpi);
    ::MoveWindow(m_rows.Handle(), 0, 0, TwipsToPixels(kListWidth, m_dpi), TwipsToPixels(kListHeight, m_dpi),
                 TRUE);
    ::SendMessageW(m_status, WM_SIZE, 0, 0);
    m_countsLength = 0;  // lays the parts out anew for this size
    ShowCounts();
}

SIZE MainWindow::TextSize(const std::wstring& text) const
{
    SIZE size{};
    HDC dc = ::GetDC(m_status);
    const HGDIOBJ old = ::SelectObject(dc, m_font.Get());
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_status, dc);
    return size;
}

void MainWindow::LayoutStatus(const std::wstring& counts)
{
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    const auto px = [this](int pixels) { return ::MulDiv(pixels, static_cast<int>(m_dpi), 96); };
    const int wanted = TextSize(counts).cx + px(kPartPadding);
    int edges[] = {std::min(wanted, static_cast<int>(client.right * 2 / 3)), -1};
    ::SendMessageW(m_status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    RECT part{};
    ::SendMessageW(m_status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    ::MoveWindow(m_progress, part.left + px(3), part.bottom - px(kProgressHeight) - px(1),
                 part.right - part.left - px(6), px(kProgressHeight), TRUE);
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

LRESULT CALLBACK MainWindow::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const WNDPROC own = window->m_listProc;
    const auto byDefault = [&] { return ::CallWindowProcW(own, hwnd, message, wParam, lParam); };
    return GuardedProc(
        Boundary::Subclass, message, L"handling the aircraft list",
        [&]() -> LRESULT {
            if (window->ListMessage(message, wParam, lParam)) return 0;
            // A subclass must go before its window does.
            if (message == WM_NCDESTROY && ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) ==
                                               reinterpret_cast<LONG_PTR>(&MainWindow::ListProc)) {
                ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
            }
            const LRESULT result = byDefault();
            if (message == WM_MOUSEWHEEL || message == WM_VSCROLL || message == WM_HSCROLL ||
                message == LVM_SCROLL) {
                window->FollowScroll();
            }
            return result;
        },
        byDefault);
}

bool MainWindow::ListMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        MSG relay{m_rows.Handle(), message, wParam, lParam, 0, {}};
        OnListMouse(relay);
    }
    // The menu key and Shift+F10 open the context menu here: Wine's list passes on only one of them.
    if ((message == WM_KEYUP && wParam == VK_APPS) ||
        (message == WM_SYSKEYDOWN && wParam == VK_F10 && ::GetKeyState(VK_SHIFT) < 0)) {
        ::SendMessageW(m_hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_rows.Handle()), -1);
        return true;
    }
    if (!m_working) return false;
    if (message == WM_RBUTTONUP) {
        // No marking while work runs, but the menu still opens, its entries grey.
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(m_rows.Handle(), &at);
        ::SendMessageW(m_hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_rows.Handle()),
                       MAKELPARAM(at.x, at.y));
        return true;
    }
    return MovesTheMarks(message, wParam);
}

void MainWindow::OnListMouse(const MSG& message)
{
    if (m_tooltip == nullptr) return;
    if (message.message == WM_MOUSEMOVE) {
        m_lastMouse =
            POINT{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        FollowScroll();
    }
    ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

void MainWindow::ForgetTip()
{
    // The rows under the mouse changed: the tip shown is stale; the next move asks anew.
    if (m_tooltip == nullptr || m_tipItem < 0) return;
    m_tipItem = m_tipColumn = -1;
    ::SendMessageW(m_tooltip, TTM_POP, 0, 0);
}

void MainWindow::FollowScroll()
{
    // The cell under the mouse changes when the mouse moves and when the list moves under it.
    if (m_tooltip == nullptr || m_lastMouse.x < 0) return;
    LVHITTESTINFO hit{};
    hit.pt = m_lastMouse;
    const int item = ListView_SubItemHitTest(m_rows.Handle(), &hit);
    const int column = item >= 0 ? hit.iSubItem : -1;
    if (item != m_tipItem || column != m_tipColumn) {
        // Another cell: hide the old tip; the next one asks for its text anew.
        m_tipItem = item;
        m_tipColumn = column;
        ::SendMessageW(m_tooltip, TTM_POP, 0, 0);
    }
}

LRESULT MainWindow::OnNotify(NMHDR& header)
{
    if (header.hwndFrom == m_rows.Handle()) {
        switch (header.code) {
            case LVN_GETDISPINFOW: {
                LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
                if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
                    const std::wstring text = m_rows.CellText(item.iItem, item.iSubItem);
                    ::lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
                }
                return 0;
            }
            case LVN_ODFINDITEMW: {
                // Type-ahead by folder name; the list moves the focus and the marking itself.
                const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
                if (m_working || find.lvfi.psz == nullptr ||
                    (find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0)
                    return -1;
                return m_rows.FindFolder(find.lvfi.psz, find.iStart, (find.lvfi.flags & LVFI_WRAP) != 0);
            }
            case NM_CUSTOMDRAW:
                return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
            case LVN_ITEMCHANGED:
            case LVN_ODSTATECHANGED:
                ScheduleCounts();
                return 0;
            case LVN_COLUMNCLICK:
                OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
                return 0;
            default:
                return 0;
        }
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

LRESULT MainWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw)
{
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            // A type not yet written shows in bold: what "Write" would write, marked or not.
            const auto index = static_cast<int>(draw.nmcd.dwItemSpec);
            if (index >= 0 && index < m_rows.Count() && m_rows.Row(index + 1).Changed()) {
                ::SelectObject(draw.nmcd.hdc, m_boldFont.Get());
                return CDRF_NEWFONT;
            }
            return CDRF_DODEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void MainWindow::OnColumnClick(int column)
{
    if (m_working || m_rows.Count() == 0) return;
    static constexpr SortColumn kColumns[] = {SortColumn::Folder, SortColumn::File, SortColumn::Type};
    if (column < 0 || column > 2) return;
    SortOrder order{kColumns[column], false};
    // The same header again reverses the order.
    if (m_rows.Order().column == order.column) order.descending = !m_rows.Order().descending;
    m_rows.Sort(order);
    ShowSortArrow();
}

void MainWindow::ShowSortArrow()
{
    HWND header = ListView_GetHeader(m_rows.Handle());
    const SortOrder order = m_rows.Order();
    static constexpr SortColumn kColumns[] = {SortColumn::Folder, SortColumn::File, SortColumn::Type};
    for (int i = 0; i < 3; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (kColumns[i] == order.column) item.fmt |= order.descending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
}

void MainWindow::OnContextMenu(HWND source, LPARAM at)
{
    HWND list = m_rows.Handle();
    if (source != list) return;
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    int row = -1;
    if (at == -1) {
        // From the keyboard: at the focused row, or the list's corner.
        row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        RECT rect{};
        if (row < 0 || !ListView_GetItemRect(list, row, &rect, LVIR_LABEL)) rect = RECT{};
        point = POINT{rect.left, rect.bottom};
        ::ClientToScreen(list, &point);
    } else {
        LVHITTESTINFO hit{};
        hit.pt = point;
        ::ScreenToClient(list, &hit.pt);
        row = ListView_HitTest(list, &hit);
        // Right-clicking an unmarked row marks it alone; a marked one keeps the marking.
        if (row >= 0 && !m_working && !m_rows.IsMarked(row + 1)) {
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        if (row < 0) row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    }
    m_contextRow = row;

    const bool anyMarked = m_rows.MarkedCount() > 0;
    const bool change = anyMarked && !m_working;
    const auto state = [](bool enabled) { return enabled ? MF_ENABLED : MF_GRAYED; };
    UniqueMenu types(::CreatePopupMenu());
    ::AppendMenuW(types.Get(), MF_STRING, IDM_TYPE_AIRCRAFT, L"&Aircraft");
    ::AppendMenuW(types.Get(), MF_STRING, IDM_TYPE_HELICOPTER, L"&Helicopter");
    ::AppendMenuW(types.Get(), MF_STRING, IDM_TYPE_NONFLYABLE, L"&non flyable");
    UniqueMenu menu(::CreatePopupMenu());
    // The menu owns the sub-menu from here on.
    ::AppendMenuW(menu.Get(), MF_POPUP | state(change), reinterpret_cast<UINT_PTR>(types.Release()),
                  L"Set &type to");
    ::AppendMenuW(menu.Get(), MF_STRING | state(m_writeEnabled && !m_working), IDM_WRITE, L"&Write\tCtrl+S");
    ::AppendMenuW(menu.Get(), MF_STRING | state(change), IDM_RESTORE, L"&Restore type from backup");
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING | state(row >= 0), IDM_OPEN_FOLDER, L"Open &folder");
    ::AppendMenuW(menu.Get(), MF_STRING | state(anyMarked), IDM_COPY, L"&Copy\tCtrl+C");
    const int command = static_cast<int>(
        ::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                           point.x, point.y, m_hwnd, nullptr));
    if (command != 0) OnCommand(command);
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
        case IDM_SELECT_ALL:
            if (!m_working) ListView_SetItemState(m_rows.Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
            break;
        case IDM_COPY:
            CopyMarkedRows();
            break;
        case IDM_RESTORE:
            m_catalogue.RestoreMarkedFromBackups();
            break;
        case IDM_OPEN_FOLDER:
            OpenFolder(m_contextRow);
            break;
        default:
            break;
    }
}

void MainWindow::CopyMarkedRows()
{
    // Tab-separated, as spreadsheets take it, in the order shown.
    std::wstring text;
    for (int i = ListView_GetNextItem(m_rows.Handle(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_rows.Handle(), i, LVNI_SELECTED)) {
        text += m_rows.CellText(i, 0) + L"\t" + m_rows.CellText(i, 1) + L"\t" + m_rows.CellText(i, 2) +
                L"\t" + RowPath(m_state.AircraftDir, m_rows.Row(i + 1)).wstring() + L"\r\n";
    }
    if (text.empty()) return;  // nothing marked: the clipboard keeps what it has
    SetClipboardText(m_hwnd, L"Dir\tAirfile\tAircraft type\tPath\r\n" + text);
}

void MainWindow::OpenFolder(int index)
{
    if (index < 0 || index >= m_rows.Count()) return;
    const std::wstring arguments =
        L"/select,\"" + RowPath(m_state.AircraftDir, m_rows.Row(index + 1)).wstring() + L"\"";
    ::ShellExecuteW(m_hwnd, nullptr, L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
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
    m_writeEnabled = enabled;
    ApplyMenuStates();
}

void MainWindow::SetWorking(bool working)
{
    m_working = working;
    ApplyMenuStates();
    ::SendMessageW(m_progress, PBM_SETPOS, 0, 0);
    ::ShowWindow(m_progress, working ? SW_SHOWNA : SW_HIDE);
    ShowCounts();
}

void MainWindow::ShowProgress(const std::string& text, int done, int total)
{
    ::SendMessageW(m_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
    ::SendMessageW(m_progress, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void MainWindow::ShowOutcome(const std::string& text)
{
    ::SendMessageW(m_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

void MainWindow::WorkFailed(WorkKind kind)
{
    switch (kind) {
        case WorkKind::Scan:
            ReportFailedAction(L"reading the aircraft folders");
            break;
        case WorkKind::Write:
            ReportFailedAction(L"writing the type bytes");
            break;
        case WorkKind::Restore:
            ReportFailedAction(L"restoring types from their backups");
            break;
    }
}

void MainWindow::ApplyMenuStates()
{
    // The logical states stay as the commands set them; while work runs the menu shows every
    // entry that would start work or change the rows grey.
    HMENU menu = ::GetMenu(m_hwnd);
    const bool idle = !m_working;
    const auto enable = [menu](UINT id, bool enabled) {
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_SELECT_FS2004, m_simulatorEnabled[0] && idle);
    enable(IDM_SELECT_FS2002, m_simulatorEnabled[1] && idle);
    for (UINT id : {IDM_SELECT_OWN, IDM_TYPE_AIRCRAFT, IDM_TYPE_HELICOPTER, IDM_TYPE_NONFLYABLE, IDM_READ,
                    IDM_SELECT_MY}) {
        enable(id, idle);
    }
    enable(IDM_WRITE, m_writeEnabled && idle);
}

void MainWindow::ScheduleCounts()
{
    // Marks change one row at a time; the counts are redrawn once for a run of them.
    if (m_countsPending || m_hwnd == nullptr) return;
    m_countsPending = ::PostMessageW(m_hwnd, WM_APP_COUNTS, 0, 0) != FALSE;
}

void MainWindow::ShowCounts()
{
    m_countsPending = false;
    const std::wstring text =
        WideFromUtf8(CountsText(m_rows.Count(), m_rows.MarkedCount(), m_rows.ChangedCount()));
    if (text.size() != m_countsLength) {
        m_countsLength = text.size();
        LayoutStatus(text);
    }
    ::SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
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
    if (entry == DirectoryEntry::FS2004) m_simulatorEnabled[0] = enabled;
    if (entry == DirectoryEntry::FS2002) m_simulatorEnabled[1] = enabled;
    ApplyMenuStates();
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
