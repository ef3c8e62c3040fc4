#pragma once

#include <windows.h>

#include "catalogue/command_states.h"

namespace korvalis {

// Where the list's context menu opens, and the row it was opened on (-1 for none).
struct ContextMenuPlace {
    POINT point{};
    int row = -1;
};

// For the keyboard (`at` is -1): at the focused row, or the list's corner. For the mouse: at the
// pointer, on the row under it; right-clicking an unmarked row marks it alone, when `mark`.
ContextMenuPlace PlaceContextMenu(HWND list, LPARAM at, bool mark);

// Shows the context menu with `states` and returns the command chosen, 0 for none.
int TrackContextMenu(HWND owner, POINT at, const CommandStates& states);

}  // namespace korvalis
