#include "catalogue/guarded.h"

#include <atomic>
#include <stdexcept>

namespace korvalis::detail {

namespace {

struct Injected {
    std::atomic<int> count{0};
    std::atomic<unsigned> message{0};
};
Injected g_injected[4];

}  // namespace

void InjectBoundaryFault(Boundary kind, int count, unsigned message)
{
    Injected& slot = g_injected[static_cast<int>(kind)];
    slot.message = message;
    slot.count = count;
}

void ThrowIfInjected(Boundary kind, unsigned message)
{
    Injected& slot = g_injected[static_cast<int>(kind)];
    if (slot.count.load(std::memory_order_relaxed) <= 0) return;
    if (slot.message != 0 && slot.message != message) return;
    if (slot.count.fetch_sub(1) > 0) throw std::runtime_error("injected fault");
}

}  // namespace korvalis::detail
