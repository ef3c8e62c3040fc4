// Test helper, another program: opens the file named on its command line with no sharing
// at all, says "held" on standard output, and keeps it open until its standard input closes.
#include <windows.h>

#include "core/handles_win32.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    const korvalis::UniqueFileHandle file(::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    DWORD count = 0;
    if (!::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &count, nullptr)) return 1;
    char c = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &c, 1, &count, nullptr) && count > 0) {
    }
    return 0;
}
