#include <windows.h>

#include "cli/system_io.h"
#include "core/text.h"

namespace korvalis::cli {

namespace {

StopSignal* g_stop = nullptr;

// A console takes UTF-16 whatever its code page; a pipe or file gets the UTF-8 bytes.
void Write(DWORD which, std::string_view text)
{
    const HANDLE handle = ::GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode)) {
        const std::wstring wide = WideFromUtf8(text);
        DWORD written = 0;
        ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        if (!::WriteFile(handle, text.data(), chunk, &written, nullptr) || written == 0) return;
        text.remove_prefix(written);
    }
}

BOOL WINAPI OnControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // The system runs this on a thread of its own, which may take a lock.
    if (g_stop != nullptr) g_stop->RequestStop();
    return TRUE;
}

}  // namespace

CliIo SystemIo()
{
    CliIo io;
    io.out = [](std::string_view text) { Write(STD_OUTPUT_HANDLE, text); };
    io.err = [](std::string_view text) { Write(STD_ERROR_HANDLE, text); };
    DWORD mode = 0;
    io.progress = ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
    return io;
}

void StopOnInterrupt(StopSignal& stop)
{
    g_stop = &stop;
    ::SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace korvalis::cli
