#include "ui/list_controller.h"

#include "catalogue/row_text.h"
#include "ui/context_menu.h"
#include "ui/failure_report.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

// A click the list would act on in a loop of its own (drag detection): held back while a write
// or restore runs, rather than undone afterwards.
bool IsClick(UINT message)
{
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_IME_CHAR;
}

}  // namespace

bool ListController::Create(HWND owner, HINSTANCE instance, ListHooks hooks)
{
    m_owner = owner;
    m_hooks = std::move(hooks);
    HWND list = ::CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
        owner, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AIRFILES)), instance, nullptr);
    if (list == nullptr) return false;
    m_rows.Attach(list, [this] {
        m_hooks.changed();
        m_tooltip.Forget();
    });
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    // A plain subclass: comctl32's own kind looks itself up for every message, which under Wine
    // is a round trip to the server, and the list gets one message per row marked.
    ::SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_listProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListController::ListProc)));
    return true;
}

void ListController::CreateTooltip(UINT dpi, HFONT font)
{
    m_tooltip.Create(m_owner, m_rows.Handle(), dpi, font,
                     [this](int item, int column) { return m_rows.CellTip(item, column); });
}

void ListController::SetFont(HFONT font)
{
    // The new bold face is in place before the old one goes: no row is drawn with a deleted font.
    LOGFONTW bold{};
    ::GetObjectW(font, sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    UniqueGdiObject boldFont(::CreateFontIndirectW(&bold));
    for (HWND control : {m_rows.Handle(), m_tooltip.Handle()}) {
        if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    m_boldFont = std::move(boldFont);
}

LRESULT CALLBACK ListController::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* list = reinterpret_cast<ListController*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const WNDPROC own = list->m_listProc;
    const auto byDefault = [&] { return ::CallWindowProcW(own, hwnd, message, wParam, lParam); };
    return GuardedProc(
        L"handling the aircraft list",
        [&]() -> LRESULT {
            if (list->ListMessage(message, wParam, lParam)) return 0;
            // A subclass must go before its window does.
            if (message == WM_NCDESTROY && ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) ==
                                               reinterpret_cast<LONG_PTR>(&ListController::ListProc)) {
                ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
            }
            // While a write or restore runs the list handles the user's input itself, focus and
            // scrolling included, but what that did to the marks is put back: whatever the key.
            const bool hold = IsInput(message) && !list->States().markByInput;
            if (hold) list->m_rows.HoldMarks();
            const LRESULT result = byDefault();
            if (hold) list->m_rows.KeepHeldMarks();
            if (message == WM_MOUSEWHEEL || message == WM_VSCROLL || message == WM_HSCROLL ||
                message == LVM_SCROLL) {
                list->m_tooltip.FollowScroll();
            }
            return result;
        },
        byDefault);
}

bool ListController::ListMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        m_tooltip.Relay(MSG{m_rows.Handle(), message, wParam, lParam, 0, {}});
    }
    // The menu key and Shift+F10 open the context menu here: Wine's list passes on only one of them.
    if ((message == WM_KEYUP && wParam == VK_APPS) ||
        (message == WM_SYSKEYDOWN && wParam == VK_F10 && ::GetKeyState(VK_SHIFT) < 0)) {
        ::SendMessageW(m_owner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_rows.Handle()), -1);
        return true;
    }
    if (m_typeAhead.Take(m_rows, message, wParam, [this] { return States().typeAhead; })) return true;
    // Only clicks ask what is available here: the list gets many messages.
    const bool click = message == WM_RBUTTONUP || IsClick(message);
    if (!click || States().markByInput) return false;
    if (message == WM_RBUTTONUP) {
        // No marking while work runs, but the menu still opens, its entries grey.
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(m_rows.Handle(), &at);
        ::SendMessageW(m_owner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_rows.Handle()),
                       MAKELPARAM(at.x, at.y));
    }
    return true;
}

void ListController::OnContextMenu(HWND source, LPARAM at)
{
    if (source != m_rows.Handle()) return;
    const ContextMenuPlace place = PlaceContextMenu(m_rows.Handle(), at, States().markByInput);
    m_contextMenu.open = true;
    m_contextMenu.file = place.row >= 0 && place.row < m_rows.Count()
                             ? RowPath(m_state.AircraftDir, m_rows.Row(place.row + 1))
                             : std::filesystem::path();
    // Whatever the command does, the next one comes from somewhere else.
    struct Closed {
        ContextMenuCommand& menu;
        ~Closed() { menu = {}; }
    } closed{m_contextMenu};
    const int command = TrackContextMenu(m_owner, place.point, m_hooks.states(&m_contextMenu));
    if (command != 0) m_hooks.run(command);
}

LRESULT ListController::OnNotify(NMHDR& header)
{
    if (header.hwndFrom != m_rows.Handle()) {
        m_tooltip.OnNotify(header);
        return 0;
    }
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
                const std::wstring text = m_rows.CellText(item.iItem, item.iSubItem);
                ::lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            }
            return 0;
        }
        case LVN_ODFINDITEMW:
            // Type-ahead is TypeAhead's, which takes the characters before the list sees them;
            // the list's own search finds nothing, so it moves neither focus nor marks.
            return -1;
        case NM_CUSTOMDRAW:
            return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        case LVN_ITEMCHANGED: {
            // A change of every row at once (item -1) may come with its old state unknown.
            const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) != 0 &&
                (change.iItem < 0 || ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0))
                MarksChanged();
            m_hooks.changed();
            return 0;
        }
        case LVN_ODSTATECHANGED: {
            const auto& change = reinterpret_cast<NMLVODSTATECHANGE&>(header);
            if (((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) MarksChanged();
            m_hooks.changed();
            return 0;
        }
        case LVN_COLUMNCLICK:
            OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
            return 0;
        default:
            return 0;
    }
}

void ListController::MarksChanged()
{
    if (!m_rows.PlacingMarks() && m_hooks.marksChanged) m_hooks.marksChanged();
}

LRESULT ListController::OnCustomDraw(NMLVCUSTOMDRAW& draw)
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

void ListController::OnColumnClick(int column)
{
    if (!States().sort || column < 0 || column >= kListColumnCount) return;
    SortOrder order{kListColumns[column].sort, false};
    // The same header again reverses the order.
    if (m_rows.Order().column == order.column) order.descending = !m_rows.Order().descending;
    m_rows.Sort(order);
    ShowSortArrow();
}

void ListController::ShowSortArrow()
{
    HWND header = ListView_GetHeader(m_rows.Handle());
    const SortOrder order = m_rows.Order();
    for (int i = 0; i < kListColumnCount; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (kListColumns[i].sort == order.column) item.fmt |= order.descending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
}

}  // namespace korvalis
