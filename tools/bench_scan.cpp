// Scans a large generated fleet into the in-memory list, on the worker with its readers, and
// compares the time with one thread's floor (enumerate, open, read 4 KiB, close per file)
// measured in the same run.
//   bench_scan [WORKDIR] [FOLDERS]
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "catalogue/airfile_list.h"
#include "catalogue/catalogue.h"
#include "tools/bench_common.h"
#include "tools/work_loop.h"
#include "tests/support/memory_airfile_list.h"

using namespace korvalis;

int main(int argc, char** argv)
{
    const std::filesystem::path work = argc > 1 ? argv[1] : "bench-work";
    const int folderCount = argc > 2 ? std::atoi(argv[2]) : 5000;
    const auto base = tools::BenchFleet(work, folderCount);

    SessionState state;
    MemoryAirfileList list;
    tools::QuietShell shell;
    WorkLoop loop;
    Catalogue catalogue(state, list, shell, loop.GetWorker());
    const auto scan = [&] {
        state.AircraftDir = PathToUtf8(base);
        catalogue.Load_Airfiles();
        loop.RunUntilIdle();
    };
    const int files = tools::ScanFloor(base);
    const auto [floor, scanTime] = tools::AlternatingMedians(
        9, [&] { tools::ScanFloor(base); }, scan);
    std::printf("fleet: %d folders, %d .air files, %d rows\n", folderCount, files, list.Count());
    std::printf("floor (enumerate + open/read 4 KiB/close): %.3f s\n", floor);
    std::printf("scan into the in-memory list:              %.3f s  (%.0f files/s)\n", scanTime,
                files / scanTime);
    std::printf("ratio scan / floor: %.3f  (goal <= 1.0; %u readers)\n", scanTime / floor,
                ReaderThreadCount());
    return 0;
}
