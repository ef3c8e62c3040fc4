#include "ui/main_window.h"

#include "core/text.h"
#include "ui/failure_report.h"

// The window's side of the work on the worker: the hourglass, the messages, the progress and
// outcome in the status bar, the counts, and the menus greyed while work runs.
namespace korvalis {

CommandStates MainWindow::States(const ContextMenuCommand* menu) const
{
    CommandContext context;
    context.rows = m_rows.Count();
    context.marked = m_rows.Handle() != nullptr ? m_rows.MarkedCount() : 0;
    context.working = m_working;
    context.scanning = m_working && m_catalogue.Scanning();
    context.writeEnabled = m_writeEnabled;
    context.fs2004Found = m_menuBar.Found(DirectoryEntry::FS2004);
    context.fs2002Found = m_menuBar.Found(DirectoryEntry::FS2002);
    context.contextMenu = menu != nullptr && menu->open;
    context.onRow = context.contextMenu && !menu->file.empty();
    return AvailableCommands(context);
}

// A key or click that waited in the queue while work ran is not carried out once the work is
// over: it was meant for a window that was busy, not for what comes after (an F5 pressed during
// a scan would start a second one).
bool MainWindow::IsStaleInput(const MSG& message)
{
    const UINT m = message.message;
    const bool input = (m >= WM_KEYFIRST && m <= WM_KEYLAST) ||
                       (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) ||  // clicks and wheels, not moves
                       (m > WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
    return input && m_staleInput.Drop(message.time, ::GetTickCount());
}

bool MainWindow::OnSetCursor()
{
    if (!m_hourglass) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

void MainWindow::ScheduleCounts()
{
    // Marks change one row at a time; the counts are redrawn once for a run of them.
    if (m_countsPending || m_hwnd == nullptr) return;
    m_countsPending = ::PostMessageW(m_hwnd, WM_APP_COUNTS, 0, 0) != FALSE;
}

void MainWindow::ShowCounts()
{
    m_countsPending = false;
    m_status.ShowCounts(
        WideFromUtf8(CountsText(m_rows.Count(), m_rows.MarkedCount(), m_rows.ChangedCount())));
}

void MainWindow::Load_Airfiles() { m_catalogue.Load_Airfiles(); }

void MainWindow::SetHourglass(bool busy)
{
    m_hourglass = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::ShowMessage(const std::string& text)
{
    ::MessageBoxW(m_hwnd, WideFromUtf8(text).c_str(), WideFromUtf8(kProgramTitle).c_str(), MB_OK);
}

void MainWindow::SetWriteEnabled(bool enabled)
{
    m_writeEnabled = enabled;
    m_menuBar.ApplyStates();
}

void MainWindow::SetWorking(bool working)
{
    m_working = working;
    m_rows.ReleaseMarks();  // held again by the first input, if the work holds them
    if (working) {
        m_staleInput.WorkStarted();
    } else {
        m_staleInput.WorkEnded(::GetTickCount());
    }
    m_menuBar.ApplyStates();
    m_status.ShowProgressBar(working);
    ShowCounts();
}

void MainWindow::ShowProgress(const std::string& text, int done, int total)
{
    m_status.ShowText(WideFromUtf8(text));
    m_status.ShowProgress(done, total);
}

void MainWindow::ShowOutcome(const std::string& text)
{
    // The work is over: the bar goes now, before any message box, though the menus come back
    // only when the end has been shown.
    m_status.ShowProgressBar(false);
    m_status.ShowText(WideFromUtf8(text));
}

void MainWindow::WorkFailed(WorkKind kind)
{
    switch (kind) {
        case WorkKind::Scan:
            ReportFailedAction(L"reading the aircraft folders");
            break;
        case WorkKind::Write:
            ReportFailedAction(L"writing the type bytes");
            break;
        case WorkKind::Restore:
            ReportFailedAction(L"restoring types from their backups");
            break;
    }
}

}  // namespace korvalis
