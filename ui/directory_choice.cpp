#include "ui/directory_choice.h"

#include "catalogue/aircraft_dir.h"

namespace korvalis {

namespace {

constexpr std::string_view kWindowCaptionPrefix = "Korvalis - ";
constexpr std::string_view kOwnCaptionPrefix = "Own Directory - ";

std::string SimulatorCaption(std::string_view name, const std::string& path)
{
    if (path.empty()) return std::string(name) + " - not found in Registry";
    return std::string(name) + " - " + MenuText(path) + "\\Aircraft";
}

}  // namespace

std::string MenuText(std::string_view path)
{
    std::string text;
    text.reserve(path.size());
    for (const char c : path) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

DirectoryChoice::DirectoryChoice(SessionState& state, DirectoryMenu& menu, ChoiceWindow& window,
                                 FolderDialog& dialog, AirfileScan& scan) noexcept
    : m_state(state), m_menu(menu), m_window(window), m_dialog(dialog), m_scan(scan)
{
}

void DirectoryChoice::ApplyStartupRule()
{
    m_menu.SetEnabled(DirectoryEntry::FS2002, !m_state.FS2002Path.empty());
    m_menu.SetCaption(DirectoryEntry::FS2002, SimulatorCaption("FS2002", m_state.FS2002Path));
    m_menu.SetEnabled(DirectoryEntry::FS2004, !m_state.FS2004Path.empty());
    m_menu.SetCaption(DirectoryEntry::FS2004, SimulatorCaption("FS2004", m_state.FS2004Path));
}

void DirectoryChoice::OnSelectFS2002() { SelectSimulator(DirectoryEntry::FS2002, m_state.FS2002Path); }

void DirectoryChoice::OnSelectFS2004() { SelectSimulator(DirectoryEntry::FS2004, m_state.FS2004Path); }

void DirectoryChoice::SelectSimulator(DirectoryEntry entry, const std::string& simulatorPath)
{
    // The check mark doubles as the guard: the current source again changes nothing. An
    // unrecorded simulator's entry is disabled and never sends its command.
    if (m_menu.IsChecked(entry) || simulatorPath.empty()) return;
    m_menu.SetChecked(entry, true);
    m_state.AircraftDir = SimulatorAircraftDir(simulatorPath);
    m_window.SetWindowCaption(std::string(kWindowCaptionPrefix) + m_state.AircraftDir);
    m_window.RemoveAllRows();
    for (const DirectoryEntry other : {DirectoryEntry::FS2004, DirectoryEntry::FS2002, DirectoryEntry::Own}) {
        if (other != entry) m_menu.SetChecked(other, false);
    }
    m_window.ShowList();
    m_scan.Load_Airfiles();
}

void DirectoryChoice::OnSelectOwn()
{
    // Unlike the simulators' entries, the checked own entry opens the chooser again: another
    // folder of one's own is the only way on when no simulator is recorded.
    m_state.DialogMode = "Dir";
    m_dialog.OpenModeless();
}

void DirectoryChoice::AcceptOwnDirectory(std::string_view folder)
{
    m_menu.SetCaption(DirectoryEntry::Own, std::string(kOwnCaptionPrefix) + MenuText(folder));
    m_menu.SetChecked(DirectoryEntry::Own, true);
    m_state.AircraftDir = WithClosingSeparator(std::string(folder));
    m_window.RemoveAllRows();
    m_menu.SetChecked(DirectoryEntry::FS2002, false);
    m_menu.SetChecked(DirectoryEntry::FS2004, false);
    m_window.ShowList();
    m_window.SetWindowCaption(std::string(kWindowCaptionPrefix) + m_state.AircraftDir);
    // The dialog goes first: its closing gives the main window back before the scan runs.
    m_dialog.Close();
    m_scan.Load_Airfiles();
}

}  // namespace korvalis
