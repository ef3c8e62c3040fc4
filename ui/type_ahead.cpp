#include "ui/type_ahead.h"

#include <commctrl.h>

#include <algorithm>

namespace korvalis {

bool TypeAhead::UnderWay() const
{
    // Two double-click times: long enough to type a name, short enough to start afresh.
    return !m_text.empty() && ::GetTickCount() - m_last <= 2 * ::GetDoubleClickTime();
}

bool TypeAhead::Take(AirfileListView& rows, UINT message, WPARAM wParam, const std::function<bool()>& allowed)
{
    const bool spaceKey = message == WM_KEYDOWN && wParam == VK_SPACE;
    const bool typed = message == WM_CHAR && wParam >= L' ' && wParam != 0x7F;
    if (!spaceKey && !typed) return false;
    const bool underWay = UnderWay();
    // A space on its own, or with Ctrl, is the list's: it marks the focused row.
    if (wParam == L' ' && (!underWay || ::GetKeyState(VK_CONTROL) < 0)) return false;
    if (!allowed()) return false;
    if (spaceKey) return true;  // its character follows
    const bool next = !underWay;
    if (next) m_text.clear();
    m_text += static_cast<wchar_t>(wParam);
    m_last = ::GetTickCount();
    Find(rows, next);
    return true;
}

void TypeAhead::Find(AirfileListView& rows, bool next)
{
    const int focused = ListView_GetNextItem(rows.Handle(), -1, LVNI_FOCUSED);
    // The same letter again goes on to the next row that begins with it, as in Explorer.
    const bool repeated = m_text.size() > 1 && std::all_of(m_text.begin(), m_text.end(),
                                                           [&](wchar_t c) { return c == m_text[0]; });
    const std::wstring sought = repeated ? m_text.substr(0, 1) : m_text;
    const int found = rows.FindFolder(sought, next || repeated ? focused + 1 : std::max(focused, 0), true);
    if (found < 0) return;
    rows.SetAllMarked(false);
    rows.SetMarked(found + 1, true);
    rows.FocusOn(found);
}

}  // namespace korvalis
