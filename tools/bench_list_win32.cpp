// Scans a large generated fleet into the real ListView of a hidden main window and compares
// the time with the same scan into the in-memory list, both measured in the same run.
//   bench_list [WORKDIR] [FOLDERS]
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "catalogue/airfile_list.h"
#include "catalogue/catalogue.h"
#include "catalogue/work_loop.h"
#include "tools/bench_common.h"
#include "ui/main_window.h"

using namespace korvalis;

int main(int argc, char** argv)
{
    const std::filesystem::path work = argc > 1 ? argv[1] : "bench-work";
    const int folderCount = argc > 2 ? std::atoi(argv[2]) : 5000;
    const auto base = tools::BenchFleet(work, folderCount);
    const std::string dir = PathToUtf8(base);

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    MainWindow window;
    if (!window.Create(::GetModuleHandleW(nullptr))) {
        std::fprintf(stderr, "the main window could not be created\n");
        return 1;
    }

    SessionState state;
    MemoryAirfileList memory;
    tools::QuietShell shell;
    WorkLoop loop;
    Catalogue catalogue(state, memory, shell, loop.GetWorker());
    const auto memoryScan = [&] {
        state.AircraftDir = dir;
        catalogue.Load_Airfiles();
        loop.RunUntilIdle();
    };
    const auto listScan = [&] {
        window.State().AircraftDir = dir;
        window.Load_Airfiles();
        MSG message;
        while (window.Working() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    };
    const auto [memoryTime, listTime] = tools::AlternatingMedians(7, memoryScan, listScan);
    const int rows = ListView_GetItemCount(window.ListHandle());
    std::printf("fleet: %d folders, %d rows in memory, %d rows in the ListView\n", folderCount,
                memory.Count(), rows);
    std::printf("scan into the in-memory list:       %.3f s\n", memoryTime);
    std::printf("scan into the main window's list:   %.3f s\n", listTime);
    std::printf("ratio list / memory: %.3f  (target <= 1.3)\n", listTime / memoryTime);
    return rows == memory.Count() ? 0 : 1;
}
