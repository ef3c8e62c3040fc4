#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalis {

#ifdef _WIN32
// The one conversion between display text (UTF-8) and the UTF-16 of Win32 calls. A
// narrow std::string handed to Windows would go through the ANSI code page instead.
// Malformed input turns into U+FFFD, never into nothing.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

// UTF-16 units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view utf16);

// Paths made from, and shown as, UTF-8 text: through the conversion above on Windows, the
// bytes as they are elsewhere.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// The directory separator the aircraft directory text ends with on this platform.
inline constexpr char kDirSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

}  // namespace korvalis
