#include <gtest/gtest.h>

#include <utility>

#include "catalogue/enumerate.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

TEST(EnumerateFolder, EmptyFoldersListNothingAndMissingOnesFail)
{
    const fs::path dir = FreshTestDir();
    fs::create_directories(dir / "empty");
    const std::pair<fs::path, bool> cases[] = {
        {dir / "empty", true},
        {dir / "absent", false},
#ifdef _WIN32
        // Mapped to an empty folder by tests/support/map_drive.sh. A drive's root has no "."
        // entry, so the find call answers an empty one "file not found".
        {KORVALIS_EMPTY_DRIVE "\\", true},
#endif
    };
    for (const auto& [folder, listed] : cases) {
        int names = 0;
        const auto entry = [&](const fs::path& name, std::optional<bool>) {
            if (name != "." && name != "..") ++names;
        };
        EXPECT_EQ(EnumerateFolderEntries(folder, entry), listed) << folder;
        EXPECT_EQ(EnumerateAirFiles(folder, [&](const fs::path&) { ++names; }), listed) << folder;
        EXPECT_EQ(names, 0) << folder;
    }
}

}  // namespace
}  // namespace korvalis::test
