#pragma once

#include <functional>
#include <thread>
#include <vector>

#include "catalogue/sync.h"

namespace korvalis {

// Starts a thread that runs `body`, or throws as std::thread does. The worker and the readers
// start their threads through one, so a test can make a start fail.
using ThreadStart = std::function<std::thread(std::function<void()> body)>;
std::thread StartThread(std::function<void()> body);

// Threads that read files for the scans, started at the first scan and kept until Shutdown,
// below normal priority. One task at a time, run by several of them at once.
class ReaderPool {
public:
    explicit ReaderPool(unsigned threads, ThreadStart start = StartThread);
    ~ReaderPool();
    ReaderPool(const ReaderPool&) = delete;
    ReaderPool& operator=(const ReaderPool&) = delete;

    [[nodiscard]] unsigned Size() const noexcept { return m_size; }
    // Has `count` readers (at most Size()) run `task`, which must not throw, and returns at
    // once. Throws when a reader cannot be started or after Shutdown; no reader runs it then.
    void Begin(std::function<void()> task, unsigned count);
    // Returns when every reader that took the task has come back from it.
    void Wait() noexcept;
    // Ends the readers, after their task; for the program's end.
    void Shutdown() noexcept;

private:
    void ReaderMain() noexcept;

    const unsigned m_size;
    ThreadStart m_start;
    SyncMutex m_mutex;
    SyncCondition m_taskReady;
    SyncCondition m_taskDone;
    std::function<void()> m_task;
    unsigned m_unclaimed = 0;  // readers still to take the task
    unsigned m_busy = 0;       // readers that took it and have not come back
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

}  // namespace korvalis
