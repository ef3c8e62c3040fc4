#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>

namespace korvalis {

// A lock and a condition for the threads of the scan and the worker. On Windows they are the
// system's slim reader/writer lock and condition variable, which under Wine wait without a
// request to its server; elsewhere the standard ones, which ThreadSanitizer understands.
class SyncMutex {
public:
    SyncMutex() noexcept;
    ~SyncMutex();
    SyncMutex(const SyncMutex&) = delete;
    SyncMutex& operator=(const SyncMutex&) = delete;
    // The standard names, so std::lock_guard and std::unique_lock take it.
    void lock() noexcept;
    void unlock() noexcept;

private:
    friend class SyncCondition;
    alignas(std::max_align_t) unsigned char m_storage[64];
};

class SyncCondition {
public:
    using Clock = std::chrono::steady_clock;
    SyncCondition() noexcept;
    ~SyncCondition();
    SyncCondition(const SyncCondition&) = delete;
    SyncCondition& operator=(const SyncCondition&) = delete;

    // Waits with the lock held by `lock`; may wake without a notification, as the standard's.
    void Wait(std::unique_lock<SyncMutex>& lock) noexcept;
    void WaitUntil(std::unique_lock<SyncMutex>& lock, Clock::time_point until) noexcept;
    template <typename Ready>
    void Wait(std::unique_lock<SyncMutex>& lock, Ready ready)
    {
        while (!ready()) Wait(lock);
    }
    void NotifyOne() noexcept;
    void NotifyAll() noexcept;

private:
    alignas(std::max_align_t) unsigned char m_storage[64];
};

}  // namespace korvalis
