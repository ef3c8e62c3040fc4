#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/simulator_paths.h"

namespace korvalis::test {
namespace {

const std::string kMarker(RegReadErrorMarker);

// A registry that answers the two simulator records from a table and logs each read,
// with the paths as they stood at that moment.
struct FakeRegistry {
    struct Read {
        std::uint32_t root;
        std::string key, valueName;
        std::string fs2002AtRead, fs2004AtRead;
    };
    std::string fs2002Answer, fs2004Answer;
    std::vector<Read> reads;

    RegistryReader Reader(const SessionState& state)
    {
        return [this, &state](std::uint32_t root, std::string_view key, std::string_view valueName) {
            reads.push_back(
                {root, std::string(key), std::string(valueName), state.FS2002Path, state.FS2004Path});
            if (key == kFS2002Key) return fs2002Answer;
            if (key == kFS2004Key) return fs2004Answer;
            return kMarker;
        };
    }
};

TEST(Get_FSPath, TurnsTheMarkerIntoAnEmptyPath)
{
    struct Case {
        const char* name;
        std::string fs2002Answer, fs2004Answer;
        std::string fs2002Path, fs2004Path;
    };
    const Case cases[] = {
        {"neither recorded", kMarker, kMarker, "", ""},
        {"only FS2004", kMarker, "D:\\FS9", "", "D:\\FS9"},
        {"only FS2002", "C:\\FS2002", kMarker, "C:\\FS2002", ""},
        {"both", "C:\\FS2002", "D:\\Games\\FS9", "C:\\FS2002", "D:\\Games\\FS9"},
        {"empty text", "", "", "", ""},
        {"trailing separator kept", "C:\\FS2002\\", "D:\\FS9\\\\", "C:\\FS2002\\", "D:\\FS9\\\\"},
        {"spaces kept", " C:\\FS2002 ", "  ", " C:\\FS2002 ", "  "},
        {"marker inside a longer text is a value", "@\r@x", "x@\r@", "@\r@x", "x@\r@"},
        {"part of the marker is a value", "@\r", "\r@", "@\r", "\r@"},
        {"marker with a line feed is a value", "@\n@", "@\r\n@", "@\n@", "@\r\n@"},
        {"numbers as the reader writes them", "007", "0AFF", "007", "0AFF"},
        {"non-ASCII", "C:\\Spiele\\\xC3\x84", "E:\\\xE9\xA3\x9B", "C:\\Spiele\\\xC3\x84", "E:\\\xE9\xA3\x9B"},
    };
    for (const auto& c : cases) {
        SessionState state;
        state.FS2002Path = "before";
        state.FS2004Path = "before";
        state.AircraftDir = "untouched";
        FakeRegistry registry{c.fs2002Answer, c.fs2004Answer, {}};
        Get_FSPath(state, registry.Reader(state));
        EXPECT_EQ(state.FS2002Path, c.fs2002Path) << c.name;
        EXPECT_EQ(state.FS2004Path, c.fs2004Path) << c.name;
        EXPECT_EQ(state.AircraftDir, "untouched") << c.name;
        EXPECT_EQ(state.DialogMode, "") << c.name;

        // Two reads, FS2002 first, whatever the first returned; neither path set before both are in.
        ASSERT_EQ(registry.reads.size(), 2u) << c.name;
        const std::string keys[] = {"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0\\",
                                    "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0\\"};
        for (std::size_t i = 0; i < 2; ++i) {
            const auto& read = registry.reads[i];
            EXPECT_EQ(read.root, 0x80000002u) << c.name;
            EXPECT_EQ(read.key, keys[i]) << c.name;
            EXPECT_EQ(read.valueName, "EXE Path") << c.name;
            EXPECT_EQ(read.fs2002AtRead, "before") << c.name << ", read " << i;
            EXPECT_EQ(read.fs2004AtRead, "before") << c.name << ", read " << i;
        }
    }
}

#ifndef _WIN32
// Without a Windows registry no simulator is ever found.
TEST(Get_FSPath, FindsNoSimulatorWithoutAWindowsRegistry)
{
    EXPECT_EQ(RegReadValue(kRootLocalMachine, kFS2004Key, kExePathValue), kMarker);
    SessionState state;
    state.FS2002Path = "before";
    state.FS2004Path = "before";
    Get_FSPath(state);
    EXPECT_EQ(state.FS2002Path, "");
    EXPECT_EQ(state.FS2004Path, "");
}
#endif

}  // namespace
}  // namespace korvalis::test
