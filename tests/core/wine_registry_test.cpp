#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/registry.h"
#include "core/wine_registry.h"

namespace korvalis::test {
namespace {

std::string Fixture()
{
    std::ifstream in(KORVALIS_TEST_DATA "/core/wine_system.reg", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << "tests/core/wine_system.reg is missing";
    return text.str();
}

struct RegCase {
    const char* key;
    const char* value;
    std::string expected;
};

// The fixture is a 64-bit prefix's system.reg as Wine wrote it after `wine reg add ... /reg:32`.
TEST(WineRegReadValue, ReadsTheThirtyTwoBitViewOfAFileWineWrote)
{
    const std::string marker(RegReadErrorMarker);
    const RegCase cases[] = {
        {"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0\\", "EXE Path",
         "C:\\Spiele\\Flugsimulator 2004 \u2013 \u0152uvre\\"},
        {"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0\\", "EXE Path",
         "D:\\FS2002 \"x\"\\tab\tende"},
        {"software\\MICROSOFT\\microsoft games\\flight simulator\\9.0", "exe path",
         "C:\\Spiele\\Flugsimulator 2004 \u2013 \u0152uvre\\"},
        {"SOFTWARE\\Korvalis Test\\\u00fcNTER]schl\u00dcSSEL\\", "EXE Path", "Z:\\home\\\u00df"},
        {"SOFTWARE\\Korvalis Test", "Emoji", "a\U0001F600b"},
        {"SOFTWARE\\Korvalis Test", "Number", "007"},
        {"SOFTWARE\\Korvalis Test", "Big", "4294967295"},
        {"SOFTWARE\\Korvalis Test", "Bytes", "001F"},
        {"SOFTWARE\\Korvalis Test", "Long",
         "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
         "202122232425262728292A2B2C2D2E2F"},
        {"SOFTWARE\\Korvalis Test", "Only64", marker},
        {"SOFTWARE\\Korvalis Test", "Missing", marker},
        {"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0\\", "EXE Path", marker},
    };
    const std::string file = Fixture();
    for (const auto& c : cases)
        EXPECT_EQ(WineRegReadValue(file, c.key, c.value), c.expected) << c.key << " " << c.value;
}

// Forms the fixture does not show: a 32-bit prefix, other escapes and types, the size limit.
TEST(WineRegReadValue, ReadsEscapesTypesAndLimitsAsTheWindowsReaderDoes)
{
    const std::string head = "WINE REGISTRY Version 2\n\n[Software\\\\Sim] 1\n#time=1\n";
    const std::string longText(2047, 'a');
    const struct {
        const char* name;
        std::string line;
        std::string expected;
    } cases[] = {
        {"plain", "\"V\"=\"C:\\\\FS\"", "C:\\FS"},
        {"control escapes and octal", "\"V\"=\"a\\nb\\rc\\0d\\101\"", std::string("a\nb\rc\0dA", 8)},
        {"one hex digit before a non-digit", "\"V\"=\"\\xe9t\\x20AC\"", "\u00e9t\u20ac"},
        {"unpaired surrogate", "\"V\"=\"\\xd800x\"", "\ufffdx"},
        {"expandable text as hex", "\"V\"=hex(2):43,00,3a,00,00,00", "C:"},
        {"other types lose their last byte", "\"V\"=hex(0):41,42,43", "AB"},
        {"empty binary", "\"V\"=hex:", ""},
        {"default value", "@=\"dflt\"", "dflt"},
        {"2047 characters fit", "\"V\"=\"" + longText + "\"", longText},
        {"2048 do not", "\"V\"=\"" + longText + "a\"", std::string(RegReadErrorMarker)},
        {"CRLF line ends", "\"V\"=\"crlf\"\r", "crlf"},
    };
    for (const auto& c : cases) {
        const std::string file = head + c.line + "\n";
        const char* value = c.line.starts_with('@') ? "" : "V";
        EXPECT_EQ(WineRegReadValue(file, "SOFTWARE\\Sim\\", value), c.expected) << c.name;
        EXPECT_EQ(WineRegReadValue("#arch=win64\n" + file, "SOFTWARE\\Sim\\", value), RegReadErrorMarker)
            << c.name << ": a 64-bit prefix keeps the 32-bit view under Wow6432Node";
    }
}

}  // namespace
}  // namespace korvalis::test
