#include <windows.h>

#include "catalogue/enumerate.h"
#include "core/file_io.h"
#include "core/handles_win32.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

// Calls `each` for every entry matching the pattern; FindExInfoBasic skips the short
// names we never use, and large fetches cut the round trips in big folders.
template <typename Each>
bool FindAll(const fs::path& pattern, Each each, std::int32_t* failure)
{
    WIN32_FIND_DATAW data;
    const HANDLE first = ::FindFirstFileExW(io::Win32Path(pattern).c_str(), FindExInfoBasic, &data,
                                            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    const DWORD error = first == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    UniqueFindHandle find(first);
    // "File not found" is an empty answer, not a failure: a drive's root has no "." entry, so
    // an empty root matches nothing, nor does "*.air" in a folder without such files. Wine 8
    // answers "no more files" where the only match is a link to nothing. A missing path or a
    // drive that is not ready answers otherwise.
    if (!find) {
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return true;
        if (failure != nullptr) *failure = static_cast<std::int32_t>(error);
        return false;
    }
    do {
        each(data);
    } while (::FindNextFileW(find.Get(), &data));
    // Only "no more files" is the end; anything else (a share that dropped) broke the listing
    // off after the entries delivered so far.
    const DWORD last = ::GetLastError();
    if (last == ERROR_NO_MORE_FILES) return true;
    if (failure != nullptr) *failure = static_cast<std::int32_t>(last);
    return false;
}

fs::path WithPattern(const fs::path& folder, const wchar_t* pattern)
{
    std::wstring text = folder.native();
    if (!text.empty() && text.back() != L'\\' && text.back() != L'/') text += L'\\';
    return fs::path(text + pattern);
}

}  // namespace

bool EnumerateFolderEntries(const fs::path& folder, const EntryCallback& each, std::int32_t* error)
{
    // The attributes come with each entry: a second query per entry would cost a round
    // trip each (under Wine a server call), for the same answer.
    return FindAll(
        WithPattern(folder, L"*"),
        [&](const WIN32_FIND_DATAW& data) {
            if ((data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0) {
                each(fs::path(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
            }
        },
        error);
}

bool EnumerateAirFiles(const fs::path& folder, const NameCallback& each, std::int32_t* error)
{
    return FindAll(
        WithPattern(folder, L"*.air"),
        [&](const WIN32_FIND_DATAW& data) {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) each(fs::path(data.cFileName));
        },
        error);
}

}  // namespace korvalis
