#pragma once

#include <windows.h>

#include <string>

namespace korvalis {

// The status bar under the list: part one the counts, in the room their text needs; part two
// what runs or ran, with the progress as a thin bar under that text (the window is too narrow
// for both texts and a bar beside them).
class StatusBar {
public:
    bool Create(HWND parent, HINSTANCE instance);
    [[nodiscard]] HWND Handle() const noexcept { return m_status; }
    [[nodiscard]] HWND ProgressHandle() const noexcept { return m_progress; }

    // Takes the height `font` (already given to the bar) and the progress bar need at `dpi`;
    // returns the bar's height.
    int FitFont(HFONT font, UINT dpi);
    // Follows the parent's new size; the parts are laid out anew with the next counts.
    void FollowParent();
    void ShowCounts(const std::wstring& text);
    void ShowText(const std::wstring& text);
    void ShowProgress(int done, int total);
    // Shown while work runs, from empty.
    void ShowProgressBar(bool shown);

private:
    [[nodiscard]] SIZE TextSize(const std::wstring& text) const;
    [[nodiscard]] int Scaled(int pixels) const { return ::MulDiv(pixels, static_cast<int>(m_dpi), 96); }
    void LayoutParts(const std::wstring& counts);

    HWND m_status = nullptr;
    HWND m_progress = nullptr;
    HFONT m_font = nullptr;  // the parent's, for measuring
    UINT m_dpi = 96;
    std::size_t m_countsLength = 0;  // of the counts text the parts were laid out for
    // What is shown: under Wine every change repaints at once, a round trip each.
    std::wstring m_text;
    int m_progressTotal = -1;
    int m_progressDone = -1;
};

}  // namespace korvalis
