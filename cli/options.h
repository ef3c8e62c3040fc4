#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/marking.h"

namespace korvalis::cli {

enum class Command { List, Set, Restore, Help, Version };
enum class Simulator { FS2004, FS2002 };
enum class Format { Tsv, Json };

// What the command line asks for, as the arguments give it.
struct Options {
    Command command = Command::List;
    std::uint8_t setType = 0;  // for Set
    std::optional<std::string> dir;
    std::optional<Simulator> sim;
    std::optional<std::string> prefix;
    bool all = false;
    bool ai = false;
    std::vector<std::string> names;
    std::vector<RowKind> types;
    Format format = Format::Tsv;
    bool dryRun = false;

    [[nodiscard]] bool AnySelector() const { return all || ai || !names.empty() || !types.empty(); }
};

struct Parsed {
    Options options;
    std::string error;  // a usage error, "" when none
};

// The arguments after the program's name.
Parsed ParseArguments(const std::vector<std::string>& args);

// The usage text --help prints, each line ended by `lineEnd`.
std::string UsageText(const char* lineEnd);

}  // namespace korvalis::cli
