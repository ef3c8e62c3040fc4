#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/airfile_list.h"

namespace korvalis {

// The full path of a row's file, as "Write" builds it from AircraftDir.
std::filesystem::path RowPath(const std::string& aircraftDir, const AirfileRow& row);

// The rows at `positions` as a spreadsheet takes them: a header line, then per row its folder,
// file, type cell and full path, tab-separated, each line ended by CR LF. Names stay in the
// platform's own encoding; "" when there are no rows.
std::filesystem::path::string_type CopyText(const AirfileList& list, const std::vector<int>& positions,
                                            const std::string& aircraftDir);

}  // namespace korvalis
