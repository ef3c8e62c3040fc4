#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "core/handles_win32.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

struct ProcessTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
using UniqueProcess = UniqueHandle<ProcessTraits>;

// Another process holds the file open from construction to destruction, in one of the
// helper's modes (none, reader, writer).
class HeldByAnotherProcess {
public:
    HeldByAnotherProcess(const fs::path& file, const wchar_t* mode)
    {
        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const fs::path helper = fs::path(std::wstring(self, length)).parent_path() / L"hold_file.exe";

        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
            ADD_FAILURE() << "CreatePipe failed: " << ::GetLastError();
            return;
        }
        UniqueFileHandle childIn(readEnd);
        m_input.Reset(writeEnd);
        if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
            ADD_FAILURE() << "CreatePipe failed: " << ::GetLastError();
            return;
        }
        const UniqueFileHandle output(readEnd);
        UniqueFileHandle childOut(writeEnd);
        // Only the child's ends may be inherited.
        ::SetHandleInformation(m_input.Get(), HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(output.Get(), HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn.Get();
        startup.hStdOutput = childOut.Get();
        startup.hStdError = childOut.Get();
        std::wstring command = L"\"" + helper.native() + L"\" \"" + file.native() + L"\" " + mode;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                              &process)) {
            ADD_FAILURE() << "cannot start " << helper.string() << ": " << ::GetLastError();
            return;
        }
        m_process.Reset(process.hProcess);
        ::CloseHandle(process.hThread);
        // Only the child holds its ends now, so its exit ends our read instead of hanging it.
        childIn.Reset();
        childOut.Reset();
        char said[5] = {};
        DWORD got = 0;
        m_held = ::ReadFile(output.Get(), said, sizeof said, &got, nullptr) && got == 5 &&
                 std::string(said, 5) == "held\n";
        if (!m_held) ADD_FAILURE() << "the helper could not hold " << file.string();
    }
    ~HeldByAnotherProcess()
    {
        m_input.Reset();  // end of input: the helper closes the file and exits
        if (m_process) ::WaitForSingleObject(m_process.Get(), 10000);
    }
    [[nodiscard]] bool Held() const { return m_held; }

private:
    UniqueFileHandle m_input;
    UniqueProcess m_process;
    bool m_held = false;
};

TEST(HeldFile, AFileAnotherProgramHoldsIsNeverHalfWritten)
{
    struct Case {
        const wchar_t* mode;
        const char* typeWhileHeld;  // what ReadAirfileType and the scan see
        bool backupReplaced;
    };
    const Case cases[] = {
        {L"none", "", false},
        // The copy shuts out writers, so it goes ahead beside a reader only; the byte write
        // is refused either way.
        {L"reader", "0", true},
        {L"writer", "0", false},
    };
    const Bytes content = Concat({Hex("AA BB"), Marker(), Hex("00 CC")});
    const Bytes earlier = Hex("DE AD");
    for (const auto& c : cases) {
        const std::string name = PathToUtf8(c.mode);
        const fs::path dir = FreshTestDir() / "Aircraft";
        const fs::path held = dir / "Held" / "held.air";
        const fs::path other = dir / "Free" / "free.air";
        const fs::path backup = BackupOf(held);
        fs::create_directories(held.parent_path());
        fs::create_directories(other.parent_path());
        WriteBytes(held, content);
        WriteBytes(other, content);
        WriteBytes(backup, earlier);

        SessionState state;
        state.AircraftDir = PathToUtf8(dir);
        MemoryAirfileList list;
        RecordingShell shell;
        CatalogueRig catalogue(state, list, shell);
        catalogue.Load_Airfiles();
        ASSERT_EQ(list.Count(), 2) << name;
        for (int i = 1; i <= 2; ++i) list.SetMarked(i, true);
        catalogue.AssignTypeToMarked(1);
        {
            HeldByAnotherProcess holder(held, c.mode);
            ASSERT_TRUE(holder.Held()) << name;
            EXPECT_EQ(ReadAirfileType(held), c.typeWhileHeld) << name;
            EXPECT_EQ(WriteAirfileType(held, 1), static_cast<std::int32_t>(ERROR_SHARING_VIOLATION)) << name;

            shell.calls.clear();
            catalogue.WriteMarkedTypes();
            for (int i = 1; i <= 2; ++i) {
                EXPECT_EQ(list.IsMarked(i), list.Row(i).FolderText() == "Held")
                    << name << ": " << list.Row(i).FolderText();
            }
            EXPECT_EQ(shell.calls,
                      (std::vector<std::string>{"hourglass", "write off",
                                                std::string("message: ") + kWriteFailedMessage, "pointer"}))
                << name;

            // A scan meanwhile lists the file only if it can read it; either way no message.
            shell.calls.clear();
            catalogue.Load_Airfiles();
            EXPECT_EQ(list.Count(), *c.typeWhileHeld ? 2 : 1) << name;
            EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(),
                                 std::string("message: ") + kNoAirfilesMessage),
                      0)
                << name;
        }
        EXPECT_EQ(ReadBytes(held), content) << name;
        EXPECT_EQ(ReadBytes(backup), c.backupReplaced ? content : earlier) << name;
        EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(held))) << name;
        EXPECT_EQ(ReadAirfileType(other), "1") << name;
    }
}

// A backup is only read for a restore, and nobody may write it meanwhile.
TEST(HeldFile, ABackupAnotherProgramHoldsIsRestoredFromOnlyWhenNobodyWritesIt)
{
    const Bytes saved = Concat({Hex("AA BB"), Marker(), Hex("00 CC")});
    const Bytes written = Concat({Hex("AA BB"), Marker(), Hex("01 CC")});
    const std::pair<const wchar_t*, bool> cases[] = {{L"none", false}, {L"reader", true}, {L"writer", false}};
    for (const auto& [mode, restores] : cases) {
        const fs::path air = FreshTestDir() / "plane.air";
        WriteBytes(air, written);
        WriteBytes(BackupOf(air), saved);
        std::uint8_t type = 9;
        std::int32_t result = 0;
        {
            HeldByAnotherProcess holder(BackupOf(air), mode);
            ASSERT_TRUE(holder.Held());
            result = RestoreAirfileType(air, type);
        }
        EXPECT_EQ(result, restores ? kWriteOk : static_cast<std::int32_t>(ERROR_SHARING_VIOLATION))
            << PathToUtf8(mode);
        EXPECT_EQ(ReadBytes(air), restores ? saved : written) << PathToUtf8(mode);
        EXPECT_EQ(ReadBytes(BackupOf(air)), saved) << PathToUtf8(mode);
    }
}

}  // namespace
}  // namespace korvalis::test
