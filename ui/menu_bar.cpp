#include "ui/menu_bar.h"

#include "core/text.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

UINT CommandFor(DirectoryEntry entry)
{
    switch (entry) {
        case DirectoryEntry::FS2004:
            return IDM_SELECT_FS2004;
        case DirectoryEntry::FS2002:
            return IDM_SELECT_FS2002;
        case DirectoryEntry::Own:
            break;
    }
    return IDM_SELECT_OWN;
}

}  // namespace

void MenuBar::Attach(HWND owner, std::function<CommandStates()> states)
{
    m_owner = owner;
    m_states = std::move(states);
}

void MenuBar::ApplyStates()
{
    const CommandStates states = m_states();
    HMENU menu = Menu();
    const auto enable = [menu](UINT id, bool enabled) {
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_SELECT_FS2004, states.selectFS2004);
    enable(IDM_SELECT_FS2002, states.selectFS2002);
    enable(IDM_SELECT_OWN, states.selectOwn);
    for (UINT id : {IDM_TYPE_AIRCRAFT, IDM_TYPE_HELICOPTER, IDM_TYPE_NONFLYABLE}) enable(id, states.setType);
    enable(IDM_READ, states.read);
    enable(IDM_WRITE, states.write);
    enable(IDM_SELECT_MY, states.markAITraffic);
}

bool MenuBar::Found(DirectoryEntry entry) const
{
    return entry == DirectoryEntry::FS2004 ? m_found[0] : entry == DirectoryEntry::FS2002 ? m_found[1] : true;
}

void MenuBar::SetCaption(DirectoryEntry entry, const std::string& caption)
{
    const std::wstring text = WideFromUtf8(caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    ::SetMenuItemInfoW(Menu(), CommandFor(entry), FALSE, &info);
}

void MenuBar::SetEnabled(DirectoryEntry entry, bool enabled)
{
    // The rule's own state; the entry shows it, and shows grey besides while work runs.
    if (entry == DirectoryEntry::FS2004) m_found[0] = enabled;
    if (entry == DirectoryEntry::FS2002) m_found[1] = enabled;
    ApplyStates();
}

bool MenuBar::IsChecked(DirectoryEntry entry) const
{
    return (::GetMenuState(Menu(), CommandFor(entry), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MenuBar::SetChecked(DirectoryEntry entry, bool checked)
{
    ::CheckMenuItem(Menu(), CommandFor(entry), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool CommandAvailable(int id, const CommandStates& states)
{
    switch (id) {
        case IDM_SELECT_FS2004:
            return states.selectFS2004;
        case IDM_SELECT_FS2002:
            return states.selectFS2002;
        case IDM_SELECT_OWN:
            return states.selectOwn;
        case IDM_TYPE_AIRCRAFT:
        case IDM_TYPE_HELICOPTER:
        case IDM_TYPE_NONFLYABLE:
            return states.setType;
        case IDM_READ:
            return states.read;
        case IDM_WRITE:
            return states.write;
        case IDM_SELECT_MY:
            return states.markAITraffic;
        case IDM_SELECT_ALL:
            return states.selectAll;
        case IDM_COPY:
            return states.copy;
        case IDM_RESTORE:
            return states.restore;
        case IDM_OPEN_FOLDER:
            return states.openFolder;
        case IDM_MARK_ROWS:
            return states.markRows;
        case IDM_INVERT_MARKS:
            return states.invertMarks;
        default:
            if (id >= IDM_MARK_KIND_FIRST && id <= IDM_MARK_KIND_LAST) return states.markRowsOfType;
            return true;  // About and End are always there
    }
}

}  // namespace korvalis
