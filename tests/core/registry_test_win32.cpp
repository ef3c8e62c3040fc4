#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/registry.h"
#include "core/text.h"
#include "tests/support/registry_scratch_win32.h"

namespace korvalis::test {
namespace {

const std::string kMarker(RegReadErrorMarker);
constexpr std::uint32_t kRootCurrentUser = 0x80000001u;

// Each test writes below a key of its own in the 32-bit view, where the reader looks.
class RegReadValueTest : public ::testing::Test {
protected:
    RegReadValueTest()
        : m_name(::testing::UnitTest::GetInstance()->current_test_info()->name()),
          m_key(HKEY_LOCAL_MACHINE, WideFromUtf8(KeyPath()), KEY_WOW64_32KEY)
    {
    }
    ~RegReadValueTest() override
    {
        // Removes the shared parent once the last test's key is gone; fails harmlessly before.
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Korvalis-Tests", KEY_WOW64_32KEY, 0);
    }
    void SetUp() override { ASSERT_TRUE(m_key.Created()) << KeyPath(); }

    std::string KeyPath() const { return "SOFTWARE\\Korvalis-Tests\\" + m_name; }
    std::string Read(const std::string& valueName) const
    {
        return RegReadValue(kRootLocalMachine, KeyPath() + "\\", valueName);
    }

    std::string m_name;
    ScratchKey m_key;
};

TEST_F(RegReadValueTest, TextValuesReadAsStoredWithoutTheirNul)
{
    struct Case {
        const char* name;
        std::wstring stored;
        DWORD type;
        std::string expected;
    };
    const Case cases[] = {
        {"folder", L"C:\\FS2002", REG_SZ, "C:\\FS2002"},
        {"trailing separator kept", L"D:\\Games\\FS9\\", REG_SZ, "D:\\Games\\FS9\\"},
        {"spaces kept", L"  C:\\FS ", REG_SZ, "  C:\\FS "},
        {"empty text", L"", REG_SZ, ""},
        {"2047 characters fill the buffer exactly", std::wstring(2046, L'x') + L"y", REG_SZ,
         std::string(2046, 'x') + "y"},
        {"2048 characters do not fit", std::wstring(2048, L'x'), REG_SZ, kMarker},
        {"far too long", std::wstring(10000, L'x'), REG_SZ, kMarker},
        {"not expanded", L"%SystemRoot%\\FS9", REG_EXPAND_SZ, "%SystemRoot%\\FS9"},
        {"the marker itself as a value", L"@\r@", REG_SZ, kMarker},
        {"carriage return and line feed kept", L"a\r\nb", REG_SZ, "a\r\nb"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(m_key.SetText(L"EXE Path", c.stored, c.type), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(Read("EXE Path"), c.expected) << c.name;
    }
}

TEST_F(RegReadValueTest, OtherTypesLoseTheirLastByte)
{
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"two strings", REG_MULTI_SZ, std::string("ab\0cd\0\0", 7), std::string("ab\0cd\0", 6)},
        {"eight bytes of a 64-bit number", REG_QWORD, "ABCDEFGH", "ABCDEFG"},
        {"no particular type", REG_NONE, "xyz", "xy"},
        {"one byte gives nothing", REG_NONE, "x", ""},
        {"bytes passed on unconverted", REG_NONE, "\xE9t\xE9!", "\xE9t\xE9"},
        // Left open by the rules of the reader: no bytes at all read as the empty text.
        {"no bytes", REG_NONE, "", ""},
        {"text of no bytes", REG_SZ, "", ""},
    };
    for (const auto& c : cases) {
        // REG_MULTI_SZ is text: hand it over as UTF-16, the others as the raw bytes.
        if (c.type == REG_MULTI_SZ || c.type == REG_SZ) {
            const std::wstring wide(c.bytes.begin(), c.bytes.end());
            ASSERT_EQ(
                m_key.SetRaw(L"v", c.type, wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t))),
                ERROR_SUCCESS)
                << c.name;
        } else {
            ASSERT_EQ(m_key.SetRaw(L"v", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size())),
                      ERROR_SUCCESS)
                << c.name;
        }
        EXPECT_EQ(Read("v"), c.expected) << c.name;
    }
}

TEST_F(RegReadValueTest, TextStoredWithoutNulLosesItsLastCharacter)
{
    // The character after the counted ones is not NUL, so nothing adds a terminator on storing.
    const std::wstring buffer = L"C:\\FS2002X";
    ASSERT_EQ(m_key.SetRaw(L"EXE Path", REG_SZ, buffer.data(), 9 * sizeof(wchar_t)), ERROR_SUCCESS);
    EXPECT_EQ(Read("EXE Path"), "C:\\FS200");
}

TEST_F(RegReadValueTest, NumbersReadInDecimalWithAtLeastThreeDigits)
{
    struct Case {
        DWORD value;
        std::string expected;
    };
    const Case cases[] = {
        {0, "000"},
        {5, "005"},
        {7, "007"},
        {99, "099"},
        {100, "100"},
        {1234, "1234"},
        {123456, "123456"},
        {0x01000000, "16777216"},
        {0x80000000u, "2147483648"},
        {4294967295u, "4294967295"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(m_key.SetNumber(L"n", c.value), ERROR_SUCCESS) << c.value;
        EXPECT_EQ(Read("n"), c.expected) << c.value;
    }
}

TEST_F(RegReadValueTest, ShortNumberReadsTheSpacesBehindIt)
{
    // Four bytes are always taken; the buffer was filled with spaces (20 hex) before the query.
    const BYTE two[] = {0x07, 0x00};
    ASSERT_EQ(m_key.SetRaw(L"n", REG_DWORD, two, sizeof two), ERROR_SUCCESS);
    EXPECT_EQ(Read("n"), std::to_string(0x20200007u));
}

TEST_F(RegReadValueTest, RawBytesReadAsUpperCaseHexPairs)
{
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
        std::string expected;
    };
    std::vector<BYTE> full(2048);
    std::string fullHex;
    for (std::size_t i = 0; i < full.size(); ++i) {
        full[i] = static_cast<BYTE>(i * 7);
        static constexpr char kDigits[] = "0123456789ABCDEF";
        fullHex += kDigits[full[i] >> 4];
        fullHex += kDigits[full[i] & 0xF];
    }
    const Case cases[] = {
        {"two bytes", {0x00, 0x1F}, "001F"},
        {"upper case", {0x0A, 0xFF}, "0AFF"},
        {"single zero", {0x00}, "00"},
        {"stored order, no separators", {0xDE, 0xAD, 0xBE, 0xEF, 0x01}, "DEADBEEF01"},
        {"no bytes", {}, ""},
        {"2048 bytes fill the buffer", full, fullHex},
        {"2049 bytes do not fit", std::vector<BYTE>(2049, 0x11), kMarker},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(m_key.SetRaw(L"b", REG_BINARY, c.bytes.data(), static_cast<DWORD>(c.bytes.size())),
                  ERROR_SUCCESS)
            << c.name;
        EXPECT_EQ(Read("b"), c.expected) << c.name;
    }
}

TEST_F(RegReadValueTest, UnreadableValuesGiveTheMarker)
{
    ASSERT_EQ(m_key.SetText(L"EXE Path", L"C:\\FS2002"), ERROR_SUCCESS);
    struct Case {
        const char* name;
        std::uint32_t root;
        std::string key;
        std::string valueName;
    };
    const Case cases[] = {
        {"missing value", kRootLocalMachine, KeyPath(), "Exe Path2"},
        {"missing key", kRootLocalMachine, KeyPath() + "\\absent\\", "EXE Path"},
        {"missing parent key", kRootLocalMachine, "SOFTWARE\\Korvalis-Absent\\x\\", "EXE Path"},
        {"another root", kRootCurrentUser, KeyPath(), "EXE Path"},
        {"no root at all", 0u, KeyPath(), "EXE Path"},
        {"NUL inside the value name", kRootLocalMachine, KeyPath(), std::string("EXE Path\0x", 10)},
    };
    for (const auto& c : cases) EXPECT_EQ(RegReadValue(c.root, c.key, c.valueName), kMarker) << c.name;
}

TEST_F(RegReadValueTest, KeyPathsOpenWithOrWithoutClosingSeparator)
{
    ASSERT_EQ(m_key.SetText(L"EXE Path", L"C:\\FS2002"), ERROR_SUCCESS);
    ASSERT_EQ(m_key.SetText(L"", L"default"), ERROR_SUCCESS);
    EXPECT_EQ(RegReadValue(kRootLocalMachine, KeyPath() + "\\", "EXE Path"), "C:\\FS2002");
    EXPECT_EQ(RegReadValue(kRootLocalMachine, KeyPath(), "EXE Path"), "C:\\FS2002");
    EXPECT_EQ(RegReadValue(kRootLocalMachine, KeyPath(), "exe path"), "C:\\FS2002") << "names ignore case";
    EXPECT_EQ(RegReadValue(kRootLocalMachine, KeyPath(), ""), "default") << "the key's unnamed value";
}

TEST_F(RegReadValueTest, ReadsOnlyTheThirtyTwoBitView)
{
    const std::string path = KeyPath() + "-64";
    ScratchKey only64(HKEY_LOCAL_MACHINE, WideFromUtf8(path), KEY_WOW64_64KEY);
    ASSERT_TRUE(only64.Created());
    ASSERT_EQ(only64.SetText(L"EXE Path", L"C:\\Only64"), ERROR_SUCCESS);
    EXPECT_EQ(RegReadValue(kRootLocalMachine, path + "\\", "EXE Path"), kMarker);

    ASSERT_EQ(m_key.SetText(L"EXE Path", L"C:\\Only32"), ERROR_SUCCESS);
    EXPECT_EQ(Read("EXE Path"), "C:\\Only32");
}

TEST_F(RegReadValueTest, HonoursTheRootItIsGiven)
{
    // The current user's Software key is the same in both views, so the view does not matter.
    const std::string path = "Software\\Korvalis-Tests-" + m_name;
    ScratchKey user(HKEY_CURRENT_USER, WideFromUtf8(path), 0);
    ASSERT_TRUE(user.Created());
    ASSERT_EQ(user.SetText(L"EXE Path", L"C:\\User"), ERROR_SUCCESS);
    EXPECT_EQ(RegReadValue(kRootCurrentUser, path, "EXE Path"), "C:\\User");
    EXPECT_EQ(RegReadValue(kRootLocalMachine, path, "EXE Path"), kMarker);
}

TEST_F(RegReadValueTest, TextOutsideTheAnsiCodePageReadsInFull)
{
    // Cyrillic and Japanese side by side: no ANSI code page holds both.
    ASSERT_EQ(m_key.SetText(L"EXE Path", L"D:\\Игры\\フライト 2004\\"), ERROR_SUCCESS);
    EXPECT_EQ(Read("EXE Path"), "D:\\Игры\\フライト 2004\\");
}

TEST_F(RegReadValueTest, NamesOutsideTheAnsiCodePageFindTheirOwnKeyAndValue)
{
    // Through the ANSI code page the value's name would become question marks, and a value
    // named so would answer for it.
    ScratchKey sub(HKEY_LOCAL_MACHINE, WideFromUtf8(KeyPath()) + L"\\Ключ キー", KEY_WOW64_32KEY);
    ASSERT_TRUE(sub.Created());
    ASSERT_EQ(sub.SetText(L"Путь パス", L"found"), ERROR_SUCCESS);
    ASSERT_EQ(sub.SetText(L"???? ??", L"wrong"), ERROR_SUCCESS);

    EXPECT_EQ(RegReadValue(kRootLocalMachine, KeyPath() + "\\Ключ キー\\", "Путь パス"), "found");
}

}  // namespace
}  // namespace korvalis::test
