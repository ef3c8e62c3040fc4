#pragma once

#include <string_view>

#include "catalogue/airfile_row.h"

namespace korvalis {

// Compares two UTF-8 names the same way on every system: each character by its simple case
// folding, runs of digits as numbers, and when that finds them equal, by their code points.
// Below 0 when `a` goes first, 0 when the names are the same, above 0 otherwise.
int CompareNames(std::string_view a, std::string_view b);

// The rows' one order for listings: by folder name, then by file name, each by CompareNames.
bool ListedBefore(const AirfileRow& a, const AirfileRow& b);

}  // namespace korvalis
