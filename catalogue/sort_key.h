#pragma once

#include <filesystem>
#include <string>

namespace korvalis {

// A name's sort key: keys compare byte by byte as the names compare for a user, numbers as
// numbers and case ignored. Safe to call from any thread.
std::string SortKey(const std::filesystem::path& name);

}  // namespace korvalis
