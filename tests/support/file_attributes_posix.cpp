#include "tests/support/file_attributes.h"

namespace korvalis::test {

bool SetHiddenAttribute(const std::filesystem::path&) { return false; }
bool SetSystemAttribute(const std::filesystem::path&) { return false; }

}  // namespace korvalis::test
