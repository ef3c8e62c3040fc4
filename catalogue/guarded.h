#pragma once

#include <utility>

namespace korvalis {

// Runs `body` and returns its result; should it throw, `failed` (which must not throw) reports
// it and gives the result instead. Used where control comes back from the system or a thread
// starts, so no exception unwinds past it.
template <typename Body, typename Failed>
auto Guarded(Body&& body, Failed&& failed) noexcept -> decltype(body())
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return std::forward<Failed>(failed)();
    }
}

}  // namespace korvalis
