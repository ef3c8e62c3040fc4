#include "catalogue/read_cancel.h"

namespace korvalis {

// A blocked read(2) has no portable cancel short of a signal, which the readers do not take.
ReadCanceller::~ReadCanceller() = default;
void ReadCanceller::HoldCallingThread() noexcept { m_thread = nullptr; }  // nothing to hold
void ReadCanceller::Cancel() noexcept {}

}  // namespace korvalis
