#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/output.h"
#include "cli/run.h"
#include "core/airfile.h"
#include "core/text.h"
#include "tests/cli/run_cli.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

const std::string kEnd = cli::kLineEnd;

// Folders and files chosen for the selectors and the order; rows as "folder/file".
struct FleetFile {
    const char* row;
    std::uint8_t type;
};
constexpr FleetFile kFleet[] = {
    {"AI Boeing 10/b.air", 0}, {"ai boeing 9/a.AIR", 1}, {"MY Cessna/c.air", 2},
    {"Jet 2/j10.air", 5},      {"Jet 2/j9.air", 0},      {"Jet 2/J.air", 0},
    {"Heli/AIRwolf.air", 1},   {"My Planes/x.air", 0},   {".hidden AI/h.air", 0},
};

fs::path MakeFleet()
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    for (const auto& f : kFleet) Put(dir / PathFromUtf8(f.row), AirOfType(f.type));
    Put(dir / "Zed" / "nomarker.air", Hex("01 02 03"));
    return dir;
}

// The directory as the tool prints it: every link resolved on Linux, as given under Windows.
fs::path Shown(const fs::path& dir)
{
#ifdef _WIN32
    return dir;
#else
    return fs::canonical(dir);
#endif
}

// The "folder/file" of each row the TSV lists.
std::vector<std::string> Rows(const std::string& tsv)
{
    std::vector<std::string> rows;
    std::istringstream lines(tsv);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        const std::size_t tab = line.find('\t');
        rows.push_back(line.substr(0, tab) + "/" + line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    }
    return rows;
}

TEST(Cli, ExitCodesAndUsageErrors)
{
    const fs::path dir = MakeFleet();
    const std::string d = PathToUtf8(dir);
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{}, 2},
        {{"frobnicate", "--dir", d}, 2},
        {{"list"}, 2},
        {{"list", "--dir"}, 2},
        {{"list", "--dir", d, "--sim", "fs2004"}, 2},
        {{"list", "--dir", d, "--prefix", d}, 2},
        {{"list", "--sim", "fs2003"}, 2},
        {{"list", "--dir", d, "--type", "glider"}, 2},
        {{"list", "--dir", d, "--dry-run"}, 2},
        {{"list", "--dir", d, "--format", "xml"}, 2},
        {{"list", "--dir", d, "--name", "  "}, 2},
        {{"set", "aircraft", "--dir", d}, 2},
        {{"set", "--dir", d, "--all"}, 2},
        {{"set", "glider", "--dir", d, "--all"}, 2},
        {{"set", "aircraft", "--dir", d, "--all", "--format", "json"}, 2},
        {{"restore", "--dir", d, "--dry-run"}, 2},
        {{"--help", "list"}, 2},
        {{"--help"}, 0},
        {{"--version"}, 0},
        {{"list", "--dir", d}, 0},
        {{"list", "--format", "json", "--name", "nothing", "--dir", d}, 0},
        {{"set", "aircraft", "--dry-run", "--dir", d, "--name", "nothing"}, 0},
        {{"list", "--dir", d + "/missing"}, 3},
        {{"list", "--dir", PathToUtf8(dir / "Zed" / "nomarker.air")}, 3},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        const CliOutcome o = RunCli(c.args);
        EXPECT_EQ(o.code, c.code) << joined << "\n" << o.err;
        if (c.code >= 2) {
            EXPECT_TRUE(o.out.empty()) << joined;
            EXPECT_TRUE(o.err.starts_with("korvalis-cli: ")) << joined;
            EXPECT_EQ(o.err.find(kEnd), o.err.size() - kEnd.size()) << joined << ": one line";
        }
    }
}

TEST(Cli, SelectorsCombineAndRowsComeInOneOrder)
{
    const std::string d = PathToUtf8(MakeFleet());
    using V = std::vector<std::string>;
    const struct {
        V selectors;
        V rows;
    } cases[] = {
        {{},
         {"ai boeing 9/a.AIR", "AI Boeing 10/b.air", "Heli/AIRwolf.air", "Jet 2/J.air", "Jet 2/j9.air",
          "Jet 2/j10.air", "MY Cessna/c.air", "My Planes/x.air"}},
        {{"--ai"}, {"AI Boeing 10/b.air", "MY Cessna/c.air"}},
        {{"--ai", "--all"}, {"AI Boeing 10/b.air", "MY Cessna/c.air"}},
        {{"--ai", "--type", "aircraft"}, {"AI Boeing 10/b.air"}},
        {{"--type", "none"}, {"Jet 2/j10.air"}},
        {{"--type", "helicopter", "--type", "non-flyable"},
         {"ai boeing 9/a.AIR", "Heli/AIRwolf.air", "MY Cessna/c.air"}},
        {{"--name", "BOEING"}, {"ai boeing 9/a.AIR", "AI Boeing 10/b.air"}},
        {{"--name", "j?.air"}, {"Jet 2/j9.air"}},
        {{"--name", "wolf", "--name", "planes"}, {"Heli/AIRwolf.air", "My Planes/x.air"}},
        {{"--name", "boeing", "--type", "helicopter"}, {"ai boeing 9/a.AIR"}},
        {{"--name", "nothing"}, {}},
    };
    for (const auto& c : cases) {
        V args{"list", "--dir", d};
        args.insert(args.end(), c.selectors.begin(), c.selectors.end());
        const CliOutcome o = RunCli(args);
        EXPECT_EQ(o.code, 0) << o.err;
        EXPECT_TRUE(o.out.starts_with("Dir\tAirfile\tAircraft type\tPath" + kEnd));
        EXPECT_EQ(Rows(o.out), c.rows) << (c.selectors.empty() ? "" : c.selectors[0]);
    }
}

TEST(Cli, SetLeavesFilesOfTheTypeAndTheirBackupsAlone)
{
    const fs::path dir = MakeFleet();
    const fs::path b = dir / "AI Boeing 10" / "b.air", c = dir / "MY Cessna" / "c.air";
    Put(BackupOf(c), AirOfType(0));  // the original, from an earlier run
    const std::vector<std::string> args{"set", "non-flyable", "--dir", PathToUtf8(dir), "--ai"};

    const CliOutcome first = RunCli(args);
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(first.out, "written\t" + PathToUtf8(Shown(dir) / "AI Boeing 10" / "b.air") + kEnd +
                             "unchanged\t" + PathToUtf8(Shown(dir) / "MY Cessna" / "c.air") + kEnd);
    EXPECT_EQ(first.err, "korvalis-cli: 1 written, 1 unchanged, 0 failed" + kEnd);
    EXPECT_EQ(ReadBytes(b), AirOfType(2));
    EXPECT_EQ(ReadBytes(BackupOf(c)), AirOfType(0));

    const CliOutcome again = RunCli(args);
    EXPECT_EQ(again.err, "korvalis-cli: 0 written, 2 unchanged, 0 failed" + kEnd);
    EXPECT_EQ(ReadBytes(BackupOf(b)), AirOfType(0)) << "the second run must not replace the original";

    const CliOutcome restored = RunCli({"restore", "--dir", PathToUtf8(dir), "--ai"});
    EXPECT_EQ(restored.code, 0) << restored.err;
    EXPECT_EQ(ReadBytes(b), AirOfType(0));
    EXPECT_EQ(ReadBytes(c), AirOfType(0));
}

TEST(Cli, DryRunsChangeNothing)
{
    const fs::path dir = MakeFleet();
    Put(BackupOf(dir / "Heli" / "AIRwolf.air"), AirOfType(0));
    const auto snapshot = [&dir] {
        std::map<fs::path, Bytes> files;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file()) files[e.path()] = ReadBytes(e.path());
        return files;
    };
    const auto before = snapshot();
    const struct {
        std::vector<std::string> args;
        std::string firstLine, summary;
        int code;
    } cases[] = {
        {{"set", "non-flyable", "--all", "--dry-run"}, "would write", "7 would be written, 1 unchanged", 0},
        {{"restore", "--name", "heli", "--dry-run"}, "would restore", "1 would be restored", 0},
        // Only where a restore could: MY Cessna has no backup.
        {{"restore", "--name", "cessna", "--dry-run"}, "failed", "0 would be restored, 1 failed", 1},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--dir", PathToUtf8(dir)});
        const CliOutcome o = RunCli(args);
        EXPECT_EQ(o.code, c.code);
        EXPECT_TRUE(o.out.starts_with(c.firstLine + "\t")) << o.out;
        EXPECT_EQ(o.err, "korvalis-cli: " + c.summary + kEnd);
        EXPECT_EQ(snapshot(), before) << c.firstLine;
    }
}

TEST(Cli, AReadOnlyFileFailsAndIsLeftAsItWas)
{
    const fs::path dir = MakeFleet();
    const fs::path j = dir / "Jet 2" / "J.air";
    SetReadOnly(j, true);
    const CliOutcome o =
        RunCli({"set", "helicopter", "--dir", PathToUtf8(dir), "--name", "jet", "--type", "aircraft"});
    SetReadOnly(j, false);
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(o.out.starts_with("failed\t" + PathToUtf8(Shown(dir) / "Jet 2" / "J.air") + "\t")) << o.out;
    EXPECT_EQ(o.err, "korvalis-cli: 1 written, 0 unchanged, 1 failed" + kEnd);
    EXPECT_EQ(ReadBytes(j), AirOfType(0));
}

TEST(Cli, AStopEndsTheRunAfterTheFileBeingWritten)
{
    const fs::path dir = MakeFleet();
    cli::StopSignal stop;
    const CliOutcome o = RunCli({"set", "non-flyable", "--dir", PathToUtf8(dir), "--name", "jet"}, &stop,
                                [&stop] { stop.RequestStop(); });
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.err, "korvalis-cli: stopped after 1 of 3: 1 written, 0 unchanged, 0 failed" + kEnd);
    EXPECT_EQ(ReadBytes(dir / "Jet 2" / "j9.air"), AirOfType(0));
}

TEST(Cli, TextsAreEscapedForTsvAndJson)
{
    const struct {
        std::string text, tsv, json;
    } cases[] = {
        {"plain \xc3\xa9", "plain \xc3\xa9", "\"plain \xc3\xa9\""},
        {"a\tb\nc\\d", "a\\tb\\nc\\\\d", "\"a\\tb\\nc\\\\d\""},
        {"q\"", "q\"", "\"q\\\"\""},
        {"bad\xff\xc3", "bad\\xFF\\xC3", "\"bad\xef\xbf\xbd\xef\xbf\xbd\""},
        {"\x01", "\x01", "\"\\u0001\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::TsvText(c.text), c.tsv);
        EXPECT_EQ(cli::JsonText(c.text), c.json);
    }
    EXPECT_EQ(cli::TsvText("C:\\x", true), "C:\\x") << "a path's own separator";
}

}  // namespace
}  // namespace korvalis::test
