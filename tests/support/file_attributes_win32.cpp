#include <windows.h>

#include "tests/support/file_attributes.h"

namespace korvalis::test {

namespace {
bool AddAttribute(const std::filesystem::path& path, DWORD attribute)
{
    const DWORD now = ::GetFileAttributesW(path.c_str());
    return now != INVALID_FILE_ATTRIBUTES && ::SetFileAttributesW(path.c_str(), now | attribute);
}
}  // namespace

bool SetHiddenAttribute(const std::filesystem::path& path)
{
    return AddAttribute(path, FILE_ATTRIBUTE_HIDDEN);
}
bool SetSystemAttribute(const std::filesystem::path& path)
{
    return AddAttribute(path, FILE_ATTRIBUTE_SYSTEM);
}

}  // namespace korvalis::test
