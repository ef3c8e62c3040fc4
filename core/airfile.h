#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace korvalis {

// Results of WriteAirfileType besides the operating system's own error numbers.
// They carry bit 29, which Windows reserves for application-defined codes, so they
// never collide with a system error number, 0 or -1.
inline constexpr std::int32_t kWriteOk = 0;
inline constexpr std::int32_t kWriteNoMarker = -1;
inline constexpr std::int32_t kErrorShortTransfer =
    0x20000001;  // a read or write moved fewer bytes, no OS code
inline constexpr std::int32_t kErrorTypeCodeRange = 0x20000002;  // type code outside 0..255
inline constexpr std::int32_t kErrorFileChanged = 0x20000003;    // the file changed since it was first read
inline constexpr std::int32_t kErrorBackupNoTypeByte = 0x20000004;  // the backup holds no type byte
inline constexpr std::int32_t kErrorBackupMismatch =
    0x20000005;  // the backup is of another version of the file
inline constexpr std::int32_t kErrorFileReplaced =
    0x20000006;  // another file took the file's name while it was being written

// The file name suffix of the backup written beside each .air file.
inline constexpr char kBackupSuffix[] = ".KRVL_bak";

// The type byte behind the first type marker as decimal text ("0".."255"); "" when the
// file has no marker, no byte behind it, or cannot be opened or read.
std::string ReadAirfileType(const std::filesystem::path& path);

// What the scan's read of one file found.
struct AirfileRead {
    enum class Outcome {
        Type,      // `type` is the byte behind the first marker
        NoMarker,  // read to its end: no marker, or nothing behind it
        Failed,    // could not be opened or read: `error` says why
        Stopped,   // a stop was asked for before the marker was found
    };
    Outcome outcome = Outcome::NoMarker;
    std::uint8_t type = 0;
    std::int32_t error = 0;  // the system's error number, for Failed
};

// Asked between two chunks of a read; true gives the read up.
using StopCheck = std::function<bool()>;

// ReadAirfileType for the scan: tells a file without a type byte from one that could not be read,
// and looks at `stop` (when given) between chunks, so a huge file or a stalled share never holds
// up a stop for longer than one chunk.
AirfileRead ReadAirfileTypeOf(const std::filesystem::path& path, const StopCheck& stop = {});

// Backs the file up to path + ".KRVL_bak" and writes typeCode as the byte behind the
// first type marker. 0 on success, -1 when the file holds no type byte, else an error number.
std::int32_t WriteAirfileType(const std::filesystem::path& path, std::int16_t typeCode);

// Writes the type byte of the backup (path + ".KRVL_bak") back into the file at its first marker,
// provided that both hold the same bytes up to and including that marker. Makes no new backup and
// never changes the backup. 0 on success (restoredType set), -1 when the file holds no type byte,
// else an error number; `inBackup`, when given, tells whether the failure lies with the backup
// (missing, unreadable, without a type byte) rather than with the file.
std::int32_t RestoreAirfileType(const std::filesystem::path& path, std::uint8_t& restoredType,
                                bool* inBackup = nullptr);

}  // namespace korvalis
