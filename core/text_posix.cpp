#include "core/text.h"

namespace korvalis {

// POSIX names are bytes, and the program's text is UTF-8 already: nothing to convert.
std::filesystem::path PathFromUtf8(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }

}  // namespace korvalis
