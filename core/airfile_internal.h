#pragma once

// For tests only: the write routine with a callback between its steps, so a test can
// change, lock or remove files exactly where another program could.

#include <cstdint>
#include <filesystem>
#include <functional>

namespace korvalis::detail {

enum class WriteStep {
    FirstReadDone,     // the marker was found; the file stays held against writers for the copy
    BackupOpened,      // the temporary backup created; the file still held
    BackupCopied,      // every byte is in the temporary backup; both still open
    BackupReplaced,    // the backup is in place; the file is closed
    OpenedForWriting,  // the file is open for the byte write, not yet checked
};

using WriteHook = std::function<void(WriteStep)>;

std::int32_t WriteAirfileTypeWithHook(const std::filesystem::path& path, std::int16_t typeCode,
                                      const WriteHook& hook);

// The temporary name the backup is copied to before it replaces the old one.
std::filesystem::path TemporaryBackupPath(const std::filesystem::path& path);

}  // namespace korvalis::detail
