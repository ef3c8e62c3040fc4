#include <windows.h>

#include "catalogue/process_rights.h"
#include "core/file_io.h"
#include "core/handles_win32.h"

namespace korvalis {

namespace {

class Win32Rights final : public ProcessRights {
public:
    bool Elevated() override
    {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
        TOKEN_ELEVATION elevation{};
        DWORD size = 0;
        const BOOL known = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size);
        ::CloseHandle(token);
        // Unknown: better no question than one whose restart may not help.
        return !known || elevation.TokenIsElevated != 0;
    }
    bool MayCreateFilesIn(const std::filesystem::path& folder) override
    {
        // Opening the folder for FILE_ADD_FILE checks exactly the right a new file needs, and
        // creates nothing; backup semantics is what lets CreateFileW open a folder at all.
        const UniqueFileHandle handle(::CreateFileW(io::Win32Path(folder).c_str(), FILE_ADD_FILE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                                    nullptr));
        const DWORD error = handle.Valid() ? ERROR_SUCCESS : ::GetLastError();
        return error != ERROR_ACCESS_DENIED;
    }
};

}  // namespace

ProcessRights& SystemProcessRights() noexcept
{
    static Win32Rights rights;
    return rights;
}

}  // namespace korvalis
