#pragma once

#include <filesystem>
#include <functional>
#include <optional>

namespace korvalis {

using NameCallback = std::function<void(const std::filesystem::path& name)>;

// Every entry of `folder` that is neither hidden nor system, files and folders alike, by
// plain name. Hidden and system sub-folders are thereby never scanned. Returns false when
// the enumeration cannot start.
bool EnumerateFolderEntries(const std::filesystem::path& folder, const NameCallback& each);

// Whether the path is a folder; nullopt when its attributes cannot be read.
std::optional<bool> IsDirectoryPath(const std::filesystem::path& path);

// The files of `folder` that the file system matches with "*.air", whatever their
// read-only, hidden or system attributes; never a folder. Returns false when it cannot start.
bool EnumerateAirFiles(const std::filesystem::path& folder, const NameCallback& each);

}  // namespace korvalis
