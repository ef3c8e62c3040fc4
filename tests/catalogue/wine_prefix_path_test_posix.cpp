#include <gtest/gtest.h>

#include "catalogue/aircraft_dir.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

TEST(WinePrefixPath, MapsTheDriveAndMatchesEachPartIgnoringCase)
{
    const fs::path prefix = FreshTestDir() / "prefix";
    const fs::path c = prefix / "dosdevices" / "c:";
    for (const char* folder :
         {"Program Files/FS9/aircraft", "Both/Aircraft", "Both/aircraft", "Two/Zeta", "Two/ZETA",
          "\xc3\x9c"
          "bung/x"})
        fs::create_directories(prefix / "drive_c" / folder);
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", c);
    const struct {
        const char* windowsPath;
        std::optional<fs::path> expected;
    } cases[] = {
        {"C:\\program files\\fs9\\AIRCRAFT\\", c / "Program Files/FS9/aircraft"},
        {"c:\\Program Files\\\\FS9\\aircraft", c / "Program Files/FS9/aircraft"},  // empty part skipped
        {"C:/Program Files/FS9", c / "Program Files/FS9"},
        {"C:\\Both\\aircraft", c / "Both/aircraft"},  // the exact name wins
        {"C:\\Both\\Aircraft", c / "Both/Aircraft"},
        {"C:\\Two\\zeta", c / "Two/ZETA"},  // neither exact: the first by code points
        {"C:\\\xc3\xbc"
         "BUNG\\X",
         c / "\xc3\x9c"
             "bung/x"},
        {"C:\\Nowhere\\aircraft", c / "Nowhere/aircraft"},  // kept as written, to be named as missing
        {"C:", c},
        {"D:\\FS9", prefix / "dosdevices/d:/FS9"},
        {"\\\\server\\share\\FS9", std::nullopt},
        {"FS9", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(WinePrefixPath(prefix, k.windowsPath), k.expected) << k.windowsPath;
    }
}

}  // namespace
}  // namespace korvalis::test
