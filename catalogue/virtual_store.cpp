#include "catalogue/virtual_store.h"

#include <algorithm>
#include <vector>

#include "catalogue/name_match.h"
#include "core/text.h"

namespace korvalis {

namespace {

bool IsSeparator(char32_t c) { return c == U'\\' || c == U'/'; }

// A path's components, folded as the file system compares names; doubled separators count once.
std::vector<std::u32string> Components(const std::string& text)
{
    std::u32string folded;
    detail::FoldCharacters(PathFromUtf8(text).native(), folded);
    std::vector<std::u32string> parts(1);
    for (const char32_t c : folded) {
        if (!IsSeparator(c)) {
            parts.back() += c;
        } else if (!parts.back().empty()) {
            parts.emplace_back();
        }
    }
    if (parts.back().empty()) parts.pop_back();
    return parts;
}

}  // namespace

std::string VirtualStoreCounterpart(const std::string& dir, const RedirectedFolders& folders)
{
    if (folders.localAppData.empty()) return {};
    const std::size_t drive = folders.systemDrive.size();
    if (dir.size() <= drive || !IsSeparator(static_cast<unsigned char>(dir[drive]))) return {};
    const std::vector<std::u32string> driveParts = Components(folders.systemDrive);
    if (Components(dir.substr(0, drive)) != driveParts) return {};
    const std::vector<std::u32string> dirParts = Components(dir);
    const auto holds = [&](const std::string& folder) {
        const std::vector<std::u32string> parts = Components(folder);
        // A value that names no more than the drive would take the whole drive for a redirected one.
        return parts.size() > driveParts.size() && parts.size() <= dirParts.size() &&
               std::equal(parts.begin(), parts.end(), dirParts.begin());
    };
    if (!holds(folders.programFiles) && !holds(folders.programFilesX86) && !holds(folders.programData) &&
        !holds(folders.windows))
        return {};
    std::string store = folders.localAppData;
    while (!store.empty() && IsSeparator(static_cast<unsigned char>(store.back()))) store.pop_back();
    // Joined by the separator the directory itself uses after its drive.
    return store + dir[drive] + "VirtualStore" + dir.substr(drive);
}

}  // namespace korvalis
