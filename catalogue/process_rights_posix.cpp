#include <unistd.h>

#include <cerrno>

#include "catalogue/process_rights.h"

namespace korvalis {

namespace {

class PosixRights final : public ProcessRights {
public:
    bool Elevated() override { return ::geteuid() == 0; }
    bool MayCreateFilesIn(const std::filesystem::path& folder) override
    {
        // Creating an entry needs write and search rights on the folder.
        return ::access(folder.c_str(), W_OK | X_OK) == 0 || errno != EACCES;
    }
};

}  // namespace

ProcessRights& SystemProcessRights() noexcept
{
    static PosixRights rights;
    return rights;
}

}  // namespace korvalis
