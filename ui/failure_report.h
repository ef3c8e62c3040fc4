#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "catalogue/guarded.h"

namespace korvalis {

// Posted to the main window to show the one message about an action that failed.
inline constexpr UINT WM_APP_FAILURE = WM_APP + 1;

// The window that shows the message; until there is one, failures go unreported.
void SetFailureReportWindow(HWND window) noexcept;

// Tells the user, once, that an action could not be completed and what the program was doing
// (`doing` must live for the whole run). The box comes after the failing procedure has
// returned; while one is waiting or open, further failures add none.
void ReportFailedAction(const wchar_t* doing) noexcept;

// The main window's part: shows the message for a WM_APP_FAILURE.
void ShowFailureReport(HWND owner, LPARAM doing);

// The message text, for the box and the tests.
std::wstring FailureText(const wchar_t* doing);

// A window, dialog or subclass procedure's body, run so that no exception leaves it: a throw is
// reported and the message then handled by `fallback` (the system's default handling).
template <typename Body, typename Fallback>
auto GuardedProc(const wchar_t* doing, Body&& body, Fallback&& fallback) noexcept
{
    return Guarded(std::forward<Body>(body), [&]() noexcept {
        ReportFailedAction(doing);
        return fallback();
    });
}

}  // namespace korvalis
