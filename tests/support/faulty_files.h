#pragma once

#include <atomic>
#include <stdexcept>

#include "catalogue/scan.h"

namespace korvalis::test {

// The file system as it is, but with the faults real ones cannot be made to show: the listing of
// `breaks` ends after `after` entries with `error`, as a share that drops does, and the first
// `throwingReads` reads throw, as a fault deep in a reader would.
class FaultyFiles final : public ScanFileSystem {
public:
    FaultyFiles(std::filesystem::path breaks, int after, int throwingReads = 0)
        : m_breaks(std::move(breaks)), m_after(after), m_throwingReads(throwingReads)
    {
    }
    static constexpr std::int32_t kError = 64;

    bool ListEntries(const std::filesystem::path& folder, const EntryCallback& each,
                     std::int32_t* error) const override
    {
        if (folder != m_breaks) return RealFileSystem().ListEntries(folder, each, error);
        int seen = 0;
        RealFileSystem().ListEntries(
            folder,
            [&](const std::filesystem::path& name, std::optional<bool> isDirectory) {
                // Windows lists "." and ".." first; they do not count.
                if (name == "." || name == ".." || seen++ < m_after) each(name, isDirectory);
            },
            error);
        *error = kError;
        return false;
    }
    bool ListAirFiles(const std::filesystem::path& folder, const NameCallback& each,
                      std::int32_t* error) const override
    {
        if (folder != m_breaks) return RealFileSystem().ListAirFiles(folder, each, error);
        int seen = 0;
        RealFileSystem().ListAirFiles(
            folder,
            [&](const std::filesystem::path& name) {
                if (seen++ < m_after) each(name);
            },
            error);
        *error = kError;
        return false;
    }
    AirfileRead ReadType(const std::filesystem::path& file, const StopCheck& stop) const override
    {
        if (m_throwingReads.fetch_sub(1) > 0) throw std::runtime_error("fault in a reader");
        return RealFileSystem().ReadType(file, stop);
    }

private:
    std::filesystem::path m_breaks;
    int m_after;
    mutable std::atomic<int> m_throwingReads;
};

}  // namespace korvalis::test
