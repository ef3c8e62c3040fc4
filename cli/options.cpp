#include "cli/options.h"

#include <string_view>

namespace korvalis::cli {

namespace {

std::optional<RowKind> KindOf(std::string_view word, bool noneAllowed)
{
    if (word == "aircraft") return RowKind::Aircraft;
    if (word == "helicopter") return RowKind::Helicopter;
    if (word == "non-flyable") return RowKind::NonFlyable;
    if (noneAllowed && word == "none") return RowKind::WithoutType;
    return std::nullopt;
}

}  // namespace

Parsed ParseArguments(const std::vector<std::string>& args)
{
    Parsed parsed;
    Options& o = parsed.options;
    const auto fail = [&parsed](std::string error) {
        parsed.error = std::move(error);
        return parsed;
    };
    if (args.empty()) return fail("no command given");
    const std::string& command = args[0];
    std::size_t i = 1;
    if (command == "--help" || command == "--version") {
        o.command = command == "--help" ? Command::Help : Command::Version;
        if (args.size() > 1) return fail("'" + command + "' takes nothing after it");
        return parsed;
    }
    if (command == "list") {
        o.command = Command::List;
    } else if (command == "set") {
        o.command = Command::Set;
        if (args.size() < 2) return fail("'set' needs a type: aircraft, helicopter or non-flyable");
        const auto kind = KindOf(args[1], false);
        if (!kind) return fail("unknown type '" + args[1] + "': aircraft, helicopter or non-flyable");
        o.setType = static_cast<std::uint8_t>(*kind);
        i = 2;
    } else if (command == "restore") {
        o.command = Command::Restore;
    } else {
        return fail("unknown command '" + command + "'");
    }

    for (; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool takesValue = option == "--dir" || option == "--sim" || option == "--prefix" ||
                                option == "--name" || option == "--type" || option == "--format";
        if (takesValue && i + 1 >= args.size()) return fail("'" + option + "' needs a value");
        const std::string value = takesValue ? args[++i] : std::string();
        if (option == "--dir") {
            if (o.dir) return fail("'--dir' given twice");
            o.dir = value;
        } else if (option == "--sim") {
            if (o.sim) return fail("'--sim' given twice");
            if (value != "fs2004" && value != "fs2002")
                return fail("unknown simulator '" + value + "': fs2004 or fs2002");
            o.sim = value == "fs2004" ? Simulator::FS2004 : Simulator::FS2002;
        } else if (option == "--prefix") {
            if (o.prefix) return fail("'--prefix' given twice");
            o.prefix = value;
        } else if (option == "--all") {
            o.all = true;
        } else if (option == "--ai") {
            o.ai = true;
        } else if (option == "--name") {
            if (value.find_first_not_of(" \t") == std::string::npos) return fail("'--name' needs a text");
            o.names.push_back(value);
        } else if (option == "--type") {
            const auto kind = KindOf(value, true);
            if (!kind) return fail("unknown type '" + value + "': aircraft, helicopter, non-flyable or none");
            o.types.push_back(*kind);
        } else if (option == "--format" && o.command == Command::List) {
            if (value != "tsv" && value != "json") return fail("unknown format '" + value + "': tsv or json");
            o.format = value == "tsv" ? Format::Tsv : Format::Json;
        } else if (option == "--dry-run" && o.command != Command::List) {
            o.dryRun = true;
        } else {
            return fail("unknown option '" + option + "' for '" + command + "'");
        }
    }

    if (o.dir && o.sim) return fail("'--dir' and '--sim' cannot be given together");
    if (!o.dir && !o.sim) return fail("'--dir' or '--sim' is needed");
    if (o.prefix && !o.sim) return fail("'--prefix' goes only with '--sim'");
#ifdef _WIN32
    if (o.prefix) return fail("'--prefix' is for Wine's prefixes; under Windows the registry is read");
#endif
    // A change to every file is asked for by name, never by leaving the selector out.
    if (o.command != Command::List && !o.AnySelector())
        return fail("'" + command + "' needs a selector: --all, --ai, --name or --type");
    return parsed;
}

std::string UsageText(const char* lineEnd)
{
    static constexpr const char* kLines[] = {
        "Usage:",
        "  korvalis-cli list    WHERE [SELECT...] [--format tsv|json]",
        "  korvalis-cli set TYPE WHERE SELECT... [--dry-run]",
        "  korvalis-cli restore WHERE SELECT... [--dry-run]",
        "  korvalis-cli --help | --version",
        "",
        "WHERE:",
        "  --dir DIR             the aircraft directory",
        "  --sim fs2004|fs2002   the aircraft directory the simulator records",
#ifndef _WIN32
        "  --prefix WINEPREFIX   the Wine prefix to read it from (else $WINEPREFIX, else ~/.wine)",
#endif
        "TYPE:                   aircraft | helicopter | non-flyable",
        "SELECT (kinds must all hold; several --name or --type: any of them):",
        "  --all                 every row",
        "  --ai                  the rows whose folder name holds \"AI\" or \"MY\"",
        "  --name PATTERN        folder or file name holds the text; with * or ? matches it whole",
        "  --type T              rows of type aircraft, helicopter, non-flyable or none",
        "Other options:",
        "  --format tsv|json     list's output (tsv by default)",
        "  --dry-run             say what set or restore would do, and change nothing",
        "  --help                this text",
        "  --version             the program's version",
    };
    std::string text;
    for (const char* line : kLines) text.append(line).append(lineEnd);
    return text;
}

}  // namespace korvalis::cli
