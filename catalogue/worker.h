#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace korvalis {

// What a piece of work sees of its worker: whether to stop, and a way to hand results over.
class WorkControl {
public:
    virtual ~WorkControl() = default;
    [[nodiscard]] virtual bool StopRequested() const = 0;
    // `onStop` runs (on whichever thread asks) when a stop is asked for, until it is replaced;
    // an empty function takes it away. It must not block.
    virtual void SetStopHandler(std::function<void()> onStop) = 0;
    // Runs `result` on the owner's thread, after everything posted before it.
    virtual void Post(std::function<void()> result) = 0;
};

// Runs one piece of work at a time on a thread of its own. The work never touches what the
// owner's thread owns: it posts closures, and the owner runs them when `wake` tells it some wait.
// The name the worker's thread gives its guard, for the tests.
inline constexpr char kWorkerBoundary[] = "worker";

class Worker final : private WorkControl {
public:
    // `wake` is called on the worker's thread whenever results start waiting; it must not block.
    explicit Worker(std::function<void()> wake);
    ~Worker() override;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Starts `work` unless some is running. `finished` runs on the owner's thread after all the
    // work posted, with true when the work failed with an exception.
    bool Start(std::function<void(WorkControl&)> work, std::function<void(bool failed)> finished);
    // From Start until its `finished` has run.
    [[nodiscard]] bool Running() const noexcept { return m_running; }
    // Asks the work to stop at its next safe point.
    void RequestStop();
    // Stops the work, waits for it to end and drops what it posted: for the program's end.
    void Shutdown();
    // On the owner's thread: runs the posted results in order. Calls made while a result runs
    // (a message box's own loop may call again) return at once; the outer call goes on.
    void RunPosted();

private:
    [[nodiscard]] bool StopRequested() const override { return m_stop; }
    void Post(std::function<void()> result) override;
    void SetStopHandler(std::function<void()> onStop) override;
    void ThreadMain();

    std::function<void()> m_wake;
    std::mutex m_mutex;
    std::condition_variable m_jobReady;
    std::function<void(WorkControl&)> m_job;
    std::function<void(bool)> m_finished;
    std::function<void()> m_onStop;
    std::deque<std::function<void()>> m_posted;
    std::atomic<bool> m_stop{false};
    bool m_quit = false;
    bool m_running = false;      // owner's thread only
    bool m_inRunPosted = false;  // owner's thread only
    std::thread m_thread;
};

// How many threads read the files of a scan: at least two, more with more processors, a handful
// at most.
unsigned ReaderThreadCount();

}  // namespace korvalis
