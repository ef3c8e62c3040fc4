#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/run.h"

namespace korvalis::test {

struct CliOutcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the tool in this process; `onOut` runs after each piece of stdout (a stop, say).
inline CliOutcome RunCli(const std::vector<std::string>& args, cli::StopSignal* stop = nullptr,
                         const std::function<void()>& onOut = {})
{
    CliOutcome o;
    cli::StopSignal own;
    cli::CliIo io;
    io.out = [&](std::string_view text) {
        o.out += text;
        if (onOut) onOut();
    };
    io.err = [&](std::string_view text) { o.err += text; };
    o.code = cli::RunArguments(args, io, stop != nullptr ? *stop : own);
    return o;
}

}  // namespace korvalis::test
