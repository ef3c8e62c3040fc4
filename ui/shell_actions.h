#pragma once

#include <windows.h>

#include <string>

#include "ui/airfile_listview.h"

namespace korvalis {

// Puts the marked rows on the clipboard as tab-separated text, in the order shown; with nothing
// marked the clipboard keeps what it has.
void CopyMarkedRows(HWND owner, const AirfileListView& rows, const std::string& aircraftDir);

// Opens an Explorer window on the folder of the row at `index` (from 0), its file selected.
void OpenFolder(HWND owner, const AirfileListView& rows, int index, const std::string& aircraftDir);

}  // namespace korvalis
