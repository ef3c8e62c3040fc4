// Memory while reading a very large .air file: a sparse file of the given size (default
// 1 GiB) with the type marker near its end, read by ReadAirfileType. Linux only (it reads
// the peak resident size from /proc).
//   bench_sparse [WORKDIR] [MIB]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/airfile.h"
#include "core/marker_scan.h"

namespace fs = std::filesystem;

namespace {

// Peak resident set size so far (VmHWM).
double PeakResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;  // KiB
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    const fs::path work = argc > 1 ? argv[1] : "bench-work";
    const std::uint64_t mib = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
    const std::uint64_t size = mib * 1024 * 1024;
    fs::create_directories(work);
    const fs::path air = work / "sparse.air";

    // Holes read as zeros and take no disk; only the marker's page is real.
    {
        std::ofstream out(air, std::ios::binary | std::ios::trunc);
    }
    fs::resize_file(air, size);
    {
        std::fstream out(air, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(static_cast<std::streamoff>(size - 4096));
        out.write(reinterpret_cast<const char*>(korvalis::kTypeMarker.data()), korvalis::kTypeMarker.size());
        out.put(2);
    }

    const double before = PeakResidentMiB();
    const auto start = std::chrono::steady_clock::now();
    const std::string type = korvalis::ReadAirfileType(air);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double after = PeakResidentMiB();
    fs::remove(air);

    std::printf("file: %llu MiB sparse, marker %u bytes before the end\n",
                static_cast<unsigned long long>(mib), 4096u);
    std::printf("ReadAirfileType: \"%s\" in %.2f s (%.0f MiB/s)\n", type.c_str(), seconds,
                static_cast<double>(mib) / seconds);
    std::printf("peak resident: %.1f MiB before the read, %.1f MiB after (grew %.1f MiB; target < 32 MiB)\n",
                before, after, after - before);
    return type == "2" ? 0 : 1;
}
