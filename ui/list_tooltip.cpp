#include "ui/list_tooltip.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/dpi.h"

namespace korvalis {

namespace {

// The width a tip wraps at: the design's, or less where the monitor the window is on is
// narrower, so that no line runs off the screen.
int FittingTipWidth(HWND window, UINT dpi) { return std::min(TwipsToPixels(6000, dpi), TipWidthFor(window)); }

}  // namespace

void ListTooltip::Create(HWND owner, HWND list, UINT dpi, HFONT font,
                         std::function<std::wstring(int, int)> textFor)
{
    m_list = list;
    m_textFor = std::move(textFor);
    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, nullptr, nullptr);
    if (m_tooltip == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, FittingTipWidth(list, dpi));
    ::SendMessageW(m_tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ListTooltip::Relay(const MSG& message)
{
    if (m_tooltip == nullptr) return;
    if (message.message == WM_MOUSEMOVE) {
        m_lastMouse =
            POINT{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        FollowScroll();
    }
    ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

void ListTooltip::Forget()
{
    // The next move asks anew.
    if (m_tooltip == nullptr || m_item < 0) return;
    m_item = m_column = -1;
    ::SendMessageW(m_tooltip, TTM_POP, 0, 0);
}

void ListTooltip::FollowScroll()
{
    // The cell under the mouse changes when the mouse moves and when the list moves under it.
    if (m_tooltip == nullptr || m_lastMouse.x < 0) return;
    LVHITTESTINFO hit{};
    hit.pt = m_lastMouse;
    const int item = ListView_SubItemHitTest(m_list, &hit);
    const int column = item >= 0 ? hit.iSubItem : -1;
    if (item != m_item || column != m_column) {
        // Another cell: hide the old tip; the next one asks for its text anew.
        m_item = item;
        m_column = column;
        ::SendMessageW(m_tooltip, TTM_POP, 0, 0);
    }
}

bool ListTooltip::OnNotify(NMHDR& header)
{
    if (m_tooltip == nullptr || header.hwndFrom != m_tooltip || header.code != TTN_GETDISPINFOW) return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    // The window may have moved to another monitor since the last tip.
    ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, FittingTipWidth(m_list, DpiForWindow(m_list)));
    m_text = m_textFor(m_item, m_column);
    info.lpszText = m_text.data();
    info.hinst = nullptr;
    return true;
}

}  // namespace korvalis
