#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>

#include "core/handles_win32.h"
#include "tests/support/registry_scratch_win32.h"
#include "ui/simulator_paths.h"

namespace korvalis::test {
namespace {

const std::wstring kGames = L"SOFTWARE\\Microsoft\\Microsoft Games";
const std::wstring kSimulatorKeys[] = {kGames + L"\\Flight Simulator\\8.0",
                                       kGames + L"\\Flight Simulator\\9.0"};
constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

// How one simulator's record is laid out for a case.
struct Record {
    enum Kind { Absent, KeyWithoutValue, Value, OtherValueName, Only64BitView };
    Record(Kind k, std::wstring t) : kind(k), text(std::move(t)) {}
    Kind kind;
    std::wstring text;
};

// The simulators' keys belong to the test while it runs: whatever was there is removed in
// both views, and what the test wrote is removed afterwards, parents it created included.
class SimulatorRecordsTest : public ::testing::Test {
protected:
    SimulatorRecordsTest()
    {
        for (std::size_t v = 0; v < 2; ++v)
            m_gamesExisted[v] = KeyExists(HKEY_LOCAL_MACHINE, kGames, kViews[v]);
        Clear();
    }
    ~SimulatorRecordsTest() override
    {
        Clear();
        for (std::size_t v = 0; v < 2; ++v) {
            if (!m_gamesExisted[v]) DeleteKeyTree(HKEY_LOCAL_MACHINE, kGames, kViews[v]);
        }
    }
    static void Clear()
    {
        for (const REGSAM view : kViews) {
            for (const auto& key : kSimulatorKeys) DeleteKeyTree(HKEY_LOCAL_MACHINE, key, view);
        }
    }
    static void Lay(std::size_t simulator, const Record& record)
    {
        if (record.kind == Record::Absent) return;
        const REGSAM view = record.kind == Record::Only64BitView ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKeys[simulator].c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const UniqueRegKey closer(key);
        if (record.kind == Record::KeyWithoutValue) return;
        const wchar_t* name = record.kind == Record::OtherValueName ? L"Path" : L"EXE Path";
        ASSERT_EQ(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(record.text.c_str()),
                                   static_cast<DWORD>((record.text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

private:
    bool m_gamesExisted[2] = {};
};

TEST_F(SimulatorRecordsTest, GetFSPathReadsBothRecords)
{
    struct Case {
        const char* name;
        Record fs2002, fs2004;
        std::string fs2002Path, fs2004Path;
    };
    const Record absent{Record::Absent, L""};
    const Case cases[] = {
        {"neither recorded", absent, absent, "", ""},
        {"only the 9.0 key", absent, {Record::Value, L"D:\\FS9"}, "", "D:\\FS9"},
        {"only the 8.0 key", {Record::Value, L"C:\\FS2002"}, absent, "C:\\FS2002", ""},
        {"both",
         {Record::Value, L"C:\\FS2002"},
         {Record::Value, L"D:\\Games\\FS9"},
         "C:\\FS2002",
         "D:\\Games\\FS9"},
        {"keys without EXE Path",
         {Record::KeyWithoutValue, L""},
         {Record::OtherValueName, L"D:\\FS9"},
         "",
         ""},
        {"empty text", {Record::Value, L""}, {Record::Value, L"D:\\FS9"}, "", "D:\\FS9"},
        {"trailing separator kept", {Record::Value, L"C:\\FS2002\\"}, absent, "C:\\FS2002\\", ""},
        {"2047 characters", {Record::Value, std::wstring(2047, L'p')}, absent, std::string(2047, 'p'), ""},
        {"2048 characters",
         {Record::Value, std::wstring(2048, L'p')},
         {Record::Value, L"D:\\FS9"},
         "",
         "D:\\FS9"},
        {"64-bit view is not read",
         {Record::Only64BitView, L"C:\\FS2002"},
         {Record::Only64BitView, L"D:\\FS9"},
         "",
         ""},
    };
    for (const auto& c : cases) {
        Clear();
        Lay(0, c.fs2002);
        Lay(1, c.fs2004);
        SessionState state;
        state.FS2002Path = "before";
        state.FS2004Path = "before";
        Get_FSPath(state);
        EXPECT_EQ(state.FS2002Path, c.fs2002Path) << c.name;
        EXPECT_EQ(state.FS2004Path, c.fs2004Path) << c.name;
    }
}

TEST_F(SimulatorRecordsTest, RegistryIsOnlyRead)
{
    Lay(1, {Record::Value, L"D:\\FS9"});
    SessionState state;
    Get_FSPath(state);
    EXPECT_EQ(state.FS2004Path, "D:\\FS9");
    for (const REGSAM view : kViews) {
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSimulatorKeys[0], view)) << "no 8.0 key created";
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSimulatorKeys[1], KEY_WOW64_64KEY))
        << "nothing copied across views";
}

}  // namespace
}  // namespace korvalis::test
