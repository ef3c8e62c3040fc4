// Writes a sample fleet of aircraft folders with .air files.
//   fleetgen DIR demo              the varied demo fleet
//   fleetgen DIR FOLDERS [SEED [FILES]]   a large realistic fleet, FILES .air files a folder
//                                         (0 or left out: one or two at random)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/fleet.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: fleetgen DIR demo | fleetgen DIR FOLDERS [SEED [FILES]]\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const std::string what = argv[2];
    korvalis::tools::FleetSummary s;
    if (what == "demo") {
        s = korvalis::tools::GenerateDemoFleet(dir);
    } else {
        const auto seed = argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1u;
        const int files = argc > 4 ? std::atoi(argv[4]) : 0;
        s = korvalis::tools::GenerateFleet(dir, std::atoi(what.c_str()), seed, files);
    }
    std::printf("%d folders, %d .air files (%d with a type marker) in %s\n", s.folders, s.files, s.typed,
                dir.string().c_str());
    return 0;
}
