#pragma once

#include <chrono>
#include <filesystem>
#include <vector>

#include "catalogue/airfile_row.h"
#include "catalogue/worker.h"

namespace korvalis {

// What a scan of an aircraft directory found.
struct ScanReport {
    bool found = false;   // some file's name passed the ".air" test
    int unlisted = 0;     // .air files without a type marker, or unreadable
    int folders = 0;      // sub-folders listed
    int foldersRead = 0;  // of them, read to the end, in order
    bool stopped = false;
};

// Where the rows of a scan go, called on the scanning thread.
class ScanSink {
public:
    virtual ~ScanSink() = default;
    virtual void FoldersListed(int folders) = 0;
    // The next rows in scan order; foldersRead counts the folders read to their end so far.
    virtual void Rows(std::vector<AirfileRow> rows, int foldersRead) = 0;
};

// Rows for every .air file one folder below `base` that holds a type byte, in the scan's order:
// sub-folders as the folder enumeration returns them (hidden and system ones left out), files as
// each folder's "*.air" enumeration returns them. The sub-folders are all listed first; their
// files are then read by `readers` threads, handed out in order, and the rows come back in order,
// in batches at most `interval` apart. Stops between two files when the control says so.
ScanReport ScanAircraftDir(const std::filesystem::path& base, unsigned readers, WorkControl& control,
                           ScanSink& sink,
                           std::chrono::milliseconds interval = std::chrono::milliseconds(40));

}  // namespace korvalis
