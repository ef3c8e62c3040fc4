#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/worker.h"
#include "cli/options.h"

namespace korvalis::cli {

// Where the program's text goes: UTF-8, lines ended by kLineEnd.
struct CliIo {
    std::function<void(std::string_view)> out;
    std::function<void(std::string_view)> err;
    bool progress = false;  // stderr is a terminal: show a progress line there
};

// The tool's own work control: a stop asked for by Ctrl+C, taken between two files.
class StopSignal final : public WorkControl {
public:
    [[nodiscard]] bool StopRequested() const override { return m_stop.load(); }
    void SetStopHandler(std::function<void()> onStop) override;
    void Post(std::function<void()> result) override;
    // From any thread, a signal's own included; runs the scan's stop handler.
    void RequestStop();

private:
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::function<void()> m_onStop;
};

// Exit codes.
inline constexpr int kExitDone = 0, kExitFailed = 1, kExitUsage = 2, kExitNoDirectory = 3;

// Runs the command the arguments (without the program's name) ask for; returns the exit code.
int RunArguments(const std::vector<std::string>& args, CliIo& io, StopSignal& stop);

}  // namespace korvalis::cli
