#include <algorithm>
#include <cctype>

#include "catalogue/sort_key.h"

namespace korvalis {

// Stands in for the system's linguistic keys where there are none: letters without case, and
// each run of digits as its number (its length first, so 9 goes before 10).
std::string SortKey(const std::filesystem::path& name)
{
    const std::string& text = name.native();
    std::string key;
    key.reserve(text.size() + 4);
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isdigit(c) == 0) {
            key += static_cast<char>(std::tolower(c));
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) ++end;
        std::size_t first = i;
        while (first + 1 < end && text[first] == '0') ++first;
        key += '\x01';  // below every printable character, as digits go before letters
        key += static_cast<char>(std::min<std::size_t>(end - first, 255));
        key.append(text, first, end - first);
        i = end;
    }
    return key;
}

}  // namespace korvalis
