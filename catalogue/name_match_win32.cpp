#include <windows.h>

#include "catalogue/name_match.h"

namespace korvalis::detail {

bool ContainsIgnoringCase(const NameText& name, const NameText& text)
{
    if (text.empty()) return true;
    return ::FindStringOrdinal(FIND_FROMSTART, name.c_str(), static_cast<int>(name.size()), text.c_str(),
                               static_cast<int>(text.size()), TRUE) >= 0;
}

void FoldCharacters(const NameText& text, std::u32string& folded)
{
    // The invariant upper case, one UTF-16 unit for one: the table ordinal comparisons ignore case by.
    thread_local std::wstring upper;
    upper.resize(text.size());
    const int length = static_cast<int>(text.size());
    if (length > 0 && ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(), length,
                                      upper.data(), length, nullptr, nullptr, 0) != length) {
        upper = text;
    }
    folded.clear();
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const char32_t unit = upper[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < upper.size() && upper[i + 1] >= 0xDC00 &&
            upper[i + 1] < 0xE000) {
            folded += 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(upper[i + 1]) - 0xDC00);
            ++i;
        } else {
            folded += unit;
        }
    }
}

}  // namespace korvalis::detail
