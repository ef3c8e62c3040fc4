#include <windows.h>

#include <new>

#include "catalogue/sync.h"

namespace korvalis {

namespace {

SRWLOCK* LockIn(unsigned char* storage) { return std::launder(reinterpret_cast<SRWLOCK*>(storage)); }

CONDITION_VARIABLE* ConditionIn(unsigned char* storage)
{
    return std::launder(reinterpret_cast<CONDITION_VARIABLE*>(storage));
}

}  // namespace

SyncMutex::SyncMutex() noexcept { ::InitializeSRWLock(new (m_storage) SRWLOCK); }
SyncMutex::~SyncMutex() = default;  // a slim lock holds no resource
void SyncMutex::lock() noexcept { ::AcquireSRWLockExclusive(LockIn(m_storage)); }
void SyncMutex::unlock() noexcept { ::ReleaseSRWLockExclusive(LockIn(m_storage)); }

SyncCondition::SyncCondition() noexcept { ::InitializeConditionVariable(new (m_storage) CONDITION_VARIABLE); }
SyncCondition::~SyncCondition() = default;

void SyncCondition::Wait(std::unique_lock<SyncMutex>& lock) noexcept
{
    ::SleepConditionVariableSRW(ConditionIn(m_storage), LockIn(lock.mutex()->m_storage), INFINITE, 0);
}

void SyncCondition::WaitUntil(std::unique_lock<SyncMutex>& lock, Clock::time_point until) noexcept
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return;
    const DWORD wait = left >= static_cast<long long>(INFINITE - 1) ? INFINITE - 1 : static_cast<DWORD>(left);
    ::SleepConditionVariableSRW(ConditionIn(m_storage), LockIn(lock.mutex()->m_storage), wait, 0);
}

void SyncCondition::NotifyOne() noexcept { ::WakeConditionVariable(ConditionIn(m_storage)); }
void SyncCondition::NotifyAll() noexcept { ::WakeAllConditionVariable(ConditionIn(m_storage)); }

}  // namespace korvalis
