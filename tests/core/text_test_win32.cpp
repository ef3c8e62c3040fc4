#include <gtest/gtest.h>

#include <algorithm>

#include "core/text.h"

namespace korvalis::test {
namespace {

TEST(Text, Utf8AndUtf16RoundTrip)
{
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"Cessna 172", L"Cessna 172"},
        {"C:\\Games & Sims\\FS9", L"C:\\Games & Sims\\FS9"},
        {"\xC3\xA9t\xC3\xA9", L"\u00E9t\u00E9"},        // été
        {"\xE6\x97\xA5\xE6\x9C\xAC", L"\u65E5\u672C"},  // 日本
        {"\xF0\x9F\x9B\xA9", L"\xD83D\xDEE9"},          // 🛩, a surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(Utf8FromWide(c.wide), c.utf8) << c.utf8;
        EXPECT_EQ(PathToUtf8(PathFromUtf8(c.utf8)), c.utf8) << c.utf8;
    }
}

// How many U+FFFD one bad sequence gives is the system's choice, and not documented: a run
// of them counts as one here.
std::wstring OneReplacementPerRun(std::wstring text)
{
    const auto run = [](wchar_t a, wchar_t b) { return a == L'\uFFFD' && b == L'\uFFFD'; };
    text.erase(std::unique(text.begin(), text.end(), run), text.end());
    return text;
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"a\xFF"
         "b",
         L"a\uFFFDb"},
        {"\xC3", L"\uFFFD"},          // truncated
        {"\xC0\xAF", L"\uFFFD"},      // overlong
        {"\xED\xA0\x80", L"\uFFFD"},  // surrogate half
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(OneReplacementPerRun(WideFromUtf8(in)), out);
}

}  // namespace
}  // namespace korvalis::test
