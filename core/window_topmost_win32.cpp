#include <windows.h>

#include "core/window_topmost.h"

namespace korvalis {

bool SetWindowTopmost(void* window)
{
    return ::SetWindowPos(static_cast<HWND>(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) !=
           FALSE;
}

}  // namespace korvalis
