#include "core/marker_scan.h"

#include <cstring>

namespace korvalis {

std::size_t MarkerScanner::Feed(const std::uint8_t* data, std::size_t size)
{
    if (m_complete) return 0;
    std::size_t i = 0;
    while (i < size) {
        if (m_found) {
            // The byte right behind the marker is the type byte.
            m_typeByte = data[i];
            ++i;
            m_complete = true;
            break;
        }
        if (m_matched == 0) {
            // 05 occurs only at the marker's start, so a failed partial match restarts
            // from nothing or from this very byte; skipping to the next 05 is exact.
            const void* next = std::memchr(data + i, kTypeMarker[0], size - i);
            if (next == nullptr) {
                i = size;
                break;
            }
            i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - data) + 1;
            m_matched = 1;
            continue;
        }
        const std::uint8_t b = data[i];
        ++i;
        if (b == kTypeMarker[m_matched]) {
            if (++m_matched == kTypeMarker.size()) {
                m_found = true;
                m_markerOffset = m_consumed + i - kTypeMarker.size();
            }
        } else {
            m_matched = b == kTypeMarker[0] ? 1 : 0;
        }
    }
    for (std::size_t j = 0; m_keepDigest && j < i; ++j) {
        if (m_complete && j + 1 == i) m_markerDigest = m_digest;  // before the type byte joins
        m_digest = (m_digest ^ data[j]) * 0x100000001b3ull;       // FNV-1a
    }
    m_consumed += i;
    return i;
}

}  // namespace korvalis
