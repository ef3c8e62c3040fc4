#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalis {

// The one conversion between display text (UTF-8) and paths. On Windows a narrow
// std::string handed to std::filesystem::path would go through the ANSI code page.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// The directory separator the aircraft directory text ends with on this platform.
inline constexpr char kDirSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

}  // namespace korvalis
