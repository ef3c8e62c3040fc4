#include <gtest/gtest.h>

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
        {"\xC3\xA9t\xC3\xA9", L"\u00E9t\u00E9"},                                                     // été
        {"\xE6\x97\xA5\xE6\x9C\xAC", L"\u65E5\u672C"},                                               // 日本
        {"\xF0\x9F\x9B\xA9", std::wstring(sizeof(wchar_t) == 2 ? L"\xD83D\xDEE9" : L"\U0001F6E9")},  // 🛩
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(Utf8FromWide(c.wide), c.utf8) << c.utf8;
        EXPECT_EQ(PathToUtf8(PathFromUtf8(c.utf8)), c.utf8) << c.utf8;
    }
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"a\xFF"
         "b",
         L"a\uFFFDb"},
        {"\xC3", L"\uFFFD"},          // truncated
        {"\xC0\xAF", L"\uFFFD"},      // overlong, one per sequence
        {"\xED\xA0\x80", L"\uFFFD"},  // surrogate half
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(WideFromUtf8(in), out);
}

}  // namespace
}  // namespace korvalis::test
