#include "ui/status_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "catalogue/status_text.h"
#include "core/text.h"
#include "ui/dpi.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

// In pixels at 96 DPI.
constexpr int kPartPadding = 10;
constexpr int kProgressHeight = 5;
constexpr UINT_PTR kNotesTool = 1;

TTTOOLINFOW NotesTool(HWND status)
{
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = status;
    tool.uId = kNotesTool;
    return tool;
}

}  // namespace

bool StatusBar::Create(HWND parent, HINSTANCE instance)
{
    // Each part's whole text is in its tooltip: the window is too narrow for a long reason.
    m_status =
        ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBT_TOOLTIPS, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS)), instance, nullptr);
    if (m_status == nullptr) return false;
    m_progress = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, m_status,
                                   nullptr, instance, nullptr);
    m_notesTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
    if (m_notesTip != nullptr) {
        // Over part two's rectangle, which LayoutParts keeps; the tooltip watches the mouse itself.
        TTTOOLINFOW tool = NotesTool(m_status);
        tool.uFlags = TTF_SUBCLASS;
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(m_notesTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

int StatusBar::FitFont(HFONT font, UINT dpi)
{
    m_font = font;
    m_dpi = dpi;
    ::SendMessageW(m_status, SB_SETMINHEIGHT,
                   static_cast<WPARAM>(TextSize(L"0").cy + Scaled(kProgressHeight + 4)), 0);
    ::SendMessageW(m_status, WM_SIZE, 0, 0);
    ::SendMessageW(m_notesTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(m_notesTip, TTM_SETMAXTIPWIDTH, 0, TipWidthFor(m_status));
    RECT rect{};
    ::GetWindowRect(m_status, &rect);
    return rect.bottom - rect.top;
}

void StatusBar::FollowParent()
{
    ::SendMessageW(m_status, WM_SIZE, 0, 0);
    m_countsLength = 0;
}

void StatusBar::ShowCounts(const std::wstring& text)
{
    if (text.size() != m_countsLength) {
        m_countsLength = text.size();
        LayoutParts(text);
    }
    ::SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(m_status, SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void StatusBar::ShowText(const std::wstring& text) { ShowPartTwo(text, text); }

void StatusBar::ShowNotes(const StatusNotes& notes)
{
    ShowPartTwo(WideFromUtf8(JoinedNotes(notes)), WideFromUtf8(NotesTooltip(notes)));
}

void StatusBar::ShowPartTwo(const std::wstring& text, const std::wstring& tip)
{
    if (text != m_text) {
        m_text = text;
        ::SendMessageW(m_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (tip == m_tip || m_notesTip == nullptr) return;
    m_tip = tip;
    // The window may have moved to another monitor since the last tip.
    ::SendMessageW(m_notesTip, TTM_SETMAXTIPWIDTH, 0, TipWidthFor(m_status));
    TTTOOLINFOW tool = NotesTool(m_status);
    tool.lpszText = m_tip.data();
    ::SendMessageW(m_notesTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void StatusBar::ShowProgress(int done, int total)
{
    if (total != m_progressTotal) {
        m_progressTotal = total;
        ::SendMessageW(m_progress, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    }
    if (done != m_progressDone) {
        m_progressDone = done;
        ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    }
}

void StatusBar::ShowProgressBar(bool shown)
{
    m_progressDone = 0;
    ::SendMessageW(m_progress, PBM_SETPOS, 0, 0);
    ::ShowWindow(m_progress, shown ? SW_SHOWNA : SW_HIDE);
}

SIZE StatusBar::TextSize(const std::wstring& text) const
{
    SIZE size{};
    HDC dc = ::GetDC(m_status);
    const HGDIOBJ old = ::SelectObject(dc, m_font);
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_status, dc);
    return size;
}

void StatusBar::LayoutParts(const std::wstring& counts)
{
    RECT client;
    ::GetClientRect(::GetParent(m_status), &client);
    const int wanted = TextSize(counts).cx + Scaled(kPartPadding);
    int edges[] = {std::min(wanted, static_cast<int>(client.right * 2 / 3)), -1};
    ::SendMessageW(m_status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    RECT part{};
    ::SendMessageW(m_status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    TTTOOLINFOW tool = NotesTool(m_status);
    tool.rect = part;
    ::SendMessageW(m_notesTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::MoveWindow(m_progress, part.left + Scaled(3), part.bottom - Scaled(kProgressHeight) - Scaled(1),
                 part.right - part.left - Scaled(6), Scaled(kProgressHeight), TRUE);
}

}  // namespace korvalis
