#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "catalogue/airfile_row.h"
#include "catalogue/enumerate.h"
#include "catalogue/reader_pool.h"
#include "catalogue/update_pace.h"
#include "catalogue/worker.h"
#include "core/airfile.h"

namespace korvalis {

// A file or folder the scan could not read, with the system's error number.
struct ScanFailure {
    std::filesystem::path folder;  // the sub-folder's name ("" for the aircraft directory itself)
    std::filesystem::path file;    // the file's name; "" for a folder that could not be listed
    std::int32_t error = 0;
};

// What a scan of an aircraft directory found.
struct ScanReport {
    bool found = false;  // some file's name passed the ".air" test
    int noMarker = 0;    // .air files read to their end without a type marker
    int unreadable = 0;  // .air files that could not be opened or read
    int unlistable = 0;  // sub-folders that could not be listed
    // The first of each in scan order (folder order, then file order).
    ScanFailure firstUnreadable;
    ScanFailure firstUnlistable;
    bool baseUnlistable = false;  // the aircraft directory itself could not be listed
    bool baseBrokeOff = false;    // its listing broke off after `folders` folders
    std::int32_t baseError = 0;   // why, for either
    int folders = 0;              // sub-folders listed
    int foldersRead = 0;          // of them, read to the end, in order
    bool stopped = false;
    bool fault = false;  // ended by an exception; the counts say how far it got
    std::filesystem::path store;  // the VirtualStore counterpart looked into; "" when none
    int copies = 0;               // listed .air files that have a copy there
    int storeOnlyFolders = 0;     // its sub-folders that the aircraft directory lacks
    // The first sub-folder listed, "" when none.
    std::filesystem::path firstFolder;
};

// Where a scan looks: the aircraft directory and its VirtualStore counterpart, "" when it has none.
struct ScanDirs {
    // Not explicit: a directory alone is one without a counterpart.
    ScanDirs(std::filesystem::path baseDir, std::filesystem::path storeDir = {})
        : base(std::move(baseDir)), store(std::move(storeDir))
    {
    }
    std::filesystem::path base;
    std::filesystem::path store;
};

// Where the rows of a scan go, called on the scanning thread.
class ScanSink {
public:
    virtual ~ScanSink() = default;
    virtual void FoldersListed(int folders) = 0;
    // The next rows in scan order; foldersRead counts the folders read to their end so far.
    virtual void Rows(RowBatch rows, int foldersRead) = 0;
    // Whether the window has not yet taken the last rows handed over.
    [[nodiscard]] virtual bool WindowBusy() const { return false; }
};

// What the scan asks of the file system, each as enumerate.h and ReadAirfileTypeOf say. The
// readers call it, so it must outlive every reader of a scan; the real one lives as long as the
// program.
class ScanFileSystem {
public:
    virtual ~ScanFileSystem() = default;
    virtual bool ListEntries(const std::filesystem::path& folder, const EntryCallback& each,
                             std::int32_t* error) const = 0;
    virtual bool ListAirFiles(const std::filesystem::path& folder, const NameCallback& each,
                              std::int32_t* error) const = 0;
    virtual AirfileRead ReadType(const std::filesystem::path& file, const StopCheck& stop) const = 0;
};
const ScanFileSystem& RealFileSystem();

// Rows for every .air file one folder below `base` that holds a type byte, in the scan's order:
// sub-folders as the folder enumeration returns them (hidden and system ones left out), files as
// each folder's "*.air" enumeration returns them. The sub-folders are all listed first; their
// files are then read by the `readers`, handed out in order, and the rows come back in order,
// in batches at the `pace` UpdateDue sets. Stops between two files when the control says so,
// and then returns without waiting for a reader the system holds in a read. Does not throw: a
// fault ends the scan with `fault` set and the counts of what was handed over. With a `store`, it
// is listed once, and each of its sub-folders named like a listed one (case ignored, as by the
// file system) once more: a row whose file it holds a copy of gets the copy's names and type.
ScanReport ScanAircraftDir(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink,
                           const PaceTimes& pace = {}, const ScanFileSystem& files = RealFileSystem());
// The same with `readers` threads of its own, for the tests and benchmarks.
ScanReport ScanAircraftDir(const ScanDirs& dirs, unsigned readers, WorkControl& control, ScanSink& sink,
                           const PaceTimes& pace = {}, const ScanFileSystem& files = RealFileSystem());

}  // namespace korvalis
