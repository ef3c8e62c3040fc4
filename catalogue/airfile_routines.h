#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "catalogue/scan.h"

namespace korvalis {

// The file work the catalogue's commands run on the worker: the scan of an aircraft directory,
// and the write and restore of one file. The catalogue calls the system's own unless given others.
class AirfileRoutines {
public:
    virtual ~AirfileRoutines() = default;
    virtual ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control,
                            ScanSink& sink) = 0;
    virtual std::int32_t Write(const std::filesystem::path& path, std::int16_t typeCode) = 0;
    virtual std::int32_t Restore(const std::filesystem::path& path, std::uint8_t& restoredType,
                                 bool* inBackup) = 0;
};

// ScanAircraftDir, WriteAirfileType and RestoreAirfileType.
AirfileRoutines& SystemAirfileRoutines() noexcept;

}  // namespace korvalis
