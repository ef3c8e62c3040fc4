#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/airfile_list.h"

namespace korvalis {

// The full path of a row's file, as "Write" builds it from AircraftDir.
std::filesystem::path RowPath(const std::string& aircraftDir, const AirfileRow& row);

// The full path of a row's copy in the VirtualStore `storeDir`; "" when it has none.
std::filesystem::path CopyPath(const std::filesystem::path& storeDir, const AirfileRow& row);

// What a row's tooltip adds under each cell's own text, one line each: what its copy in the
// VirtualStore holds when that differs from its file, and why its last write or restore failed.
std::string RowTipLines(const AirfileRow& row);

// The rows at `positions` as a spreadsheet takes them: a header line, then per row its folder,
// file, type cell and full path, tab-separated, each line ended by CR LF. Names stay in the
// platform's own encoding; "" when there are no rows.
std::filesystem::path::string_type CopyText(const AirfileList& list, const std::vector<int>& positions,
                                            const std::string& aircraftDir);

}  // namespace korvalis
