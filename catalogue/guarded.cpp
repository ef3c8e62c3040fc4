#include "catalogue/guarded.h"

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>

namespace korvalis::detail {

namespace {

struct Injected {
    std::atomic<bool> armed{false};  // every message asks: without a fault it takes no lock
    std::mutex mutex;
    std::string boundary;
    int count = 0;
    unsigned message = 0;
};
Injected g_injected;

}  // namespace

void InjectBoundaryFault(std::string_view boundary, int count, unsigned message)
{
    std::lock_guard<std::mutex> lock(g_injected.mutex);
    g_injected.boundary = boundary;
    g_injected.count = count;
    g_injected.message = message;
    g_injected.armed = count > 0;
}

void ThrowIfInjected(std::string_view boundary, unsigned message)
{
    if (!g_injected.armed.load(std::memory_order_relaxed)) return;
    {
        std::lock_guard<std::mutex> lock(g_injected.mutex);
        if (g_injected.count <= 0 || g_injected.boundary != boundary) return;
        if (g_injected.message != 0 && g_injected.message != message) return;
        g_injected.armed = --g_injected.count > 0;
    }
    throw std::runtime_error("injected fault");
}

}  // namespace korvalis::detail
