#pragma once

#include <windows.h>

#include "catalogue/catalogue.h"
#include "catalogue/session_state.h"
#include "core/handles_win32.h"
#include "ui/airfile_listview.h"
#include "ui/directory_choice.h"
#include "ui/fs_dialog.h"
#include "ui/simulator_paths.h"

namespace korvalis {

// frmMain: the menu bar, the aircraft list lstAirfiles, and the program's start and end.
class MainWindow final : public CatalogueShell,
                         public DirectoryMenu,
                         public ChoiceWindow,
                         public AirfileScan {
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
    // Lets the open dialog, then the accelerators, take a message; true when taken.
    bool PreTranslate(MSG& message);

    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }
    [[nodiscard]] HWND ListHandle() const noexcept { return m_rows.Handle(); }
    [[nodiscard]] HWND TooltipHandle() const noexcept { return m_tooltip; }
    [[nodiscard]] SessionState& State() noexcept { return m_state; }
    [[nodiscard]] AirfileListView& Rows() noexcept { return m_rows; }
    [[nodiscard]] FsDialog& Dialog() noexcept { return m_dialog; }
    [[nodiscard]] UINT Dpi() const noexcept { return m_dpi; }
    // The list's subclass: relays the mouse to the tooltip; removed when the list goes.
    static LRESULT CALLBACK ListSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self);

    // Public routines other parts use by name.
    void Load_Airfiles() override;
    void Save_Airfiles() {}  // kept for callers; the "Write" command does the saving

    // CatalogueShell
    void SetHourglass(bool busy) override;
    void ShowMessage(const std::string& text) override;
    void SetWriteEnabled(bool enabled) override;
    // DirectoryMenu
    void SetCaption(DirectoryEntry entry, const std::string& caption) override;
    void SetEnabled(DirectoryEntry entry, bool enabled) override;
    [[nodiscard]] bool IsChecked(DirectoryEntry entry) const override;
    void SetChecked(DirectoryEntry entry, bool checked) override;
    // ChoiceWindow
    void SetWindowCaption(const std::string& caption) override;
    void RemoveAllRows() override;
    void ShowList() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnCommand(int id);
    LRESULT OnNotify(NMHDR& header);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    bool OnSetCursor();
    void OnListMouse(const MSG& message);

    void AddColumns();
    void ApplyLayout();
    void CreateTooltip();

    HWND m_hwnd = nullptr;
    HACCEL m_accelerators = nullptr;
    UINT m_dpi = 96;
    bool m_busy = false;
    int m_tipItem = -1;
    int m_tipColumn = -1;
    HWND m_tooltip = nullptr;
    std::wstring m_tipText;
    UniqueGdiObject m_font;
    RegistryReader m_readRegistry;

    SessionState m_state;
    AirfileListView m_rows;
    Catalogue m_catalogue;
    FsDialog m_dialog;
    DirectoryChoice m_choice;
};

}  // namespace korvalis
