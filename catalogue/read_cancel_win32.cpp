#include <windows.h>

#include "catalogue/read_cancel.h"

namespace korvalis {

ReadCanceller::~ReadCanceller()
{
    if (m_thread != nullptr) ::CloseHandle(m_thread);
}

void ReadCanceller::HoldCallingThread() noexcept
{
    // GetCurrentThread is a pseudo handle that means "me" to whoever uses it: only a duplicate
    // names this thread to another one.
    HANDLE self = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self,
                          THREAD_TERMINATE, FALSE, 0))
        m_thread = self;
}

void ReadCanceller::Cancel() noexcept
{
    // Under Wine a blocked read is a host read() that this does not interrupt.
    if (m_thread != nullptr) ::CancelSynchronousIo(m_thread);
}

}  // namespace korvalis
