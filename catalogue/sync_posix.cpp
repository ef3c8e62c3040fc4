#include <condition_variable>
#include <new>

#include "catalogue/sync.h"

namespace korvalis {

namespace {

std::mutex& MutexIn(unsigned char* storage) { return *std::launder(reinterpret_cast<std::mutex*>(storage)); }

std::condition_variable& ConditionIn(unsigned char* storage)
{
    return *std::launder(reinterpret_cast<std::condition_variable*>(storage));
}

}  // namespace

static_assert(sizeof(std::mutex) <= 64 && alignof(std::mutex) <= alignof(std::max_align_t));
static_assert(sizeof(std::condition_variable) <= 64 &&
              alignof(std::condition_variable) <= alignof(std::max_align_t));

SyncMutex::SyncMutex() noexcept { new (m_storage) std::mutex(); }
SyncMutex::~SyncMutex() { MutexIn(m_storage).~mutex(); }
void SyncMutex::lock() noexcept { MutexIn(m_storage).lock(); }
void SyncMutex::unlock() noexcept { MutexIn(m_storage).unlock(); }

SyncCondition::SyncCondition() noexcept { new (m_storage) std::condition_variable(); }
SyncCondition::~SyncCondition() { ConditionIn(m_storage).~condition_variable(); }

void SyncCondition::Wait(std::unique_lock<SyncMutex>& lock) noexcept
{
    // The standard condition wants its own lock type: lend it the mutex inside, held as it is.
    std::unique_lock<std::mutex> inner(MutexIn(lock.mutex()->m_storage), std::adopt_lock);
    ConditionIn(m_storage).wait(inner);
    inner.release();
}

void SyncCondition::WaitUntil(std::unique_lock<SyncMutex>& lock, Clock::time_point until) noexcept
{
    std::unique_lock<std::mutex> inner(MutexIn(lock.mutex()->m_storage), std::adopt_lock);
    ConditionIn(m_storage).wait_until(inner, until);
    inner.release();
}

void SyncCondition::NotifyOne() noexcept { ConditionIn(m_storage).notify_one(); }
void SyncCondition::NotifyAll() noexcept { ConditionIn(m_storage).notify_all(); }

}  // namespace korvalis
