// Esc during a scan whose reader the system holds in a read, as a share that stops answering
// does: natively a FIFO named stalled.air among ordinary files blocks its reader until it is
// answered, here 5 s after the scan began. At 0.3 s comes Esc (a stop request) or, in the
// other rounds, the window's close (the worker's Shutdown, which stops the work itself). Prints
// the time from Esc until the scan's end has been shown (its finished callback ran on this, the
// owner's, thread), and how long Shutdown took.
//   bench_stall [WORKDIR] [ROUNDS]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/memory_airfile_list.h"
#include "catalogue/catalogue.h"
#include "tools/bench_common.h"

using namespace korvalis;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Gives the FIFO's reader its end of file at `when`, or as soon after as one waits for it.
void AnswerAt(const std::filesystem::path& fifo, Clock::time_point when)
{
    std::this_thread::sleep_until(when);
    for (const auto until = Clock::now() + 10s; Clock::now() < until; std::this_thread::sleep_for(1ms)) {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            ::close(fd);
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path work = argc > 1 ? argv[1] : "bench-work";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::filesystem::path base = work / "stall-fleet";
    std::filesystem::remove_all(base);
    tools::GenerateFleet(base, 200, 24, 2);
    // In the folder listed first, so the scan's head stops there and every reader meets it soon.
    std::filesystem::path first;
    EnumerateFolderEntries(base, [&](const std::filesystem::path& name, std::optional<bool>) {
        if (first.empty()) first = name;
    });
    const std::filesystem::path fifo = base / first / "stalled.air";
    if (::mkfifo(fifo.c_str(), 0600) != 0) {
        std::perror("mkfifo");
        return 1;
    }

    std::vector<double> ends, shutdowns;
    for (int round = 0; round < 2 * rounds; ++round) {
        const bool close = round % 2 == 1;
        std::mutex mutex;
        std::condition_variable woken;
        bool pending = false;
        SessionState state;
        state.AircraftDir = PathToUtf8(base);
        MemoryAirfileList list;
        tools::QuietShell shell;
        Worker worker([&] {
            std::lock_guard<std::mutex> lock(mutex);
            pending = true;
            woken.notify_one();
            return true;
        });
        Catalogue catalogue(state, list, shell, worker);
        // The owner's loop: runs what the work posts until `until` or the work's end.
        const auto pump = [&](Clock::time_point until) {
            while (worker.Running() && Clock::now() < until) {
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    woken.wait_until(lock, until, [&] { return pending; });
                    pending = false;
                }
                worker.RunPosted();
            }
        };

        const auto start = Clock::now();
        std::thread answer(AnswerAt, fifo, start + 5s);
        catalogue.Load_Airfiles();
        pump(start + 300ms);
        const auto at = Clock::now();
        if (close) {
            worker.Shutdown();
            shutdowns.push_back(Ms(Clock::now() - at));
            std::printf("round %d: close, Shutdown %.1f ms\n", round / 2 + 1, shutdowns.back());
        } else {
            worker.RequestStop();
            pump(Clock::time_point::max());
            ends.push_back(Ms(Clock::now() - at));
            std::printf("round %d: Esc to the end shown %.1f ms, %d rows shown\n", round / 2 + 1, ends.back(),
                        list.Count());
        }
        answer.join();
    }
    std::sort(ends.begin(), ends.end());
    std::sort(shutdowns.begin(), shutdowns.end());
    std::printf("Esc to the end shown: median %.1f ms, max %.1f ms (goal <= 100 ms)\n", ends[ends.size() / 2],
                ends.back());
    std::printf("Shutdown at the close: median %.1f ms, max %.1f ms\n", shutdowns[shutdowns.size() / 2],
                shutdowns.back());
    return 0;
}
