#pragma once

#include <string>
#include <vector>

namespace korvalis {

// One text of the status bar's second part, with the lines its tooltip adds under it (where,
// what to do).
struct StatusNote {
    std::string text;
    std::vector<std::string> details;
};
using StatusNotes = std::vector<StatusNote>;

}  // namespace korvalis
