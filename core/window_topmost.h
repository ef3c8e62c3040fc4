#pragma once

namespace korvalis {

// Puts a window (an HWND) into the always-on-top layer without moving or sizing it.
// Windows only.
bool SetWindowTopmost(void* window);

}  // namespace korvalis
