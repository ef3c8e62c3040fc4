#include "catalogue/thread_priority.h"

namespace korvalis {

// Lowering one thread's priority needs privileges on Linux; the native build is for tests.
void LowerThreadPriority() noexcept {}

}  // namespace korvalis
