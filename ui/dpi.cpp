#include "ui/dpi.h"

namespace korvalis {

namespace {

template <typename F>
F User32Function(const char* name)
{
    // GetProcAddress returns a generic pointer; the cast to the real signature is the point.
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

// The outer size of a window whose client area is clientWidth x clientHeight pixels.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi)
{
    using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const Fn adjustForDpi = User32Function<Fn>("AdjustWindowRectExForDpi");
    RECT rect = {0, 0, clientWidth, clientHeight};
    if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, hasMenu, exStyle, dpi)) {
        ::AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

UINT DpiForWindow(HWND hwnd)
{
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn getDpiForWindow = User32Function<Fn>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr && hwnd != nullptr ? getDpiForWindow(hwnd) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

void SizeClientTo(HWND hwnd, int clientWidth, int clientHeight, bool hasMenu, UINT dpi)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    const SIZE outer = OuterSizeForClient(clientWidth, clientHeight, style, exStyle, hasMenu, dpi);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy, flags);
    // The frame's real metrics can differ from the computed ones (a menu bar that wraps, a
    // system that draws frames at another scale): correct once by what the client lacks.
    RECT client;
    ::GetClientRect(hwnd, &client);
    const int dx = clientWidth - client.right, dy = clientHeight - client.bottom;
    if (dx != 0 || dy != 0) ::SetWindowPos(hwnd, nullptr, 0, 0, outer.cx + dx, outer.cy + dy, flags);
}

HFONT CreateMessageFont(UINT dpi)
{
    using Fn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const Fn parametersForDpi = User32Function<Fn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (parametersForDpi != nullptr &&
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        return ::CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
    metrics.lfMessageFont.lfHeight =
        ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

int TipWidthFor(HWND hwnd)
{
    // A quarter inch kept free each side of the tip, its own border included.
    const int margin = TwipsToPixels(360, DpiForWindow(hwnd));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return TwipsToPixels(6000, DpiForWindow(hwnd));
    const int width = monitor.rcWork.right - monitor.rcWork.left - 2 * margin;
    return width > margin ? width : margin;
}

void CentreOver(HWND hwnd, HWND over)
{
    RECT outer, self;
    ::GetWindowRect(over, &outer);
    ::GetWindowRect(hwnd, &self);
    const int x = outer.left + ((outer.right - outer.left) - (self.right - self.left)) / 2;
    const int y = outer.top + ((outer.bottom - outer.top) - (self.bottom - self.top)) / 2;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace korvalis
