#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>

#include "catalogue/catalogue.h"
#include "catalogue/command_states.h"
#include "catalogue/marking.h"
#include "catalogue/session_state.h"
#include "catalogue/worker.h"
#include "core/handles_win32.h"
#include "ui/airfile_listview.h"
#include "ui/directory_choice.h"
#include "ui/fs_dialog.h"
#include "ui/list_controller.h"
#include "ui/mark_dialog.h"
#include "ui/menu_bar.h"
#include "ui/shell_actions.h"
#include "ui/simulator_paths.h"
#include "ui/status_bar.h"
#include "ui/work_view.h"

namespace korvalis {

// The worker has results waiting; the status bar's counts are out of date.
inline constexpr UINT WM_APP_WORK = WM_APP + 2;
inline constexpr UINT WM_APP_COUNTS = WM_APP + 3;

// frmMain: the program's start and end, the menu bar and the commands, the layout, and the
// objects that hold the other jobs: the list (ListController), the window's side of the work
// (WorkView) and the status bar. Scans, writes and restores run on the worker; this window's
// thread only shows what they hand over.
class MainWindow final : public ChoiceWindow, public AirfileScan {
public:
    MainWindow() noexcept;
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window (hidden) and runs the start-up: columns, Get_FSPath, the
    // captions and states of the simulator entries. Nothing is scanned.
    bool Create(HINSTANCE instance, const RegistryReader& readRegistry = RegReadValue);
    void Show(int showCommand);
    // The message loop until the window is gone; returns the exit code.
    int Run();
    // Lets the open dialog, then Esc while work runs, then the accelerators take a message;
    // true when taken.
    bool PreTranslate(MSG& message);

    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }
    [[nodiscard]] HWND ListHandle() const noexcept { return m_list.Handle(); }
    [[nodiscard]] HWND TooltipHandle() const noexcept { return m_list.TooltipHandle(); }
    [[nodiscard]] HWND StatusHandle() const noexcept { return m_status.Handle(); }
    [[nodiscard]] HWND ProgressHandle() const noexcept { return m_status.ProgressHandle(); }
    [[nodiscard]] SessionState& State() noexcept { return m_state; }
    [[nodiscard]] AirfileListView& Rows() noexcept { return m_rows; }
    [[nodiscard]] FsDialog& Dialog() noexcept { return m_dialog; }
    [[nodiscard]] Catalogue& Commands() noexcept { return m_catalogue; }
    [[nodiscard]] UINT Dpi() const noexcept { return m_dpi; }
    // From the start of a scan, write or restore until its end has been shown.
    [[nodiscard]] bool Working() const noexcept { return m_work.Working(); }

    [[nodiscard]] HWND StatusTipHandle() const noexcept { return m_status.NotesTipHandle(); }
    // What starts Explorer for "Open folder" and the program anew as administrator.
    void SetShellLaunch(ShellLaunch& launch) noexcept
    {
        m_launch = &launch;
        m_work.SetShellLaunch(launch);
    }

    // Public routines other parts use by name.
    void Load_Airfiles() override;
    void Save_Airfiles() {}  // kept for callers; the "Write" command does the saving

    // ChoiceWindow
    void SetWindowCaption(const std::string& caption) override;
    void RemoveAllRows() override;
    void ShowList() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What is available now, for a command from the menu bar, a key, or `menu`.
    [[nodiscard]] CommandStates States(const ContextMenuCommand* menu = nullptr) const;

    bool OnCreate();
    void OnCommand(int id);
    void ScheduleCounts();
    void ShowCounts();

    // Marking by name, by type, and inverting the marks: the context menu's entries, Ctrl+F and
    // Ctrl+I. The commands themselves work on the list through catalogue/marking.
    void OnMarkRows();
    void OnMarkRowsOfKind(RowKind kind);
    void OnInvertMarks();
    // `noMatch`: what part two says when nothing was found.
    void ShowMarkOutcome(const MarkResult& result, const std::string& noMatch);

    // Layout, fonts and DPI.
    void AddColumns();
    void ApplyLayout();
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    HWND m_hwnd = nullptr;
    std::atomic<HWND> m_wakeTarget{nullptr};  // read by the worker's thread
    HACCEL m_accelerators = nullptr;
    UINT m_dpi = 96;
    bool m_countsPending = false;
    ShellLaunch* m_launch = &SystemShellLaunch();
    MenuBar m_menuBar;
    StatusBar m_status;
    UniqueGdiObject m_font;
    RegistryReader m_readRegistry;

    SessionState m_state;
    AirfileListView m_rows;
    Worker m_worker;
    WorkView m_work;
    Catalogue m_catalogue;
    FsDialog m_dialog;
    DirectoryChoice m_choice;
    ListController m_list;
    MarkRequest m_lastMark;  // what "Mark rows..." was last asked for in this run
};

}  // namespace korvalis
