#include "ui/folder_path.h"

#include <algorithm>

namespace korvalis {

namespace {

bool HasDrive(std::wstring_view path)
{
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// The drive as the drive list names it, in lower case ("c:"); empty for a path without one.
std::wstring DriveName(std::wstring_view path)
{
    if (!HasDrive(path)) return {};
    const wchar_t letter = path[0] <= L'Z' ? static_cast<wchar_t>(path[0] - L'A' + L'a') : path[0];
    return {letter, L':'};
}

// The path without the extended-length prefix, which names the same folder: "\\?\C:\x" is
// "C:\x", and "\\?\UNC\server\share" is "\\server\share".
std::wstring WithoutLongPrefix(std::wstring_view path)
{
    if (path.substr(0, 8) == L"\\\\?\\UNC\\") return L"\\\\" + std::wstring(path.substr(8));
    if (path.substr(0, 4) == L"\\\\?\\" && HasDrive(path.substr(4))) return std::wstring(path.substr(4));
    return std::wstring(path);
}

}  // namespace

std::vector<std::wstring> FolderChain(std::wstring_view given)
{
    const std::wstring plain = WithoutLongPrefix(given);
    const std::wstring_view folder = plain;
    // The root ends where the folders begin: after "C:", or after the share of "\\server\share".
    std::size_t rootEnd = 0;
    if (HasDrive(folder)) {
        rootEnd = 2;
    } else if (folder.substr(0, 2) == L"\\\\") {
        const std::size_t server = folder.find(L'\\', 2);
        rootEnd = server == std::wstring_view::npos ? folder.size()
                                                    : std::min(folder.find(L'\\', server + 1), folder.size());
    } else {
        return {std::wstring(folder)};
    }
    std::wstring root(folder.substr(0, rootEnd));
    if (HasDrive(folder)) root += L'\\';  // a drive's root is shown with its separator

    // Doubled and closing separators make no folders.
    std::vector<std::wstring> chain{root};
    for (std::size_t start = rootEnd + 1; start < folder.size();) {
        const std::size_t end = std::min(folder.find(L'\\', start), folder.size());
        if (end > start) {
            const std::wstring& parent = chain.back();
            chain.push_back((parent.back() == L'\\' ? parent : parent + L'\\') +
                            std::wstring(folder.substr(start, end - start)));
        }
        start = end + 1;
    }
    return chain;
}

std::wstring DriveToShow(std::wstring_view given, std::wstring_view shownBefore,
                         std::wstring_view windowsFolder)
{
    const std::wstring folder = WithoutLongPrefix(given);
    if (HasDrive(folder)) return DriveName(folder);
    return shownBefore.empty() ? DriveName(windowsFolder) : std::wstring(shownBefore);
}

}  // namespace korvalis
