#pragma once

#include <string>
#include <string_view>

namespace korvalis {

// Reads one value from the text of a registry file that Wine keeps for a prefix (system.reg holds
// HKEY_LOCAL_MACHINE) and converts it as RegReadValue does: text as UTF-8, a number in decimal
// with at least three digits, raw bytes as upper-case hex pairs. `key` is below the file's root,
// as RegReadValue takes it, and is looked up in the 32-bit view, key names ignoring case. Returns
// RegReadErrorMarker when the key or value is not there or cannot be read.
std::string WineRegReadValue(std::string_view fileText, std::string_view key, std::string_view valueName);

}  // namespace korvalis
