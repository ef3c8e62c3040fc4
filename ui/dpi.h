#pragma once

#include <windows.h>

namespace korvalis {

// Per-monitor DPI, with the calls looked up at run time so that the program still starts
// on Windows versions that lack them (there, the system DPI applies).
UINT DpiForWindow(HWND hwnd);
// Sizes a window so that its client area is clientWidth x clientHeight pixels.
void SizeClientTo(HWND hwnd, int clientWidth, int clientHeight, bool hasMenu, UINT dpi);
// Moves a window, keeping its size, so that it stands centred over `over`.
void CentreOver(HWND hwnd, HWND over);
// The message font for the DPI; the caller owns the font.
HFONT CreateMessageFont(UINT dpi);
// The widest a tooltip's text may be, in pixels, to fit the monitor `hwnd` is on
// (TTM_SETMAXTIPWIDTH); longer lines wrap.
int TipWidthFor(HWND hwnd);

// Design sizes are in twips (1440 per inch).
// A control's place in a design: left, top, width, height, in twips.
struct TwipsRect {
    double left, top, width, height;
};
inline int TwipsToPixels(double twips, UINT dpi) { return static_cast<int>(twips * dpi / 1440.0 + 0.5); }
inline double PixelsToTwips(int pixels, UINT dpi) { return pixels * 1440.0 / dpi; }

}  // namespace korvalis
