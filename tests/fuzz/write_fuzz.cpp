// Any bytes and any type code through WriteAirfileType, then RestoreAirfileType from the backup. Input
// layout: one flag byte (bit 0: an older backup exists; bits 1-2: which lead of zeros goes in front), the
// type code as 16-bit little-endian, then the file's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "tests/fuzz/fuzz_support.h"

namespace fs = std::filesystem;
using namespace korvalis::fuzz;

namespace {

// Restoring from whatever backup stands beside the file may change the file's type byte and
// nothing else, and never the backup.
void CheckRestore(const fs::path& air, const fs::path& backup, const std::string& what)
{
    const Bytes airBefore = ReadFile(air);
    const std::optional<Bytes> backupBefore =
        fs::exists(backup) ? std::optional<Bytes>(ReadFile(backup)) : std::nullopt;
    std::uint8_t restored = 0;
    const std::int32_t result = korvalis::RestoreAirfileType(air, restored);
    const Bytes airAfter = ReadFile(air);
    const std::string detail = what + ", restore " + std::to_string(result);
    if ((fs::exists(backup) ? std::optional<Bytes>(ReadFile(backup)) : std::nullopt) != backupBefore)
        Fail("restoring changed the backup", detail);
    if (airAfter.size() != airBefore.size()) Fail("restoring changed the file's length", detail);
    const long long at = TypeByteOffset(airBefore);
    for (std::size_t i = 0; i < airBefore.size(); ++i) {
        if (airAfter[i] != airBefore[i] && static_cast<long long>(i) != at)
            Fail("restoring changed a byte other than the type byte", detail);
    }
    if (result == korvalis::kWriteOk) {
        if (!backupBefore || at < 0 || TypeByteOffset(*backupBefore) != at ||
            !std::equal(airBefore.begin(), airBefore.begin() + at, backupBefore->begin()))
            Fail("restored from a backup of another version", detail);
        if (airAfter[static_cast<std::size_t>(at)] != (*backupBefore)[static_cast<std::size_t>(at)] ||
            restored != airAfter[static_cast<std::size_t>(at)])
            Fail("the restored byte is not the backup's", detail);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t header[3] = {0, 1, 0};
    const std::size_t headerSize = size < 3 ? size : 3;
    for (std::size_t i = 0; i < headerSize; ++i) header[i] = data[i];
    const bool oldBackup = (header[0] & 1) != 0;
    const std::size_t lead = kLeads[(header[0] >> 1) & 3];
    const auto code = static_cast<std::int16_t>(static_cast<std::uint16_t>(header[1] | header[2] << 8));
    const Bytes before = WithLead(lead, data + headerSize, size - headerSize);

    const fs::path air = ScratchDir() / "plane.air";
    const fs::path backup = fs::path(air.native() + korvalis::kBackupSuffix);
    const fs::path temp = korvalis::detail::TemporaryBackupPath(air);
    WriteFile(air, before);
    std::optional<Bytes> backupBefore;
    if (oldBackup) {
        // Some other length and content than the file, so a stale or partial copy shows.
        backupBefore = Bytes(before.rbegin(), before.rend());
        backupBefore->push_back(0x5A);
        WriteFile(backup, *backupBefore);
    } else {
        fs::remove(backup);
    }

    const std::int32_t result = korvalis::WriteAirfileType(air, code);

    const Bytes after = ReadFile(air);
    const std::string what = "size " + std::to_string(before.size()) + ", code " + std::to_string(code) +
                             ", result " + std::to_string(result);
    const long long at = TypeByteOffset(before);
    if (after.size() != before.size()) Fail("the file's length changed", what);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (after[i] != before[i] && static_cast<long long>(i) != at)
            Fail("a byte other than the type byte changed", what);
    }
    if (fs::exists(temp)) Fail("the temporary backup was left behind", what);
    const std::optional<Bytes> backupAfter =
        fs::exists(backup) ? std::optional<Bytes>(ReadFile(backup)) : std::nullopt;

    if (at < 0) {
        if (result != korvalis::kWriteNoMarker) Fail("no type byte, yet the result is not -1", what);
        if (backupAfter != backupBefore) Fail("no type byte, yet the backup was touched", what);
        CheckRestore(air, backup, what);
        return 0;
    }
    // There is a type byte: the backup is always made before the code is checked.
    if (backupAfter != before) Fail("the backup is not the file as it was", what);
    if (code >= 0 && code <= 255) {
        if (result != korvalis::kWriteOk) Fail("a writable file was not written", what);
        if (after[static_cast<std::size_t>(at)] != code) Fail("the type byte does not hold the code", what);
    } else {
        if (result != korvalis::kErrorTypeCodeRange) Fail("a code outside 0..255 did not fail as such", what);
        if (after != before) Fail("a refused code changed the file", what);
    }
    CheckRestore(air, backup, what);
    if (ReadFile(air) != before) Fail("restoring after a write did not give the file back", what);
    return 0;
}
