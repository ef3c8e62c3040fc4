#include <windows.h>

#include "catalogue/error_text.h"
#include "core/text.h"

namespace korvalis::detail {

std::string SystemErrorText(std::int32_t error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(error), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return {};
    std::string text = Utf8FromWide(std::wstring_view(buffer, length));
    ::LocalFree(buffer);
    return text;
}

}  // namespace korvalis::detail
