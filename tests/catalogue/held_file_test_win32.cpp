#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "core/handles_win32.h"
#include "core/text.h"
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

// Another process holds the file open with share mode 0 from construction to destruction.
class HeldByAnotherProcess {
public:
    explicit HeldByAnotherProcess(const fs::path& file)
    {
        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const fs::path helper = fs::path(std::wstring(self, length)).parent_path() / L"hold_file.exe";

        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
        if (!::CreatePipe(&inRead, &inWrite, &inherit, 0) || !::CreatePipe(&outRead, &outWrite, &inherit, 0)) {
            ADD_FAILURE() << "CreatePipe failed: " << ::GetLastError();
            return;
        }
        UniqueFileHandle childIn(inRead), childOut(outWrite);
        m_input.Reset(inWrite);
        const UniqueFileHandle output(outRead);
        // Only the child's ends may be inherited.
        ::SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead;
        startup.hStdOutput = outWrite;
        startup.hStdError = outWrite;
        std::wstring command = L"\"" + helper.native() + L"\" \"" + file.native() + L"\"";
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

TEST(HeldFile, AFileAnotherProgramHoldsIsNeitherReadNorWritten)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    const Bytes content = Concat({Hex("AA BB"), Marker(), Hex("00 CC")});
    const Bytes earlier = Hex("DE AD");
    const fs::path held = dir / "Held" / "held.air";
    const fs::path other = dir / "Free" / "free.air";
    const fs::path backup = held.native() + fs::path(kBackupSuffix).native();
    fs::create_directories(held.parent_path());
    fs::create_directories(other.parent_path());
    WriteBytes(held, content);
    WriteBytes(other, content);
    WriteBytes(backup, earlier);

    SessionState state;
    state.AircraftDir = PathToUtf8(dir);
    MemoryAirfileList list;
    RecordingShell shell;
    Catalogue catalogue(state, list, shell);
    catalogue.Load_Airfiles();
    ASSERT_EQ(list.Count(), 2);
    for (int i = 1; i <= 2; ++i) list.SetMarked(i, true);
    catalogue.AssignTypeToMarked(1);
    {
        HeldByAnotherProcess holder(held);
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(ReadAirfileType(held), "");
        EXPECT_EQ(WriteAirfileType(held, 1), static_cast<std::int32_t>(ERROR_SHARING_VIOLATION));

        shell.calls.clear();
        catalogue.WriteMarkedTypes();
        for (int i = 1; i <= 2; ++i) {
            EXPECT_EQ(list.IsMarked(i), list.Row(i).folderText == "Held") << list.Row(i).folderText;
        }
        EXPECT_EQ(shell.calls, (std::vector<std::string>{"hourglass", "write off",
                                                         std::string("message: ") + kWriteFailedMessage, "pointer"}));

        // A scan meanwhile does not list it, yet it counts as found: no message.
        shell.calls.clear();
        catalogue.Load_Airfiles();
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Row(1).folderText, "Free");
        EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(), std::string("message: ") + kNoAirfilesMessage), 0);
    }
    EXPECT_EQ(ReadBytes(held), content);
    EXPECT_EQ(ReadBytes(backup), earlier);
    EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(held)));
    EXPECT_EQ(ReadAirfileType(other), "1");
}

}  // namespace
}  // namespace korvalis::test
