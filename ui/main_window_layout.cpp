#include "ui/main_window.h"

#include <commctrl.h>

#include "ui/dpi.h"

// The main window's layout, fonts and DPI: the design is in twips, turned into pixels for the
// window's DPI, with the status bar below the design's area at the height its font needs.
namespace korvalis {

namespace {

constexpr double kClientWidth = 8385, kClientHeight = 5475;
constexpr double kListWidth = 8355, kListHeight = 5415;

}  // namespace

void MainWindow::AddColumns()
{
    RECT rect;
    ::GetWindowRect(m_rows.Handle(), &rect);
    // Single precision on purpose: the widths are the design's own arithmetic.
    const float w = static_cast<float>(PixelsToTwips(rect.right - rect.left, m_dpi));
    const float widths[] = {(w - 1700.0f) / 8.0f * 5.0f, (w - 1700.0f) / 8.0f * 3.0f, 1300.0f};
    for (int i = 0; i < kListColumnCount; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kListColumns[i].header);
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
    for (HWND control : {m_rows.Handle(), m_tooltip.Handle(), m_status.Handle()}) {
        if (control != nullptr)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    m_font = std::move(font);
    m_boldFont = std::move(boldFont);

    const int statusHeight = m_status.FitFont(static_cast<HFONT>(m_font.Get()), m_dpi);
    SizeClientTo(m_hwnd, TwipsToPixels(kClientWidth, m_dpi),
                 TwipsToPixels(kClientHeight, m_dpi) + statusHeight, true, m_dpi);
    ::MoveWindow(m_rows.Handle(), 0, 0, TwipsToPixels(kListWidth, m_dpi), TwipsToPixels(kListHeight, m_dpi),
                 TRUE);
    m_status.FollowParent();
    ShowCounts();
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    const UINT old = m_dpi;
    m_dpi = dpi;
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
    for (int i = 0; i < kListColumnCount; ++i) {
        const int width = ListView_GetColumnWidth(m_rows.Handle(), i);
        ListView_SetColumnWidth(m_rows.Handle(), i,
                                ::MulDiv(width, static_cast<int>(dpi), static_cast<int>(old)));
    }
}

}  // namespace korvalis
