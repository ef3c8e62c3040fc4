#pragma once

#include <string>
#include <string_view>

#include "catalogue/session_state.h"

namespace korvalis {

// The three entries of "Select &Aircraft Directory", in menu order.
enum class DirectoryEntry { FS2004, FS2002, Own };

// The entries as the main window's menu holds them. The check mark lives in the menu.
class DirectoryMenu {
public:
    virtual ~DirectoryMenu() = default;
    virtual void SetCaption(DirectoryEntry entry, const std::string& caption) = 0;
    virtual void SetEnabled(DirectoryEntry entry, bool enabled) = 0;
    [[nodiscard]] virtual bool IsChecked(DirectoryEntry entry) const = 0;
    virtual void SetChecked(DirectoryEntry entry, bool checked) = 0;
};

// The parts of frmMain the choice changes besides the menu: its caption and lstAirfiles.
class ChoiceWindow {
public:
    virtual ~ChoiceWindow() = default;
    virtual void SetWindowCaption(const std::string& caption) = 0;
    virtual void RemoveAllRows() = 0;
    virtual void ShowList() = 0;
};

// frmFSDialog, opened without modality and without an owner; it reads DialogMode on opening.
class FolderDialog {
public:
    virtual ~FolderDialog() = default;
    virtual void OpenModeless() = 0;
    virtual void Close() = 0;
};

// The folder scan of the catalogue, run on AircraftDir.
class AirfileScan {
public:
    virtual ~AirfileScan() = default;
    virtual void Load_Airfiles() = 0;
};

// Captions and enabled states of the directory entries, the check mark of the current
// source, AircraftDir and the window caption, and the hand-over to the scan. Path texts are
// Windows text: the separator is "\" on every platform.
class DirectoryChoice {
public:
    DirectoryChoice(SessionState& state, DirectoryMenu& menu, ChoiceWindow& window, FolderDialog& dialog,
                    AirfileScan& scan) noexcept;

    // Captions and enables the two simulator entries from FS2002Path and FS2004Path.
    void ApplyStartupRule();

    void OnSelectFS2002();
    void OnSelectFS2004();
    // Opens the folder dialog in its "Dir" face, also when the own entry is checked.
    void OnSelectOwn();
    // The dialog's "OK" with the folder text it holds.
    void AcceptOwnDirectory(std::string_view folder);

private:
    void SelectSimulator(DirectoryEntry entry, const std::string& simulatorPath);

    SessionState& m_state;
    DirectoryMenu& m_menu;
    ChoiceWindow& m_window;
    FolderDialog& m_dialog;
    AirfileScan& m_scan;
};

// A path as a menu caption shows it: "&" doubled, so it reads as itself and not as an access key.
std::string MenuText(std::string_view path);

}  // namespace korvalis
