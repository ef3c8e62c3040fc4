#pragma once

#include <functional>
#include <utility>

#include "catalogue/airfile_routines.h"

namespace korvalis::test {

// The system's file routines, each called after `before` on the worker's thread: before(-1) ahead
// of a scan, before(i) ahead of the i-th file written or restored since it was made or last
// scanned. What `before` throws ends the routine there.
class HookedRoutines final : public AirfileRoutines {
public:
    explicit HookedRoutines(std::function<void(int)> before) : m_before(std::move(before)) {}

    ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink) override
    {
        m_next = 0;
        m_before(-1);
        return SystemAirfileRoutines().Scan(dirs, readers, control, sink);
    }
    std::int32_t Write(const std::filesystem::path& path, std::int16_t typeCode) override
    {
        m_before(m_next++);
        return SystemAirfileRoutines().Write(path, typeCode);
    }
    std::int32_t Restore(const std::filesystem::path& path, std::uint8_t& restoredType,
                         bool* inBackup) override
    {
        m_before(m_next++);
        return SystemAirfileRoutines().Restore(path, restoredType, inBackup);
    }

private:
    std::function<void(int)> m_before;
    int m_next = 0;  // the worker's only
};

}  // namespace korvalis::test
