#pragma once

#include <filesystem>
#include <string>

#include "catalogue/airfile_row.h"

namespace korvalis {

using NameText = std::filesystem::path::string_type;

// What "Mark rows..." looks for in the folder and file names: text anywhere in a name or, with
// * and ?, a pattern for the whole name. Case is ignored as Windows ignores it in file names.
class NameMatcher {
public:
    // `text` as typed; blanks at either end do not count.
    explicit NameMatcher(const NameText& text);
    // Nothing but blanks was typed: nothing to look for.
    [[nodiscard]] bool Empty() const noexcept { return m_text.empty(); }
    [[nodiscard]] const NameText& Text() const noexcept { return m_text; }
    [[nodiscard]] bool Matches(const std::filesystem::path& name) const;
    // The row's folder name ("Dir") or file name ("Airfile") matches.
    [[nodiscard]] bool Matches(const AirfileRow& row) const
    {
        return Matches(row.folder) || Matches(row.file);
    }

private:
    NameText m_text;
    bool m_pattern = false;         // holds * or ?
    std::u32string m_folded;        // the pattern's characters in the case names are compared in
    mutable std::u32string m_name;  // a name's folded characters, reused from row to row
};

// `text` without the spaces and tabs at either end.
NameText TrimBlanks(const NameText& text);

// Whether `name` is matched whole by `pattern`, both folded alike: ? stands for one character,
// * for any run of them.
bool MatchesWhole(const std::u32string& name, const std::u32string& pattern);

namespace detail {
// The system's part (name_match_win32.cpp, name_match_posix.cpp).
// Whether `text` occurs in `name`, case ignored as in file names.
bool ContainsIgnoringCase(const NameText& name, const NameText& text);
// One element per character (a surrogate pair or a UTF-8 sequence is one), each in the case
// that ContainsIgnoringCase compares in.
void FoldCharacters(const NameText& text, std::u32string& folded);
}  // namespace detail

}  // namespace korvalis
