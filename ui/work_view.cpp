#include "ui/work_view.h"

#include "catalogue/error_text.h"
#include "catalogue/status_text.h"
#include "core/text.h"
#include "ui/failure_report.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

// While work runs, the worker's results are also looked for on this timer: a wake-up message
// that was lost (a full queue) leaves the work stranded otherwise. Four ticks a second cost
// next to nothing beside the work itself.
constexpr UINT_PTR kWorkTimer = 1;
constexpr UINT kWorkTimerMs = 250;

}  // namespace

bool WorkView::OnTimer(UINT_PTR timer)
{
    if (timer != kWorkTimer) return false;
    m_worker.RunPosted();
    return true;
}

// A key or click that waited in the queue while work ran is not carried out once the work is
// over: it was meant for a window that was busy, not for what comes after (an F5 pressed during
// a scan would start a second one).
bool WorkView::IsStaleInput(const MSG& message)
{
    const UINT m = message.message;
    const bool input = (m >= WM_KEYFIRST && m <= WM_KEYLAST) ||
                       (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) ||  // clicks and wheels, not moves
                       (m > WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
    return input && m_staleInput.Drop(message.time, ::GetTickCount());
}

bool WorkView::OnSetCursor()
{
    if (!m_hourglass) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

void WorkView::SetHourglass(bool busy)
{
    m_hourglass = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void WorkView::ShowMessage(const std::string& text)
{
    ::MessageBoxW(m_owner, WideFromUtf8(text).c_str(), WideFromUtf8(kProgramTitle).c_str(), MB_OK);
}

void WorkView::SetWriteEnabled(bool enabled)
{
    m_writeEnabled = enabled;
    m_menuBar.ApplyStates();
}

void WorkView::SetWorking(bool working)
{
    m_working = working;
    m_rows.ReleaseMarks();  // held again by the first input, if the work holds them
    if (working) {
        m_staleInput.WorkStarted();
        ::SetTimer(m_owner, kWorkTimer, kWorkTimerMs, nullptr);
    } else {
        m_staleInput.WorkEnded(::GetTickCount());
        ::KillTimer(m_owner, kWorkTimer);
    }
    m_menuBar.ApplyStates();
    m_status.ShowProgressBar(working);
    m_showCounts();
}

void WorkView::ShowProgress(const std::string& text, int done, int total)
{
    m_marksNote = false;
    m_status.ShowText(WideFromUtf8(text));
    m_status.ShowProgress(done, total);
}

void WorkView::ShowOutcome(const StatusNotes& notes)
{
    // The work is over: the bar goes now, before any message box, though the menus come back
    // only when the end has been shown.
    m_status.ShowProgressBar(false);
    m_outcome = notes;
    m_marksNote = false;
    ShowNotes(notes);
}

void WorkView::OfferRestartAsAdministrator(const std::string& aircraftDir)
{
    const int answer =
        ::MessageBoxW(m_owner, WideFromUtf8(RestartAsAdministratorQuestion(aircraftDir)).c_str(),
                      WideFromUtf8(kProgramTitle).c_str(), MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    const std::int32_t error = m_launch->StartWithVerb(m_owner, OwnProgramPath(), L"runas");
    if (error == 0) {
        // Ends as End does, once this message's handling is over.
        ::PostMessageW(m_owner, WM_COMMAND, IDM_END, 0);
        return;
    }
    // The work's outcome gains it, so that it stays when a marking note comes and goes.
    m_outcome.push_back(NotRestartedNote(error == ERROR_CANCELLED ? "" : ErrorText(error)));
    m_marksNote = false;
    ShowNotes(m_outcome);
}

void WorkView::ShowUntilMarksChange(const StatusNotes& notes)
{
    m_marksNote = true;
    ShowNotes(notes);
}

void WorkView::MarksChanged()
{
    if (!m_marksNote) return;
    m_marksNote = false;
    ShowNotes(m_outcome);
}

void WorkView::ShowNotes(const StatusNotes& notes) { m_status.ShowNotes(notes); }

void WorkView::WorkFailed(WorkKind kind)
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
