#pragma once

#include <string>
#include <string_view>

namespace korvalis::cli {

// Lines end as the system's text files do.
#ifdef _WIN32
inline constexpr const char* kLineEnd = "\r\n";
#else
inline constexpr const char* kLineEnd = "\n";
#endif

// A name or path for a tab-separated line: tab, line break and backslash written \t, \n (\r),
// \\; a byte that begins no UTF-8 character written \xNN. With `separators` the backslash is
// the path's own separator (Windows, where no name holds one) and stays as it is.
std::string TsvText(std::string_view text, bool separators = false);

// A JSON string, quotes included; a byte that begins no UTF-8 character becomes U+FFFD.
std::string JsonText(std::string_view text);

}  // namespace korvalis::cli
