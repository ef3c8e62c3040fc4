#pragma once

#include <cstdint>
#include <string>

namespace korvalis {

// Why a file routine failed, in words a user can read: the system's own for its error numbers,
// a fixed sentence for the program's own results.
std::string ErrorText(std::int32_t result);

namespace detail {
// The system's message for one of its error numbers, "" when it has none.
std::string SystemErrorText(std::int32_t error);
}  // namespace detail

}  // namespace korvalis
