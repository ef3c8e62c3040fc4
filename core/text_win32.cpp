#include <windows.h>

#include <climits>

#include "core/text.h"

namespace korvalis {

namespace {

// One call takes at most this many units. Texts here are names, paths and captions, far
// shorter; a longer one would convert to nothing.
constexpr std::size_t kMaxLength = INT_MAX;

}  // namespace

// The system's own UTF-8 codec. Without MB_ERR_INVALID_CHARS a malformed sequence becomes
// U+FFFD (since Vista), so a name with a bad byte still shows rather than vanishing.
std::wstring WideFromUtf8(std::string_view utf8)
{
    if (utf8.empty() || utf8.size() > kMaxLength) return {};
    const int size = static_cast<int>(utf8.size());
    const int wideSize = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty() || wide.size() > kMaxLength) return {};
    const int size = static_cast<int>(wide.size());
    const int utf8Size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (utf8Size <= 0) return {};
    std::string utf8(static_cast<std::size_t>(utf8Size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), utf8Size, nullptr, nullptr);
    return utf8;
}

std::string Utf8FromUtf16(std::u16string_view utf16)
{
    return Utf8FromWide(std::wstring_view(reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size()));
}

std::filesystem::path PathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(WideFromUtf8(utf8));
}

std::string PathToUtf8(const std::filesystem::path& path) { return Utf8FromWide(path.native()); }

}  // namespace korvalis
