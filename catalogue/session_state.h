#pragma once

#include <string>

namespace korvalis {

// What lives for the whole run. The main window owns one and hands it around by reference.
struct SessionState {
    std::string AircraftDir;  // UTF-8; empty until the first choice, then ends with the separator
    std::string FS2002Path;   // installation folders as recorded, "" when not recorded
    std::string FS2004Path;
    std::string DialogMode;  // "Dir" or "About", set right before the dialog opens
};

}  // namespace korvalis
