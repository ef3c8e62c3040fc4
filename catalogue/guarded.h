#pragma once

#include <utility>

namespace korvalis {

// The places where control comes back from Windows or starts a thread: an exception must
// stop at each of them, never unwind into the system.
enum class Boundary { Window, Dialog, Subclass, Thread };

namespace detail {
// For tests: the next `count` entries through a boundary of this kind (with this message, where
// the boundary has messages; 0 for any) throw, as a fault deep inside would.
void InjectBoundaryFault(Boundary kind, int count, unsigned message = 0);
void ThrowIfInjected(Boundary kind, unsigned message);
}  // namespace detail

// Runs `body` and returns its result; should it throw, `failed` (which must not throw) reports
// it and gives the result instead.
template <typename Body, typename Failed>
auto Guarded(Boundary kind, unsigned message, Body&& body, Failed&& failed) noexcept -> decltype(body())
{
    try {
        detail::ThrowIfInjected(kind, message);
        return std::forward<Body>(body)();
    } catch (...) {
        return std::forward<Failed>(failed)();
    }
}

}  // namespace korvalis
