#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "ui/airfile_listview.h"

namespace korvalis {

// Puts the marked rows on the clipboard as tab-separated text, in the order shown; with nothing
// marked the clipboard keeps what it has.
void CopyMarkedRows(HWND owner, const AirfileListView& rows, const std::string& aircraftDir);

// Starts Explorer, by its full path in the Windows folder, on the folder that holds `file`, with
// the file selected. 0 when started, else the system's error number.
std::int32_t OpenInExplorer(const std::filesystem::path& file);

}  // namespace korvalis
