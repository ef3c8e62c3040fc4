#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <functional>

#include "catalogue/command_states.h"
#include "catalogue/session_state.h"
#include "core/handles_win32.h"
#include "ui/airfile_listview.h"
#include "ui/list_tooltip.h"
#include "ui/type_ahead.h"

namespace korvalis {

// The context menu a command comes from: the file of the row it was opened on, taken when it
// opens, as rows arriving from a scan may move that row before the menu closes.
struct ContextMenuCommand {
    bool open = false;
    std::filesystem::path file;  // empty: opened beside the rows
};

// What the list asks of the window it lives in.
struct ListHooks {
    // What is available now, for a command from the menu bar or a key (nullptr) or `menu`.
    std::function<CommandStates(const ContextMenuCommand* menu)> states;
    // Runs a command chosen in the context menu.
    std::function<void(int id)> run;
    // The rows or their marks changed: the counts are out of date.
    std::function<void()> changed;
    // Marks changed, other than by being put back on their rows after a sort or an arrival.
    std::function<void()> marksChanged;
};

// lstAirfiles in the window: the control and its subclass, its tooltip, the texts and the bold
// rows it draws, its sort arrow, its context menu, type-ahead, and the marks held still while a
// write or restore runs. The rows themselves are the AirfileListView's.
class ListController {
public:
    ListController(const SessionState& state, AirfileListView& rows) : m_state(state), m_rows(rows) {}
    ListController(const ListController&) = delete;
    ListController& operator=(const ListController&) = delete;

    // Creates the list in `owner` and takes over its messages; false when it could not.
    bool Create(HWND owner, HINSTANCE instance, ListHooks hooks);
    // The tooltip comes once the list has its place and font.
    void CreateTooltip(UINT dpi, HFONT font);
    [[nodiscard]] HWND Handle() const noexcept { return m_rows.Handle(); }
    [[nodiscard]] HWND TooltipHandle() const noexcept { return m_tooltip.Handle(); }
    // Gives the list and its tooltip `font`, and bold rows its bold face.
    void SetFont(HFONT font);

    // The owner's WM_NOTIFY from the list or its tooltip.
    LRESULT OnNotify(NMHDR& header);
    // The owner's WM_CONTEXTMENU: opens the menu and runs the command chosen.
    void OnContextMenu(HWND source, LPARAM at);
    // While a command chosen in the context menu runs, that menu; else nullptr.
    [[nodiscard]] const ContextMenuCommand* ContextMenu() const noexcept
    {
        return m_contextMenu.open ? &m_contextMenu : nullptr;
    }

private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] CommandStates States() const { return m_hooks.states(nullptr); }
    bool ListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void MarksChanged();
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void OnColumnClick(int column);
    void ShowSortArrow();

    const SessionState& m_state;
    AirfileListView& m_rows;
    ListHooks m_hooks;
    HWND m_owner = nullptr;
    WNDPROC m_listProc = nullptr;  // the list's own procedure, under the subclass
    ListTooltip m_tooltip;
    UniqueGdiObject m_boldFont;  // for rows whose type is not yet written
    TypeAhead m_typeAhead;
    ContextMenuCommand m_contextMenu;  // while the context menu and its command run
};

}  // namespace korvalis
