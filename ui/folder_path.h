#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvalis {

// Full Windows paths, as GetFullPathNameW gives them, taken apart for the folder chooser.
// Wide text, since every part goes straight back into a Win32 call.

// The folders from the root down to `folder` itself, each as a full path: "C:\", "C:\FS9",
// "C:\FS9\Aircraft". A network folder's root is its share, "\\server\share".
std::vector<std::wstring> FolderChain(std::wstring_view folder);

// The entry the drive list shows while `folder` is open ("c:"). A network folder has no
// drive: the list stays on `shownBefore`, or, when it has shown none yet, on the drive of
// `windowsFolder`.
std::wstring DriveToShow(std::wstring_view folder, std::wstring_view shownBefore,
                         std::wstring_view windowsFolder);

}  // namespace korvalis
