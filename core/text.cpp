#include "core/text.h"

namespace korvalis {

std::filesystem::path PathFromUtf8(std::string_view utf8)
{
    // char8_t input is defined as UTF-8 on every platform, unlike char input.
    std::u8string u8(utf8.begin(), utf8.end());
    return std::filesystem::path(u8);
}

std::string PathToUtf8(const std::filesystem::path& path)
{
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace korvalis
