#include <windows.h>

#include "catalogue/sort_key.h"

namespace korvalis {

// The key of CompareStringEx's own rules, made once per name so a sort compares bytes only.
std::string SortKey(const std::filesystem::path& name)
{
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE | SORT_DIGITSASNUMBERS;
    const std::wstring& text = name.native();
    const int length = static_cast<int>(text.size());
    const int size = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, text.c_str(), length, nullptr, 0,
                                     nullptr, nullptr, 0);
    if (size <= 0) return {};
    std::string key(static_cast<std::size_t>(size), '\0');
    // With LCMAP_SORTKEY the output is bytes, passed through the wide pointer.
    ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, text.c_str(), length,
                    reinterpret_cast<LPWSTR>(key.data()), size, nullptr, nullptr, 0);
    return key;
}

}  // namespace korvalis
