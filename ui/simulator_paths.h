#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/aircraft_dir.h"
#include "catalogue/session_state.h"
#include "core/registry.h"

namespace korvalis {

// Anything that answers like RegReadValue: root, key, value name in; text or RegReadErrorMarker out.
using RegistryReader =
    std::function<std::string(std::uint32_t root, std::string_view key, std::string_view valueName)>;

// Fills FS2002Path and FS2004Path from the simulators' "EXE Path" records, "" where a record
// cannot be read. Called once at start-up, before the start-up rule of the directory choice.
void Get_FSPath(SessionState& state, const RegistryReader& read = RegReadValue);

}  // namespace korvalis
