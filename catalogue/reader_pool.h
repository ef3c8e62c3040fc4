#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace korvalis {

// Starts a thread that runs `body`, or throws as std::thread does. The worker and the readers
// start their threads through one, so a test can make a start fail.
using ThreadStart = std::function<std::thread(std::function<void()> body)>;
std::thread StartThread(std::function<void()> body);

// Threads that read files for the scans, started at the first scan and kept until Shutdown,
// below normal priority. One task at a time, run by several of them at once. A reader the
// system holds in a read can be counted out: the pool no longer waits for it nor hands it work,
// and it ends on its own once its task returns.
class ReaderPool {
public:
    explicit ReaderPool(unsigned threads, ThreadStart start = StartThread);
    ~ReaderPool();
    ReaderPool(const ReaderPool&) = delete;
    ReaderPool& operator=(const ReaderPool&) = delete;

    [[nodiscard]] unsigned Size() const noexcept { return m_size; }
    // Has `count` readers (at most Size()) run `task`, which must not throw, and returns at
    // once. Readers counted out are replaced first. Throws when a reader cannot be started or
    // after Shutdown; no reader runs it then. The task is kept alive until every reader that
    // took it has come back, counted out or not.
    void Begin(std::function<void()> task, unsigned count);
    // Returns when every reader that took the task has come back from it; with a `grace`, at the
    // latest once it has passed, the readers still out counted out of the pool.
    void Wait(std::optional<std::chrono::milliseconds> grace = std::nullopt) noexcept;
    // Ends the idle readers and counts out any still in a task; for the program's end.
    void Shutdown() noexcept;

private:
    struct Core;
    struct Seat;
    struct Reader {
        std::thread thread;
        std::shared_ptr<Seat> seat;
    };
    static void ReaderMain(const std::shared_ptr<Core>& core, const std::shared_ptr<Seat>& seat) noexcept;
    void CountOutBusy() noexcept;  // with the core's lock held

    const unsigned m_size;
    ThreadStart m_start;
    std::shared_ptr<Core> m_core;  // shared with every reader, so one counted out outlives the pool
    std::vector<Reader> m_readers;
};

}  // namespace korvalis
