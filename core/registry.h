#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvalis {

// The predefined root HKEY_LOCAL_MACHINE as the 32-bit value the registry reader takes.
inline constexpr std::uint32_t kRootLocalMachine = 0x80000002u;

// What RegReadValue returns when a value cannot be read: "@", carriage return, "@".
// No folder path can equal it.
inline constexpr std::string_view RegReadErrorMarker = "@\r@";

// Reads one value below a registry root, in the 32-bit view of the registry, and returns it
// as UTF-8 text: text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) less its last character, a number
// (REG_DWORD) in decimal with at least three digits, raw bytes (REG_BINARY) as upper-case hex
// pairs, anything else as its stored bytes less the last one, unconverted. Returns
// RegReadErrorMarker when the key or value is missing or refused, when text holds more than
// 2048 UTF-16 characters (its NUL included), or another value more than 2048 bytes. Key and
// value name are UTF-8. Never throws.
std::string RegReadValue(std::uint32_t root, std::string_view key, std::string_view valueName);

}  // namespace korvalis
