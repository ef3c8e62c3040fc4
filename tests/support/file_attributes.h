#pragma once

#include <filesystem>

namespace korvalis::test {

// Sets the Windows hidden or system attribute; false where the platform has none
// (natively, a name beginning with "." stands in for hidden).
bool SetHiddenAttribute(const std::filesystem::path& path);
bool SetSystemAttribute(const std::filesystem::path& path);

}  // namespace korvalis::test
