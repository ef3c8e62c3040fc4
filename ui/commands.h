#pragma once

#include "catalogue/command_states.h"
#include "ui/resource.h"

namespace korvalis {

// Which state of CommandStates rules each command, wherever it is reached: the menu bar and the
// context menu grey their entries by it, and the command handler runs only what it allows.
struct CommandRule {
    int first, last;  // the command ids it covers
    bool CommandStates::*available;
};

inline constexpr CommandRule kCommandRules[] = {
    {IDM_SELECT_FS2004, IDM_SELECT_FS2004, &CommandStates::selectFS2004},
    {IDM_SELECT_FS2002, IDM_SELECT_FS2002, &CommandStates::selectFS2002},
    {IDM_SELECT_OWN, IDM_SELECT_OWN, &CommandStates::selectOwn},
    {IDM_TYPE_AIRCRAFT, IDM_TYPE_NONFLYABLE, &CommandStates::setType},
    {IDM_READ, IDM_READ, &CommandStates::read},
    {IDM_WRITE, IDM_WRITE, &CommandStates::write},
    {IDM_SELECT_MY, IDM_SELECT_MY, &CommandStates::markAITraffic},
    {IDM_SELECT_ALL, IDM_SELECT_ALL, &CommandStates::selectAll},
    {IDM_COPY, IDM_COPY, &CommandStates::copy},
    {IDM_RESTORE, IDM_RESTORE, &CommandStates::restore},
    {IDM_OPEN_FOLDER, IDM_OPEN_FOLDER, &CommandStates::openFolder},
    {IDM_MARK_ROWS, IDM_MARK_ROWS, &CommandStates::markRows},
    {IDM_INVERT_MARKS, IDM_INVERT_MARKS, &CommandStates::invertMarks},
    {IDM_MARK_KIND_FIRST, IDM_MARK_KIND_LAST, &CommandStates::markRowsOfType},
};

// Whether command `id` may run now; a command with no rule (About, End) always may.
[[nodiscard]] bool CommandAvailable(int id, const CommandStates& states);

}  // namespace korvalis
