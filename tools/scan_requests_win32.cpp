// The scan's work under Wine without the window, for counting the Wine server's requests:
// rounds alternate one thread's floor (enumerate, open, read 4 KiB, close per file) with a scan
// on the worker and its readers into an in-memory list, each between two named events that a
// `wineserver -d2` trace shows (tools/scan_requests.sh counts them).
//   scan_requests FLEET READERS [ROUNDS]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/airfile_list.h"
#include "catalogue/scan.h"
#include "tools/bench_common.h"
#include "tests/support/memory_airfile_list.h"

using namespace korvalis;
using Clock = std::chrono::steady_clock;

namespace {

// The trace shows the event's name; the handle is closed at once.
void Mark(const std::wstring& name)
{
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, (L"krvl-" + name).c_str());
    if (event != nullptr) ::CloseHandle(event);
}

// Hands the rows to the loop's thread in posted batches, as the program does.
class ListSink final : public ScanSink {
public:
    ListSink(WorkControl& control, MemoryAirfileList& list) : m_control(control), m_list(list) {}
    void FoldersListed(int) override {}
    void Rows(RowBatch rows, int) override
    {
        m_control.Post([&list = m_list, rows = std::make_shared<RowBatch>(std::move(rows))] {
            if (!rows->empty()) list.Append(std::move(*rows));
        });
    }

private:
    WorkControl& m_control;
    MemoryAirfileList& m_list;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: scan_requests FLEET READERS [ROUNDS]\n");
        return 2;
    }
    const std::filesystem::path fleet = argv[1];
    const unsigned readers = static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10));
    const int rounds = argc > 3 ? static_cast<int>(std::wcstol(argv[3], nullptr, 10)) : 3;

    // The loop's thread waits for the worker's wake the way a window's thread waits for a message.
    const DWORD loopThread = ::GetCurrentThreadId();
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives this thread its queue
    Worker worker([loopThread] { return ::PostThreadMessageW(loopThread, WM_APP, 0, 0) != FALSE; }, StartThread,
                  readers);
    MemoryAirfileList list;
    const auto scan = [&] {
        list.RemoveAll();
        worker.Start(
            [&](WorkControl& control) {
                ListSink sink(control, list);
                ScanAircraftDir(fleet, worker.Readers(), control, sink);
            },
            [](bool) {});
        while (worker.Running() && ::GetMessageW(&message, nullptr, 0, 0) > 0) worker.RunPosted();
    };
    scan();  // the readers start here, once, as at the program's first scan
    const int files = tools::ScanFloor(fleet);
    std::vector<double> floors, scans;
    for (int round = 1; round <= rounds; ++round) {
        const std::wstring n = std::to_wstring(round);
        Mark(L"floor-begin-" + n);
        auto start = Clock::now();
        tools::ScanFloor(fleet);
        floors.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        Mark(L"floor-end-" + n);
        Mark(L"scan-begin-" + n);
        start = Clock::now();
        scan();
        scans.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        Mark(L"scan-end-" + n);
    }
    std::printf("%d files, %d rows, %u readers\n", files, list.Count(), readers);
    for (std::size_t i = 0; i < floors.size(); ++i)
        std::printf("round %zu: floor %.3f s, scan %.3f s, ratio %.3f\n", i + 1, floors[i], scans[i],
                    scans[i] / floors[i]);
    return 0;
}
