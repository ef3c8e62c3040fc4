#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "catalogue/command_states.h"
#include "ui/directory_choice.h"

namespace korvalis {

// The main window's menu bar: the directory entries' captions and check marks, and which
// entries show grey.
class MenuBar final : public DirectoryMenu {
public:
    // `states` says what is available whenever the entries are greyed anew.
    void Attach(HWND owner, std::function<CommandStates()> states);
    // Greys every entry that is not available now.
    void ApplyStates();
    // Whether the start-up rule found the simulator's record (FS2004, FS2002).
    [[nodiscard]] bool Found(DirectoryEntry entry) const;

    // DirectoryMenu
    void SetCaption(DirectoryEntry entry, const std::string& caption) override;
    void SetEnabled(DirectoryEntry entry, bool enabled) override;
    [[nodiscard]] bool IsChecked(DirectoryEntry entry) const override;
    void SetChecked(DirectoryEntry entry, bool checked) override;

private:
    [[nodiscard]] HMENU Menu() const { return ::GetMenu(m_owner); }

    HWND m_owner = nullptr;
    std::function<CommandStates()> m_states;
    bool m_found[2] = {true, true};  // FS2004, FS2002 as the start-up rule set them
};

}  // namespace korvalis
