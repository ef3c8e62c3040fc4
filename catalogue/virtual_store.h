#pragma once

#include <string>

namespace korvalis {

// The folders Windows redirects old programs' writes for, and where it puts their copies, as
// UTF-8 text; each "" when unknown. Read once at start-up; on other systems all are "".
struct RedirectedFolders {
    std::string systemDrive;  // "C:"
    std::string programFiles;
    std::string programFilesX86;
    std::string programData;
    std::string windows;
    std::string localAppData;
};

RedirectedFolders SystemRedirectedFolders();

// The VirtualStore counterpart of the aircraft directory `dir`: when it lies on the system drive
// at or below one of the redirected folders, "LOCALAPPDATA\VirtualStore" followed by `dir` without
// its drive; "" when it has none.
std::string VirtualStoreCounterpart(const std::string& dir, const RedirectedFolders& folders);

}  // namespace korvalis
