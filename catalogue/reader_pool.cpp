#include "catalogue/reader_pool.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "catalogue/read_cancel.h"
#include "catalogue/sync.h"
#include "catalogue/thread_priority.h"

namespace korvalis {

std::thread StartThread(std::function<void()> body) { return std::thread(std::move(body)); }

struct ReaderPool::Core {
    SyncMutex mutex;
    SyncCondition taskReady;
    SyncCondition taskDone;
    std::shared_ptr<const std::function<void()>> task;
    unsigned unclaimed = 0;  // readers still to take the task
    unsigned busy = 0;       // readers of the pool inside it
    bool quit = false;
};

struct ReaderPool::Seat {
    ReadCanceller thread;
    bool busy = false;
    bool countedOut = false;
};

ReaderPool::ReaderPool(unsigned threads, ThreadStart start)
    : m_size(threads == 0 ? 1 : threads), m_start(std::move(start)), m_core(std::make_shared<Core>())
{
}

ReaderPool::~ReaderPool() { Shutdown(); }

void ReaderPool::Begin(std::function<void()> task, unsigned count)
{
    {
        std::lock_guard<SyncMutex> lock(m_core->mutex);
        if (m_core->quit) throw std::logic_error("the readers have been shut down");
    }
    // Every reader is started before any takes the task, so a start that fails leaves none
    // running it; those started wait for the next scan.
    m_readers.reserve(m_size);
    while (m_readers.size() < m_size) {
        auto seat = std::make_shared<Seat>();
        m_readers.push_back(Reader{m_start([core = m_core, seat] { ReaderMain(core, seat); }), seat});
    }
    auto shared = std::make_shared<const std::function<void()>>(std::move(task));
    {
        std::lock_guard<SyncMutex> lock(m_core->mutex);
        m_core->task = std::move(shared);
        m_core->unclaimed = count == 0 ? 1 : std::min(count, m_size);
        m_core->busy = 0;
    }
    m_core->taskReady.NotifyAll();
}

void ReaderPool::Wait(std::optional<std::chrono::milliseconds> grace) noexcept
{
    std::shared_ptr<const std::function<void()>> task;
    {
        std::unique_lock<SyncMutex> lock(m_core->mutex);
        const auto back = [this] { return m_core->busy == 0 && m_core->unclaimed == 0; };
        if (!grace) {
            m_core->taskDone.Wait(lock, back);
        } else {
            const auto until = SyncCondition::Clock::now() + *grace;
            while (!back() && SyncCondition::Clock::now() < until) m_core->taskDone.WaitUntil(lock, until);
        }
        m_core->unclaimed = 0;  // a reader that has not taken the task by now never will
        CountOutBusy();
        task.swap(m_core->task);
    }
    // The task goes outside the lock: should it be the last share, it frees the scan's state.
}

void ReaderPool::Shutdown() noexcept
{
    std::vector<Reader> idle;
    {
        std::lock_guard<SyncMutex> lock(m_core->mutex);
        m_core->quit = true;
        m_core->unclaimed = 0;
        CountOutBusy();
        idle.swap(m_readers);
    }
    m_core->taskReady.NotifyAll();
    for (Reader& reader : idle) {
        if (reader.thread.joinable()) reader.thread.join();
    }
}

void ReaderPool::CountOutBusy() noexcept
{
    // A reader still out is in a read the system holds (a stalled share): nobody waits for it.
    // Its own shares of the pool's state and of its task keep what it uses alive.
    const auto out = std::remove_if(m_readers.begin(), m_readers.end(), [](Reader& reader) {
        if (!reader.seat->busy) return false;
        reader.seat->countedOut = true;
        reader.seat->thread.Cancel();
        reader.thread.detach();
        return true;
    });
    m_readers.erase(out, m_readers.end());
    m_core->busy = 0;
}

void ReaderPool::ReaderMain(const std::shared_ptr<Core>& core, const std::shared_ptr<Seat>& seat) noexcept
{
    LowerThreadPriority();
    std::unique_lock<SyncMutex> lock(core->mutex);
    seat->thread.HoldCallingThread();
    for (;;) {
        core->taskReady.Wait(lock, [&] { return core->quit || core->unclaimed > 0; });
        if (core->quit) return;
        --core->unclaimed;
        ++core->busy;
        seat->busy = true;
        std::shared_ptr<const std::function<void()>> task = core->task;
        lock.unlock();
        (*task)();
        task.reset();
        lock.lock();
        seat->busy = false;
        if (seat->countedOut) return;  // its scan is over; the pool has let it go
        if (--core->busy == 0 && core->unclaimed == 0) core->taskDone.NotifyAll();
    }
}

}  // namespace korvalis
