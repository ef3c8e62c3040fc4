// Scans a large generated fleet into the in-memory list and compares the time with a
// floor (enumerate, open, read 4 KiB, close per file) measured in the same run.
//   bench_scan [WORKDIR] [FOLDERS]
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "catalogue/airfile_list.h"
#include "catalogue/catalogue.h"
#include "tools/bench_common.h"

using namespace korvalis;

int main(int argc, char** argv)
{
    const std::filesystem::path work = argc > 1 ? argv[1] : "bench-work";
    const int folderCount = argc > 2 ? std::atoi(argv[2]) : 5000;
    const auto base = tools::BenchFleet(work, folderCount);

    SessionState state;
    MemoryAirfileList list;
    tools::QuietShell shell;
    Catalogue catalogue(state, list, shell);
    int files = 0;
    const auto scan = [&] {
        state.AircraftDir = PathToUtf8(base);
        catalogue.Load_Airfiles();
    };
    // Warm the cache with both, then alternate runs so drift hits both alike.
    files = tools::ScanFloor(base);
    scan();
    double floor = 0, scanTime = 0;
    const int rounds = 9;
    std::vector<double> floors, scans;
    for (int i = 0; i < rounds; ++i) {
        floors.push_back(tools::MedianSeconds(1, [&] { tools::ScanFloor(base); }));
        scans.push_back(tools::MedianSeconds(1, scan));
    }
    std::sort(floors.begin(), floors.end());
    std::sort(scans.begin(), scans.end());
    floor = floors[rounds / 2];
    scanTime = scans[rounds / 2];
    std::printf("fleet: %d folders, %d .air files, %d rows\n", folderCount, files, list.Count());
    std::printf("floor (enumerate + open/read 4 KiB/close): %.3f s\n", floor);
    std::printf("scan into the in-memory list:              %.3f s  (%.0f files/s)\n", scanTime,
                files / scanTime);
    std::printf("ratio scan / floor: %.3f  (target <= 1.15)\n", scanTime / floor);
    return 0;
}
