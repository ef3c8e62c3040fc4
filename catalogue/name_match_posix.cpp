#include <locale.h>
#include <wctype.h>

#include "catalogue/name_match.h"

namespace korvalis::detail {

namespace {

// The C library's Unicode case table, as the system's file-name comparison has its own.
locale_t UnicodeLocale()
{
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

char32_t Upper(char32_t c)
{
    const locale_t locale = UnicodeLocale();
    if (locale == static_cast<locale_t>(nullptr)) return c >= U'a' && c <= U'z' ? c - 32 : c;
    const auto upper = static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), locale));
    // Only mappings within one plane size stay one unit in UTF-16, as the system's table keeps them.
    return (upper < 0x10000) == (c < 0x10000) ? upper : c;
}

}  // namespace

void FoldCharacters(const NameText& text, std::u32string& folded)
{
    folded.clear();
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC0 ? 2
                                                  : 0;
        char32_t c = length == 0 ? 0 : lead & (0xFF >> (length + 1));
        bool whole = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!whole) {
            // A byte that starts no character stands for itself, apart from every character.
            folded += 0x110000 + lead;
            ++i;
            continue;
        }
        folded += Upper(length == 1 ? lead : c);
        i += length;
    }
}

bool ContainsIgnoringCase(const NameText& name, const NameText& text)
{
    std::u32string foldedName, foldedText;
    FoldCharacters(name, foldedName);
    FoldCharacters(text, foldedText);
    return foldedName.find(foldedText) != std::u32string::npos;
}

}  // namespace korvalis::detail
