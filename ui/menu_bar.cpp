#include "ui/menu_bar.h"

#include "core/text.h"
#include "ui/commands.h"
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
    // Commands the menu bar does not hold are left alone by EnableMenuItem.
    HMENU menu = Menu();
    const CommandStates states = m_states();
    for (const CommandRule& rule : kCommandRules) {
        const UINT state = states.*rule.available ? MF_ENABLED : MF_GRAYED;
        for (int id = rule.first; id <= rule.last; ++id)
            ::EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | state);
    }
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

}  // namespace korvalis
