#include "catalogue/name_match.h"

namespace korvalis {

namespace {

bool IsBlank(NameText::value_type c) { return c == ' ' || c == '\t'; }

}  // namespace

NameText TrimBlanks(const NameText& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool MatchesWhole(const std::u32string& name, const std::u32string& pattern)
{
    // Greedy, going back only to the last *: at most name x pattern steps, never exponential.
    std::size_t n = 0, p = 0, star = std::u32string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || (pattern[p] != U'*' && pattern[p] == name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

NameMatcher::NameMatcher(const NameText& text) : m_text(TrimBlanks(text))
{
    m_pattern = m_text.find_first_of(NameText::value_type('*')) != NameText::npos ||
                m_text.find_first_of(NameText::value_type('?')) != NameText::npos;
    if (m_pattern) detail::FoldCharacters(m_text, m_folded);
}

bool NameMatcher::Matches(const std::filesystem::path& name) const
{
    if (m_text.empty()) return false;
    if (!m_pattern) return detail::ContainsIgnoringCase(name.native(), m_text);
    detail::FoldCharacters(name.native(), m_name);
    return MatchesWhole(m_name, m_folded);
}

}  // namespace korvalis
