// Times `korvalis-cli list --dir` of a generated fleet, the whole process with its output sent to
// /dev/null, against one thread's floor (enumerate, open, read 4 KiB, close per file) measured in
// the same run, rounds alternated; and the tool's peak memory.
//   bench_cli KORVALIS_CLI [WORKDIR] [FOLDERS]
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/bench_common.h"

using namespace korvalis;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_cli KORVALIS_CLI [WORKDIR] [FOLDERS]\n");
        return 2;
    }
    const std::string cli = argv[1];
    const std::filesystem::path work = argc > 2 ? argv[2] : "bench-work";
    const int folderCount = argc > 3 ? std::atoi(argv[3]) : 20000;
    const auto base = tools::BenchFleet(work, folderCount);
    const std::string command = "'" + cli + "' list --dir '" + base.string() + "' >/dev/null";

    const int files = tools::ScanFloor(base);
    const auto [floor, listTime] = tools::AlternatingMedians(
        9, [&] { tools::ScanFloor(base); },
        [&] {
            if (std::system(command.c_str()) != 0) std::fprintf(stderr, "korvalis-cli failed\n");
        });
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("fleet: %d folders, %d .air files\n", folderCount, files);
    std::printf("floor (one thread: enumerate + open/read 4 KiB/close): %.3f s\n", floor);
    std::printf("korvalis-cli list --dir (whole process):              %.3f s\n", listTime);
    std::printf("ratio list / floor: %.3f  (goal <= 1.0)\n", listTime / floor);
    std::printf("peak memory of korvalis-cli: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
