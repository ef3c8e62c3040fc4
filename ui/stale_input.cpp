#include "ui/stale_input.h"

namespace korvalis {

bool StaleInput::Drop(std::uint32_t time, std::uint32_t now) noexcept
{
    if (!m_armed) return false;
    // Ages back from now, so neither a wrap of the tick count nor a long idle after the end can
    // make a new message look old. Input comes in the order it was made: once one made after
    // the end has come, none made before it is left, and nothing more is compared.
    // A stamp a tick ahead of the clock read (two clocks under Wine) is a new message.
    const std::uint32_t age = static_cast<std::int32_t>(now - time) < 0 ? 0 : now - time;
    const std::uint32_t sinceEnd = now - m_endedAt;
    if (age > sinceEnd) return true;
    m_armed = false;
    return false;
}

}  // namespace korvalis
