#include "core/text.h"

namespace korvalis {

// POSIX names are bytes, and the program's text is UTF-8 already: nothing to convert.
std::filesystem::path PathFromUtf8(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

// The system has no codec of its own here that would not depend on the locale.
std::string Utf8FromUtf16(std::u16string_view utf16)
{
    std::string utf8;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        static constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        utf8 += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k) utf8 += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return utf8;
}

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }

}  // namespace korvalis
