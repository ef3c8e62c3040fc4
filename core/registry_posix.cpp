#include "core/registry.h"

namespace korvalis {

// There is no Windows registry here, so no simulator is ever recorded.
std::string RegReadValue(std::uint32_t, std::string_view, std::string_view)
{
    return std::string(RegReadErrorMarker);
}

}  // namespace korvalis
