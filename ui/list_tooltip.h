#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace korvalis {

// The tooltip over the list's cells. Wine's ListView never asks for info tips, so the window
// keeps a tooltip of its own over the list and tells it which cell the mouse is on.
class ListTooltip {
public:
    // `textFor(item, column)` gives a cell's tip when the tooltip asks.
    void Create(HWND owner, HWND list, UINT dpi, HFONT font, std::function<std::wstring(int, int)> textFor);
    [[nodiscard]] HWND Handle() const noexcept { return m_tooltip; }

    // A mouse message of the list's, relayed.
    void Relay(const MSG& message);
    // The list scrolled: the cell under the mouse may be another.
    void FollowScroll();
    // The rows changed: the tip shown is stale.
    void Forget();
    // Answers the tooltip's request for its text; false for any other notification.
    bool OnNotify(NMHDR& header);

private:
    HWND m_tooltip = nullptr;
    HWND m_list = nullptr;
    std::function<std::wstring(int, int)> m_textFor;
    int m_item = -1;
    int m_column = -1;
    POINT m_lastMouse{-1, -1};  // in the list, where the mouse last moved
    std::wstring m_text;        // must outlive the request that asked for it
};

}  // namespace korvalis
