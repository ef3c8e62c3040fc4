#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <thread>

#include "catalogue/reader_pool.h"
#include "catalogue/sync.h"

namespace korvalis {

// What a piece of work sees of its worker: whether to stop, and a way to hand results over.
class WorkControl {
public:
    virtual ~WorkControl() = default;
    [[nodiscard]] virtual bool StopRequested() const = 0;
    // `onStop` runs (on whichever thread asks) when a stop is asked for, until it is replaced;
    // an empty function takes it away. It must not block or throw.
    virtual void SetStopHandler(std::function<void()> onStop) = 0;
    // Runs `result` on the owner's thread, after everything posted before it.
    virtual void Post(std::function<void()> result) = 0;
};

// How many threads read the files of a scan.
unsigned ReaderThreadCount();

// Runs one piece of work at a time on a thread of its own. The work never touches what the
// owner's thread owns: it posts closures, and the owner runs them when `wake` tells it some wait,
// and every so often while work runs, since a wake-up lost at the end has nothing after it.
class Worker final : private WorkControl {
public:
    // `wake` is called on the worker's thread whenever results start waiting; it must not block,
    // and returns false when the wake-up could not be delivered: the worker then wakes again at
    // the next result and at the end. `start` starts the worker's thread and the `readers` of the scans.
    explicit Worker(std::function<bool()> wake, ThreadStart start = StartThread,
                    unsigned readers = ReaderThreadCount());
    ~Worker() override;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Starts `work` unless some is running or the worker has been shut down. `finished` runs on
    // the owner's thread after all the work posted, with true when the work failed: it threw, a
    // result it posted threw, or its thread could not be started.
    bool Start(std::function<void(WorkControl&)> work, std::function<void(bool failed)> finished);
    // From Start until its `finished` has run.
    [[nodiscard]] bool Running() const noexcept { return m_running; }
    // Asks the work to stop at its next safe point.
    void RequestStop() noexcept;
    // Stops the work, waits for it to end and drops what it posted: for the program's end.
    void Shutdown() noexcept;
    // On the owner's thread: runs the posted results in order. Calls made while a result runs
    // (a message box's own loop may call again) return at once; the outer call goes on.
    void RunPosted();
    // The threads that read files for a scan, kept from one scan to the next.
    [[nodiscard]] ReaderPool& Readers() noexcept { return m_readers; }

private:
    [[nodiscard]] bool StopRequested() const override { return m_stop; }
    void Post(std::function<void()> result) override;
    void SetStopHandler(std::function<void()> onStop) override;
    void ThreadMain() noexcept;
    void Wake() noexcept;

    std::function<bool()> m_wake;
    ThreadStart m_start;
    SyncMutex m_mutex;
    SyncCondition m_jobReady;
    std::function<void(WorkControl&)> m_job;
    std::function<void(bool)> m_finished;
    std::function<void()> m_onStop;
    std::deque<std::function<void()>> m_posted;
    // The work has ended: once m_posted is empty, the owner runs m_end with m_endFailed.
    bool m_ended = false;
    bool m_endFailed = false;
    std::function<void(bool)> m_end;
    std::atomic<bool> m_stop{false};
    bool m_quit = false;
    bool m_wakeFailed = false;    // the last wake-up was not delivered
    bool m_shutDown = false;      // owner's thread only
    bool m_running = false;       // owner's thread only
    bool m_inRunPosted = false;   // owner's thread only
    bool m_resultFailed = false;  // owner's thread only: a result of the running work threw
    std::thread m_thread;
    ReaderPool m_readers;
};

}  // namespace korvalis
