#pragma once

#include <windows.h>

#include <commctrl.h>

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
#include "ui/list_tooltip.h"
#include "ui/mark_dialog.h"
#include "ui/menu_bar.h"
#include "ui/shell_actions.h"
#include "ui/simulator_paths.h"
#include "ui/stale_input.h"
#include "ui/status_bar.h"
#include "ui/type_ahead.h"

namespace korvalis {

// The worker has results waiting; the status bar's counts are out of date.
inline constexpr UINT WM_APP_WORK = WM_APP + 2;
inline constexpr UINT WM_APP_COUNTS = WM_APP + 3;

// The names the window's and the list's procedures give their guards, for the tests.
inline constexpr char kMainWindowBoundary[] = "main window";
inline constexpr char kListBoundary[] = "aircraft list";

// frmMain: the menu bar, the aircraft list lstAirfiles with its status bar, and the program's
// start and end. Scans, writes and restores run on the worker; this window's thread only shows
// what they hand over.
class MainWindow final : public CatalogueShell, public ChoiceWindow, public AirfileScan {
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
    [[nodiscard]] HWND ListHandle() const noexcept { return m_rows.Handle(); }
    [[nodiscard]] HWND TooltipHandle() const noexcept { return m_tooltip.Handle(); }
    [[nodiscard]] HWND StatusHandle() const noexcept { return m_status.Handle(); }
    [[nodiscard]] HWND ProgressHandle() const noexcept { return m_status.ProgressHandle(); }
    [[nodiscard]] SessionState& State() noexcept { return m_state; }
    [[nodiscard]] AirfileListView& Rows() noexcept { return m_rows; }
    [[nodiscard]] FsDialog& Dialog() noexcept { return m_dialog; }
    [[nodiscard]] Catalogue& Commands() noexcept { return m_catalogue; }
    [[nodiscard]] UINT Dpi() const noexcept { return m_dpi; }
    // From the start of a scan, write or restore until its end has been shown.
    [[nodiscard]] bool Working() const noexcept { return m_working; }

    // For tests: what starts Explorer for "Open folder" (0 when started, else an error number).
    void SetExplorerLauncher(std::function<std::int32_t(const std::filesystem::path&)> launch)
    {
        m_openInExplorer = std::move(launch);
    }

    // Public routines other parts use by name.
    void Load_Airfiles() override;
    void Save_Airfiles() {}  // kept for callers; the "Write" command does the saving

    // CatalogueShell
    void SetHourglass(bool busy) override;
    void ShowMessage(const std::string& text) override;
    void SetWriteEnabled(bool enabled) override;
    void SetWorking(bool working) override;
    void ShowProgress(const std::string& text, int done, int total) override;
    void ShowOutcome(const std::string& text) override;
    void WorkFailed(WorkKind kind) override;
    // ChoiceWindow
    void SetWindowCaption(const std::string& caption) override;
    void RemoveAllRows() override;
    void ShowList() override;

    // The list's subclass: relays the mouse to the tooltip and holds the list still while work
    // runs; removed when the list goes.
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The context menu a command comes from: the file of the row it was opened on, taken when it
    // opens, as rows arriving from a scan may move that row before the menu closes.
    struct ContextMenuCommand {
        bool open = false;
        std::filesystem::path file;  // empty: opened beside the rows
    };
    // What is available now, for a command from the menu bar, a key, or `menu`.
    [[nodiscard]] CommandStates States(const ContextMenuCommand* menu = nullptr) const;

    [[nodiscard]] bool IsStaleInput(const MSG& message);
    bool OnCreate();
    void OnCommand(int id);
    LRESULT OnNotify(NMHDR& header);
    bool OnSetCursor();
    void ScheduleCounts();
    void ShowCounts();

    // The list (main_window_list.cpp).
    void SubclassList(HWND list);
    bool ListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(HWND source, LPARAM at);
    LRESULT OnListNotify(NMHDR& header);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void OnColumnClick(int column);
    void ShowSortArrow();

    // Marking by name, by type, and inverting the marks (main_window_mark.cpp).
    void OnMarkRows();
    void OnMarkRowsOfKind(RowKind kind);
    void OnInvertMarks();
    void ShowMarkOutcome(const MarkResult& result, const std::string& sought);

    // Layout, fonts and DPI (main_window_layout.cpp).
    void AddColumns();
    void ApplyLayout();
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    HWND m_hwnd = nullptr;
    WNDPROC m_listProc = nullptr;             // the list's own procedure, under the subclass
    std::atomic<HWND> m_wakeTarget{nullptr};  // read by the worker's thread
    HACCEL m_accelerators = nullptr;
    UINT m_dpi = 96;
    bool m_hourglass = false;
    bool m_working = false;  // work runs: commands that change the rows are off
    StaleInput m_staleInput;
    bool m_writeEnabled = false;
    bool m_countsPending = false;
    ContextMenuCommand m_contextMenu;  // while the context menu and its command run
    std::function<std::int32_t(const std::filesystem::path&)> m_openInExplorer{OpenInExplorer};
    MenuBar m_menuBar;
    ListTooltip m_tooltip;
    StatusBar m_status;
    UniqueGdiObject m_font;
    UniqueGdiObject m_boldFont;  // for rows whose type is not yet written
    RegistryReader m_readRegistry;

    SessionState m_state;
    AirfileListView m_rows;
    Worker m_worker;
    Catalogue m_catalogue;
    FsDialog m_dialog;
    DirectoryChoice m_choice;
    MarkRequest m_lastMark;  // what "Mark rows..." was last asked for in this run
    TypeAhead m_typeAhead;
};

}  // namespace korvalis
