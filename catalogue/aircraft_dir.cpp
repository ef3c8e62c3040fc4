#include "catalogue/aircraft_dir.h"

#include "core/registry.h"
#include "core/text.h"

namespace korvalis {

std::string RecordedPath(std::string value) { return value == RegReadErrorMarker ? std::string() : value; }

std::string WithClosingSeparator(std::string dir)
{
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    return dir;
}

std::string SimulatorAircraftDir(std::string_view simulatorPath)
{
    // The folder is named in lower case here, unlike the "\Aircraft" of the menu entry's caption.
    return WithClosingSeparator(std::string(simulatorPath) + "\\aircraft\\");
}

}  // namespace korvalis
