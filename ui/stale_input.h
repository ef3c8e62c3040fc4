#pragma once

#include <cstdint>

namespace korvalis {

// Which input is dropped after work ends: the keys and clicks that waited in the queue while it
// ran, and nothing after. Times are tick counts in milliseconds, as messages are stamped; they
// wrap after about 49.7 days, so they are only ever compared by difference.
class StaleInput {
public:
    // Work has started: nothing is dropped while it runs.
    void WorkStarted() noexcept { m_armed = false; }
    // Work has ended at tick `now`.
    void WorkEnded(std::uint32_t now) noexcept
    {
        m_armed = true;
        m_endedAt = now;
    }
    // Whether input stamped `time`, taken from the queue at tick `now`, is dropped.
    bool Drop(std::uint32_t time, std::uint32_t now) noexcept;

private:
    bool m_armed = false;
    std::uint32_t m_endedAt = 0;
};

}  // namespace korvalis
