#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "catalogue/worker.h"

namespace korvalis {

// Stands in for a window's message loop where there is none (benchmarks, test programs): the
// worker wakes this loop, and the loop runs what the work posted, on the loop's own thread. As
// the window's timer does, the loop also looks every so often, should a wake-up be lost.
class WorkLoop {
public:
    explicit WorkLoop(ThreadStart start = StartThread) : m_worker([this] { return Wake(); }, std::move(start))
    {
    }

    Worker& GetWorker() noexcept { return m_worker; }

    // Runs what the worker posts until its work is over.
    void RunUntilIdle()
    {
        while (m_worker.Running()) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_woken.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_pending; });
                m_pending = false;
            }
            m_worker.RunPosted();
        }
    }

private:
    bool Wake()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = true;
        m_woken.notify_one();
        return true;
    }

    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_pending = false;
    Worker m_worker;  // after what its thread uses, so it goes first
};

}  // namespace korvalis
