#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "catalogue/catalogue_shell.h"
#include "catalogue/worker.h"
#include "ui/airfile_listview.h"
#include "ui/menu_bar.h"
#include "ui/shell_actions.h"
#include "ui/stale_input.h"
#include "ui/status_bar.h"

namespace korvalis {

// The window's side of the work on the worker: the pointer, the progress and outcome in the
// status bar, the message boxes, the menus greyed while work runs, and the input dropped once
// it is over.
class WorkView final : public CatalogueShell {
public:
    // `showCounts` redraws the status bar's counts.
    WorkView(Worker& worker, AirfileListView& rows, StatusBar& status, MenuBar& menuBar,
             std::function<void()> showCounts)
        : m_worker(worker),
          m_rows(rows),
          m_status(status),
          m_menuBar(menuBar),
          m_showCounts(std::move(showCounts))
    {
    }
    WorkView(const WorkView&) = delete;
    WorkView& operator=(const WorkView&) = delete;

    // The window the message boxes and the timer belong to.
    void Attach(HWND owner) noexcept { m_owner = owner; }
    // What starts the program anew as administrator.
    void SetShellLaunch(ShellLaunch& launch) noexcept { m_launch = &launch; }
    // The owner's WM_TIMER; false when the timer is not this object's.
    bool OnTimer(UINT_PTR timer);
    // From the start of a scan, write or restore until its end has been shown.
    [[nodiscard]] bool Working() const noexcept { return m_working; }
    [[nodiscard]] bool WriteEnabled() const noexcept { return m_writeEnabled; }
    // The owner's WM_SETCURSOR: true when the hourglass was set.
    bool OnSetCursor();
    // Whether a key or click taken from the queue waited there while work ran, and is dropped.
    [[nodiscard]] bool IsStaleInput(const MSG& message);

    // CatalogueShell
    void SetHourglass(bool busy) override;
    void ShowMessage(const std::string& text) override;
    void SetWriteEnabled(bool enabled) override;
    void SetWorking(bool working) override;
    void ShowProgress(const std::string& text, int done, int total) override;
    void ShowOutcome(const StatusNotes& notes) override;
    void WorkFailed(WorkKind kind) override;
    void OfferRestartAsAdministrator(const std::string& aircraftDir) override;

    // A marking command's note: shown until the marks change any other way, when part two shows
    // again what the last scan, write or restore left there.
    void ShowUntilMarksChange(const StatusNotes& notes);
    void MarksChanged();

private:
    void ShowNotes(const StatusNotes& notes);

    Worker& m_worker;
    AirfileListView& m_rows;
    StatusBar& m_status;
    MenuBar& m_menuBar;
    std::function<void()> m_showCounts;
    HWND m_owner = nullptr;
    ShellLaunch* m_launch = &SystemShellLaunch();
    bool m_hourglass = false;
    bool m_working = false;  // work runs: commands that change the rows are off
    bool m_writeEnabled = false;
    StatusNotes m_outcome;     // what the last work left in part two
    bool m_marksNote = false;  // part two shows a marking command's note
    StaleInput m_staleInput;
};

}  // namespace korvalis
