#pragma once

#include <windows.h>

#include <string>

#include "catalogue/status_note.h"

namespace korvalis {

// The status bar under the list: part one the counts, in the room their text needs; part two
// what runs or ran, with the progress as a thin bar under that text (the window is too narrow
// for both texts and a bar beside them). Part two has a tooltip of the window's own that shows
// on every hover, not only when the text is cut off as the bar's own tooltips do.
class StatusBar {
public:
    bool Create(HWND parent, HINSTANCE instance);
    [[nodiscard]] HWND Handle() const noexcept { return m_status; }
    [[nodiscard]] HWND ProgressHandle() const noexcept { return m_progress; }
    [[nodiscard]] HWND NotesTipHandle() const noexcept { return m_notesTip; }

    // Takes the height `font` (already given to the bar) and the progress bar need at `dpi`;
    // returns the bar's height.
    int FitFont(HFONT font, UINT dpi);
    // Follows the parent's new size; the parts are laid out anew with the next counts.
    void FollowParent();
    void ShowCounts(const std::wstring& text);
    // Part two: the text alone, or the notes joined, with each note's lines in the tooltip.
    void ShowText(const std::wstring& text);
    void ShowNotes(const StatusNotes& notes);
    void ShowProgress(int done, int total);
    // Shown while work runs, from empty.
    void ShowProgressBar(bool shown);

private:
    [[nodiscard]] SIZE TextSize(const std::wstring& text) const;
    [[nodiscard]] int Scaled(int pixels) const { return ::MulDiv(pixels, static_cast<int>(m_dpi), 96); }
    void LayoutParts(const std::wstring& counts);
    void ShowPartTwo(const std::wstring& text, const std::wstring& tip);

    HWND m_status = nullptr;
    HWND m_progress = nullptr;
    HWND m_notesTip = nullptr;
    HFONT m_font = nullptr;  // the parent's, for measuring
    UINT m_dpi = 96;
    std::size_t m_countsLength = 0;  // of the counts text the parts were laid out for
    // What is shown: under Wine every change repaints at once, a round trip each.
    std::wstring m_text;
    std::wstring m_tip;
    int m_progressTotal = -1;
    int m_progressDone = -1;
};

}  // namespace korvalis
