#include "ui/failure_report.h"

#include <atomic>
#include <string>

#include "catalogue/catalogue_shell.h"
#include "core/text.h"

namespace korvalis {

namespace {

std::atomic<HWND> g_window{nullptr};
// Set from the moment a report is posted until its box is closed.
std::atomic<bool> g_reportPending{false};

}  // namespace

void SetFailureReportWindow(HWND window) noexcept { g_window = window; }

void ReportFailedAction(const wchar_t* doing) noexcept
{
    HWND window = g_window;
    if (window == nullptr || g_reportPending.exchange(true)) return;
    if (!::PostMessageW(window, WM_APP_FAILURE, 0, reinterpret_cast<LPARAM>(doing))) g_reportPending = false;
}

std::wstring FailureText(const wchar_t* doing)
{
    return std::wstring(L"The action could not be completed.\n\nKorvalis was ") + doing + L" when it failed.";
}

void ShowFailureReport(HWND owner, LPARAM doing)
{
    ::MessageBoxW(owner, FailureText(reinterpret_cast<const wchar_t*>(doing)).c_str(),
                  WideFromUtf8(kProgramTitle).c_str(), MB_OK);
    g_reportPending = false;
}

}  // namespace korvalis
