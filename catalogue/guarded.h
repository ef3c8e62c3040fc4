#pragma once

#include <string_view>
#include <utility>

namespace korvalis {

namespace detail {
// For tests: the next `count` entries through the boundary named `boundary` (with this message,
// where the boundary has messages; 0 for any) throw, as a fault deep inside would.
void InjectBoundaryFault(std::string_view boundary, int count, unsigned message = 0);
void ThrowIfInjected(std::string_view boundary, unsigned message);
}  // namespace detail

// Runs `body` and returns its result; should it throw, `failed` (which must not throw) reports
// it and gives the result instead. Used where control comes back from the system or a thread
// starts, so no exception unwinds past it; `boundary` names the place, for the tests.
template <typename Body, typename Failed>
auto Guarded(std::string_view boundary, unsigned message, Body&& body, Failed&& failed) noexcept
    -> decltype(body())
{
    try {
        detail::ThrowIfInjected(boundary, message);
        return std::forward<Body>(body)();
    } catch (...) {
        return std::forward<Failed>(failed)();
    }
}

}  // namespace korvalis
