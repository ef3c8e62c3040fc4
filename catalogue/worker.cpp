#include "catalogue/worker.h"

#include <algorithm>
#include <utility>

#include "catalogue/guarded.h"

namespace korvalis {

Worker::Worker(std::function<bool()> wake, ThreadStart start, unsigned readers)
    : m_wake(std::move(wake)), m_start(start), m_readers(readers, std::move(start))
{
}

Worker::~Worker() { Shutdown(); }

bool Worker::Start(std::function<void(WorkControl&)> work, std::function<void(bool failed)> finished)
{
    if (m_running || m_shutDown) return false;
    m_stop = false;
    m_resultFailed = false;
    {
        std::lock_guard<SyncMutex> lock(m_mutex);
        m_job = std::move(work);
        m_finished = std::move(finished);
    }
    if (!m_thread.joinable()) {
        try {
            m_thread = m_start([this] { ThreadMain(); });
        } catch (...) {
            // Without a thread the work fails as if it had thrown: its end comes the usual way,
            // so the owner's busy state is undone where it always is.
            {
                std::lock_guard<SyncMutex> lock(m_mutex);
                m_job = nullptr;
                m_end.swap(m_finished);
                m_endFailed = true;
                m_ended = true;
            }
            m_running = true;
            Wake();
            return true;
        }
    }
    m_running = true;
    m_jobReady.NotifyOne();
    return true;
}

void Worker::RequestStop() noexcept
{
    std::lock_guard<SyncMutex> lock(m_mutex);
    m_stop = true;
    if (m_onStop) m_onStop();
}

void Worker::SetStopHandler(std::function<void()> onStop)
{
    std::lock_guard<SyncMutex> lock(m_mutex);
    m_onStop.swap(onStop);
}

void Worker::Shutdown() noexcept
{
    m_shutDown = true;
    RequestStop();
    {
        std::lock_guard<SyncMutex> lock(m_mutex);
        m_quit = true;
    }
    m_jobReady.NotifyAll();
    if (m_thread.joinable()) m_thread.join();
    m_readers.Shutdown();
    std::lock_guard<SyncMutex> lock(m_mutex);
    m_posted.clear();
    m_wakeFailed = false;
    m_ended = false;
    m_end = nullptr;
    m_running = false;
}

void Worker::Post(std::function<void()> result)
{
    bool wake = false;
    {
        std::lock_guard<SyncMutex> lock(m_mutex);
        // One wake-up for a run of results, as the owner takes them all at once; but one that
        // was lost is tried again, or the run would wait for good.
        wake = (m_posted.empty() && !m_ended) || m_wakeFailed;
        m_posted.push_back(std::move(result));
    }
    if (wake) Wake();
}

void Worker::Wake() noexcept
{
    const bool delivered = Guarded([this] { return m_wake(); }, []() noexcept { return false; });
    std::lock_guard<SyncMutex> lock(m_mutex);
    m_wakeFailed = !delivered;
}

void Worker::RunPosted()
{
    if (m_inRunPosted) return;
    m_inRunPosted = true;
    // Whatever a result does, the next call runs again.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inRunPosted};
    for (;;) {
        std::function<void()> next;
        std::function<void(bool)> end;
        bool ended = false;
        bool failed = false;
        {
            std::lock_guard<SyncMutex> lock(m_mutex);
            if (!m_posted.empty()) {
                next = std::move(m_posted.front());
                m_posted.pop_front();
            } else if (m_ended) {
                ended = true;
                m_ended = false;
                end.swap(m_end);
                failed = m_endFailed;
            } else {
                break;
            }
        }
        if (ended) {
            m_running = false;
            if (end) end(failed || std::exchange(m_resultFailed, false));
            continue;
        }
        // A result that throws fails the work: it is asked to stop, and its end reports the fault
        // once, however many results throw.
        Guarded([&] { next(); },
                [this]() noexcept {
                    m_resultFailed = true;
                    RequestStop();
                });
    }
}

void Worker::ThreadMain() noexcept
{
    for (;;) {
        std::function<void(WorkControl&)> job;
        std::function<void(bool)> finished;
        {
            std::unique_lock<SyncMutex> lock(m_mutex);
            m_jobReady.Wait(lock, [this] { return m_quit || m_job; });
            if (m_quit) return;
            job.swap(m_job);
            finished.swap(m_finished);
        }
        const bool failed = Guarded(
            [&] {
                job(*this);
                return false;
            },
            [] { return true; });
        job = nullptr;
        // The end is kept aside, not posted: it needs no memory, so it cannot fail to arrive.
        bool wake = false;
        {
            std::lock_guard<SyncMutex> lock(m_mutex);
            m_onStop = nullptr;
            m_end.swap(finished);
            m_endFailed = failed;
            m_ended = true;
            wake = m_posted.empty() || m_wakeFailed;
        }
        if (wake) Wake();
    }
}

// Readers mostly wait for the file system, so one more than there are processors keeps them
// busy: natively on two processors three readers took 0.47 to 0.56 of one thread's floor, one
// reader 1.02 to 1.18. Under Wine they now cost the server no request beyond the files' own (5.55
// per file with one, two or three readers, against 5.51 for the floor), and their time was the
// same within that day's noise, so both builds keep the same count.
unsigned ReaderThreadCount() { return std::clamp(std::thread::hardware_concurrency() + 1, 2u, 6u); }

}  // namespace korvalis
