#include <gtest/gtest.h>

#include <optional>

#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

enum class Expect { Restored, NoTypeByteInFile, BackupNoTypeByte, Mismatch, ErrorNumber };

TEST(RestoreAirfileType, TableOfOutcomes)
{
    const Bytes m = Marker();
    const Bytes written = Concat({Hex("AA BB"), m, Hex("01 CC DD")});  // the file after a write
    const Bytes saved = Concat({Hex("AA BB"), m, Hex("00 CC DD")});    // its backup
    struct Case {
        const char* name;
        Bytes air;
        std::optional<Bytes> backup;  // nullopt: a folder stands at the backup's name
        bool missingBackup;
        bool readOnlyAir;
        bool readOnlyBackup;
        Expect expect;
    };
    const Case cases[] = {
        {"the backup's byte goes back", written, saved, false, false, false, Expect::Restored},
        {"a read-only backup is only read", written, saved, false, false, true, Expect::Restored},
        {"bytes behind the type byte may differ", Concat({Hex("AA BB"), m, Hex("01 EE")}), saved, false,
         false, false, Expect::Restored},
        {"no backup", written, saved, true, false, false, Expect::ErrorNumber},
        {"a folder at the backup's name", written, std::nullopt, false, false, false, Expect::ErrorNumber},
        {"an empty backup", written, Bytes{}, false, false, false, Expect::BackupNoTypeByte},
        {"a backup cut before its type byte", written, Concat({Hex("AA BB"), m}), false, false, false,
         Expect::BackupNoTypeByte},
        {"a backup of another version", written, Concat({Hex("AA BC"), m, Hex("00 CC DD")}), false, false,
         false, Expect::Mismatch},
        {"a backup whose marker stands elsewhere", written, Concat({Hex("AA"), m, Hex("00 CC DD")}), false,
         false, false, Expect::Mismatch},
        {"a file that lost its marker", Hex("AA BB 05 01 00 00"), saved, false, false, false,
         Expect::NoTypeByteInFile},
        {"a read-only file", written, saved, false, true, false, Expect::ErrorNumber},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = FreshTestDir();
        const fs::path air = dir / "plane.air";
        WriteBytes(air, c.air);
        if (!c.missingBackup) {
            if (c.backup) {
                WriteBytes(BackupOf(air), *c.backup);
            } else {
                fs::create_directory(BackupOf(air));
            }
        }
        // A leftover temporary copy is never taken for the backup.
        WriteBytes(detail::TemporaryBackupPath(air), Concat({Hex("AA BB"), m, Hex("02 CC DD")}));
        if (c.readOnlyAir) SetReadOnly(air, true);
        if (c.readOnlyBackup) SetReadOnly(BackupOf(air), true);

        std::uint8_t restored = 0xEE;
        const std::int32_t result = RestoreAirfileType(air, restored);

        if (c.readOnlyAir) SetReadOnly(air, false);
        if (c.readOnlyBackup) SetReadOnly(BackupOf(air), false);
        Bytes expectedAir = c.air;
        switch (c.expect) {
            case Expect::Restored:
                EXPECT_EQ(result, kWriteOk);
                EXPECT_EQ(restored, 0);
                expectedAir[2 + m.size()] = 0x00;
                break;
            case Expect::NoTypeByteInFile:
                EXPECT_EQ(result, kWriteNoMarker);
                break;
            case Expect::BackupNoTypeByte:
                EXPECT_EQ(result, kErrorBackupNoTypeByte);
                break;
            case Expect::Mismatch:
                EXPECT_EQ(result, kErrorBackupMismatch);
                break;
            case Expect::ErrorNumber:
                EXPECT_NE(result, kWriteOk);
                EXPECT_NE(result, kWriteNoMarker);
                break;
        }
        if (c.expect != Expect::Restored) {
            EXPECT_EQ(restored, 0xEE) << "nothing reported as restored";
        }
        EXPECT_EQ(ReadBytes(air), expectedAir);
        if (c.backup && !c.missingBackup) {
            EXPECT_EQ(ReadBytes(BackupOf(air)), *c.backup) << "the backup never changes";
        }
        EXPECT_EQ(fs::exists(BackupOf(air)), !c.missingBackup) << "no backup is made";
    }
}

}  // namespace
}  // namespace korvalis::test
