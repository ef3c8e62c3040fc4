#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "cli/system_io.h"

namespace korvalis::cli {

namespace {

void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // a closed pipe: nothing more can be said there
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

CliIo SystemIo()
{
    CliIo io;
    io.out = [](std::string_view text) { WriteAll(STDOUT_FILENO, text); };
    io.err = [](std::string_view text) { WriteAll(STDERR_FILENO, text); };
    io.progress = ::isatty(STDERR_FILENO) == 1;
    return io;
}

void StopOnInterrupt(StopSignal& stop)
{
    // SIGINT is blocked in every thread and taken by one of its own, where the stop may take a
    // lock and run the scan's handler, which a signal handler could not.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // A closed pipe on stdout gives an error to the write, not the end of the program.
    ::signal(SIGPIPE, SIG_IGN);
    std::thread([set, &stop] {
        int signal = 0;
        if (::sigwait(&set, &signal) == 0) stop.RequestStop();
    }).detach();
}

}  // namespace korvalis::cli
