#pragma once

namespace korvalis {

// A reader thread as another thread can reach it, to ask the system to cancel a read it is
// blocked in. Under Windows a duplicate of the thread's own handle; elsewhere there is nothing to
// cancel with, and Cancel does nothing. The cancel is a courtesy: it may not interrupt the read.
class ReadCanceller {
public:
    ReadCanceller() noexcept = default;
    ~ReadCanceller();
    ReadCanceller(const ReadCanceller&) = delete;
    ReadCanceller& operator=(const ReadCanceller&) = delete;

    // On the reader's own thread, once.
    void HoldCallingThread() noexcept;
    // From any other thread.
    void Cancel() noexcept;

private:
    void* m_thread = nullptr;
};

}  // namespace korvalis
