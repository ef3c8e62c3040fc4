#include <windows.h>

#include "catalogue/thread_priority.h"

namespace korvalis {

void LowerThreadPriority() noexcept
{
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace korvalis
