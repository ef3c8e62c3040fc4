// Asks a window of another process for WM_NULL every 5 ms and writes how long each answer took,
// in milliseconds, one a line:
//   sampler HWND NAME OUTFILE
// HWND in hexadecimal; the sampler sets the event "NAME ready" once it samples and stops when
// "NAME stop" is set. Another process, because a thread of the window's own process is answered
// sooner than the accessibility aids and test drivers a user runs.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: sampler HWND NAME OUTFILE\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoull(argv[1], nullptr, 16)));
    const std::wstring name = argv[2];
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, (name + L" ready").c_str());
    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, (name + L" stop").c_str());
    if (ready == nullptr || stop == nullptr) return 1;
    std::vector<double> answers;
    answers.reserve(100000);
    ::SetEvent(ready);
    while (::WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
        const auto start = Clock::now();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        answers.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::this_thread::sleep_until(start + std::chrono::milliseconds(5));
    }
    FILE* out = _wfopen(argv[3], L"w");
    if (out == nullptr) return 1;
    for (double answer : answers) std::fprintf(out, "%.3f\n", answer);
    std::fclose(out);
    return 0;
}
