#pragma once

#include <filesystem>

namespace korvalis {

// What the process may do with the aircraft files: whether it runs with administrator rights,
// and whether it may create files in a folder. The catalogue asks the system's own unless given
// another.
class ProcessRights {
public:
    virtual ~ProcessRights() = default;
    // The token's elevation; true when it cannot be found out.
    [[nodiscard]] virtual bool Elevated() = 0;
    // Found out without creating or changing anything; true when the answer is not a matter of
    // rights (the folder is gone, a share does not answer).
    [[nodiscard]] virtual bool MayCreateFilesIn(const std::filesystem::path& folder) = 0;
};

ProcessRights& SystemProcessRights() noexcept;

}  // namespace korvalis
