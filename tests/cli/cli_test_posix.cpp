#include <gtest/gtest.h>

#include <fstream>

#include "cli/run.h"
#include "tests/cli/run_cli.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

// A 64-bit prefix whose system.reg records FS2004 at C:\Games\FS9\ (the drive reached through a
// link, the folders' case not the record's); what it lists is what --dir lists, byte for byte.
TEST(CliPosix, TheSimulatorsRecordInAPrefixListsLikeItsDirectory)
{
    const fs::path prefix = FreshTestDir() / "prefix";
    const fs::path aircraft = prefix / "drive_c" / "games" / "fs9" / "Aircraft";
    Put(aircraft / "AI One" / "one.air", AirOfType(0));
    Put(aircraft / "Two" / "two.air", AirOfType(1));
    Put(prefix / "elsewhere" / "Real" / "real.air", AirOfType(2));
    Put(prefix / "elsewhere" / "target.air", AirOfType(0));
    fs::create_directory_symlink("../../../../elsewhere/Real", aircraft / "Linked");
    fs::create_symlink("../../../../../elsewhere/target.air", aircraft / "Two" / "link.air");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    std::ofstream(prefix / "system.reg")
        << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
           "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0] 1\n"
           "#time=1\n\"EXE Path\"=\"C:\\\\Games\\\\FS9\\\\\"\n";

    const CliOutcome bySim = RunCli({"list", "--sim", "fs2004", "--prefix", prefix.string()});
    const CliOutcome byDir = RunCli({"list", "--dir", aircraft.string()});
    EXPECT_EQ(bySim.code, 0) << bySim.err;
    EXPECT_EQ(bySim.out, byDir.out);
    // Every link resolved: the drive's, a folder's and a file's.
    for (const fs::path& file : {aircraft / "Two" / "two.air", prefix / "elsewhere" / "Real" / "real.air",
                                 prefix / "elsewhere" / "target.air"})
        EXPECT_NE(bySim.out.find("\t" + fs::canonical(file).string() + "\n"), std::string::npos) << bySim.out;

    const CliOutcome noRecord = RunCli({"list", "--sim", "fs2002", "--prefix", prefix.string()});
    EXPECT_EQ(noRecord.code, 3);
    EXPECT_NE(noRecord.err.find("system.reg"), std::string::npos) << "says where it looked: " << noRecord.err;
}

TEST(CliPosix, AFileThatCannotBeReadIsNamedAndTheRestListed)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    Put(dir / "Good" / "good.air", AirOfType(0));
    Put(dir / "Bad\xff" / "x.air", AirOfType(2));
    fs::create_directories(dir / "Broken");
    fs::create_symlink("nowhere.air", dir / "Broken" / "broken.air");

    const CliOutcome tsv = RunCli({"list", "--dir", dir.string()});
    EXPECT_EQ(tsv.code, 1);
    EXPECT_EQ(tsv.err, "korvalis-cli: cannot read " +
                           (fs::canonical(dir) / "Broken" / "broken.air").string() +
                           ": No such file or directory\n");
    EXPECT_NE(tsv.out.find("Bad\\xFF\tx.air\tnon flyable\t"), std::string::npos) << tsv.out;
    EXPECT_NE(tsv.out.find("Good\tgood.air\tAircraft\t"), std::string::npos);
    const CliOutcome json = RunCli({"list", "--dir", dir.string(), "--format", "json", "--name", "bad"});
    EXPECT_NE(json.out.find(
                  "{\"dir\":\"Bad\xef\xbf\xbd\",\"airfile\":\"x.air\",\"type\":\"non flyable\",\"code\":2"),
              std::string::npos)
        << json.out;
}

}  // namespace
}  // namespace korvalis::test
