#pragma once

#include <string_view>
#include <vector>

#include "catalogue/airfile_row.h"

namespace korvalis {

// Compares two UTF-8 names the same way on every system: each character by its simple case
// folding, runs of digits as numbers, and when that finds them equal, by their code points.
// Below 0 when `a` goes first, 0 when the names are the same, above 0 otherwise.
int CompareNames(std::string_view a, std::string_view b);

// Puts the rows in the one order of listings: by folder name, then by file name, each as
// CompareNames compares them.
void SortListed(std::vector<const AirfileRow*>& rows);

}  // namespace korvalis
