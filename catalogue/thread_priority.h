#pragma once

namespace korvalis {

// Puts the calling thread below normal priority, so the threads that read files give way to
// the window's thread; does nothing where the build has no such notion.
void LowerThreadPriority() noexcept;

}  // namespace korvalis
