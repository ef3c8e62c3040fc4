#include "catalogue/reader_pool.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "catalogue/thread_priority.h"

namespace korvalis {

std::thread StartThread(std::function<void()> body) { return std::thread(std::move(body)); }

ReaderPool::ReaderPool(unsigned threads, ThreadStart start)
    : m_size(threads == 0 ? 1 : threads), m_start(std::move(start))
{
}

ReaderPool::~ReaderPool() { Shutdown(); }

void ReaderPool::Begin(std::function<void()> task, unsigned count)
{
    {
        std::lock_guard<SyncMutex> lock(m_mutex);
        if (m_quit) throw std::logic_error("the readers have been shut down");
    }
    // Every reader is started before any takes the task, so a start that fails leaves none
    // running it; those started wait for the next scan.
    m_threads.reserve(m_size);
    while (m_threads.size() < m_size) {
        m_threads.push_back(m_start([this] { ReaderMain(); }));
    }
    {
        std::lock_guard<SyncMutex> lock(m_mutex);
        m_task = std::move(task);
        m_unclaimed = count == 0 ? 1 : std::min(count, m_size);
        m_busy = m_unclaimed;
    }
    m_taskReady.NotifyAll();
}

void ReaderPool::Wait() noexcept
{
    std::unique_lock<SyncMutex> lock(m_mutex);
    m_taskDone.Wait(lock, [this] { return m_busy == 0; });
    m_task = nullptr;
}

void ReaderPool::Shutdown() noexcept
{
    {
        std::lock_guard<SyncMutex> lock(m_mutex);
        m_quit = true;
    }
    m_taskReady.NotifyAll();
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) thread.join();
    }
    m_threads.clear();
}

void ReaderPool::ReaderMain() noexcept
{
    LowerThreadPriority();
    std::unique_lock<SyncMutex> lock(m_mutex);
    for (;;) {
        m_taskReady.Wait(lock, [this] { return m_quit || m_unclaimed > 0; });
        if (m_unclaimed == 0) return;  // quit, with no task left to take
        --m_unclaimed;
        const std::function<void()>& task = m_task;
        lock.unlock();
        task();
        lock.lock();
        if (--m_busy == 0) m_taskDone.NotifyAll();
    }
}

}  // namespace korvalis
