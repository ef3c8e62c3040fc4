#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvalis {

// Where each simulator records its installation folder, below HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kFS2002Key =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0\\";
inline constexpr std::string_view kFS2004Key =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0\\";
inline constexpr std::string_view kExePathValue = "EXE Path";

// A record as read by RegReadValue, as the simulator's path: "" when it could not be read.
std::string RecordedPath(std::string value);

// `dir` ending in "\": the aircraft directory's text always does. Windows text on every platform.
std::string WithClosingSeparator(std::string dir);

// The aircraft directory of a simulator whose record says `simulatorPath`.
std::string SimulatorAircraftDir(std::string_view simulatorPath);

// The folder on disk that the Windows path `windowsPath` names inside the Wine prefix `prefix`:
// the drive through the prefix's dosdevices link, then each part matched to the names on disk
// ignoring case, as Wine does (the exact name wins over others; empty parts are skipped; a part
// nothing matches is kept as written). None when the path begins with no drive letter.
std::optional<std::filesystem::path> WinePrefixPath(const std::filesystem::path& prefix,
                                                    std::string_view windowsPath);

}  // namespace korvalis
