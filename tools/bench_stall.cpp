// Esc during a scan whose reader the system holds in a read, as a share that stops answering
// does: natively a FIFO named stalled.air among ordinary files blocks its reader until it is
// answered, here 5 s after the scan began. Esc (a stop request) comes at 0.3 s. Prints, per
// round, the time from Esc until the scan's end has been shown (its finished callback ran on
// this, the owner's, thread) and how long the worker's Shutdown then took.
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

#include "catalogue/airfile_list.h"
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
    for (int round = 0; round < rounds; ++round) {
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
        const auto esc = Clock::now();
        worker.RequestStop();
        pump(Clock::time_point::max());
        const auto shown = Clock::now();
        worker.Shutdown();
        const auto down = Clock::now();
        answer.join();
        ends.push_back(Ms(shown - esc));
        shutdowns.push_back(Ms(down - shown));
        std::printf("round %d: Esc to the end shown %.1f ms, Shutdown %.1f ms, %d rows shown\n", round + 1,
                    ends.back(), shutdowns.back(), list.Count());
    }
    std::sort(ends.begin(), ends.end());
    std::sort(shutdowns.begin(), shutdowns.end());
    std::printf("Esc to the end shown: median %.1f ms, max %.1f ms (goal <= 100 ms)\n", ends[ends.size() / 2],
                ends.back());
    std::printf("Shutdown: median %.1f ms, max %.1f ms\n", shutdowns[shutdowns.size() / 2], shutdowns.back());
    return 0;
}
