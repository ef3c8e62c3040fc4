// Test helper, another program: opens a file, says "held" on standard output, and keeps it
// open until its standard input closes.
//   hold_file PATH none     reads and writes it, lets others do nothing
//   hold_file PATH reader   reads it, lets others only read
//   hold_file PATH writer   reads and writes it, lets others only read
#include <windows.h>

#include <string>

#include "core/handles_win32.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) return 2;
    const std::wstring mode = argv[2];
    const DWORD access = mode == L"reader" ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = mode == L"none" ? 0 : FILE_SHARE_READ;
    const korvalis::UniqueFileHandle file(
        ::CreateFileW(argv[1], access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    DWORD count = 0;
    if (!::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &count, nullptr)) return 1;
    char c = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &c, 1, &count, nullptr) && count > 0) {
    }
    return 0;
}
