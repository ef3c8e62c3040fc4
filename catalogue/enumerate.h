#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace korvalis {

using NameCallback = std::function<void(const std::filesystem::path& name)>;
// isDirectory: the entry's directory attribute; nullopt when it could not be read.
using EntryCallback = std::function<void(const std::filesystem::path& name, std::optional<bool> isDirectory)>;

// Every entry of `folder` that is neither hidden nor system, files and folders alike, by
// plain name, with its directory attribute as the enumeration reports it (a link to a
// folder counts as a folder). Hidden and system sub-folders are thereby never scanned.
// Returns false when the folder cannot be listed (missing, not a folder, not ready) or its
// listing breaks off after some entries (those are delivered), with the system's error number in
// `error` when one is given; an empty folder, a drive's empty root included, lists nothing and
// returns true.
bool EnumerateFolderEntries(const std::filesystem::path& folder, const EntryCallback& each,
                            std::int32_t* error = nullptr);

// The files of `folder` that the file system matches with "*.air", whatever their
// read-only, hidden or system attributes; never a folder. Returns false when the folder
// cannot be listed or its listing breaks off (the reason in `error`, as above), true when it
// holds no such file.
bool EnumerateAirFiles(const std::filesystem::path& folder, const NameCallback& each,
                       std::int32_t* error = nullptr);

}  // namespace korvalis
