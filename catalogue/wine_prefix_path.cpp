#include "catalogue/aircraft_dir.h"

#include <algorithm>
#include <system_error>

#include "core/case_fold.h"
#include "core/text.h"

// Apart from the rest of aircraft_dir.cpp: only the Linux tool maps paths into a prefix, and the
// window should not link the file-system calls this takes.
namespace fs = std::filesystem;

namespace korvalis {

namespace {

// The name in `dir` for `part`: itself when it is there, else the one equal to it ignoring
// case (the first by code points when several are), else itself.
fs::path MatchPart(const fs::path& dir, const std::string& part)
{
    const fs::path exact = dir / PathFromUtf8(part);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    const std::u32string wanted = FoldedText(part);
    std::string best;
    bool found = false;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = PathToUtf8(it->path().filename());
        if (FoldedText(name) == wanted && (!found || name < best)) {
            best = name;
            found = true;
        }
    }
    return found ? dir / PathFromUtf8(best) : exact;
}

}  // namespace

std::optional<fs::path> WinePrefixPath(const fs::path& prefix, std::string_view windowsPath)
{
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (windowsPath.size() < 2 || !isLetter(windowsPath[0]) || windowsPath[1] != ':') return std::nullopt;
    // Wine names the drives' links in lower case: dosdevices/c: -> ../drive_c.
    const char drive[] = {static_cast<char>(windowsPath[0] | 0x20), ':', '\0'};
    fs::path path = prefix / "dosdevices" / drive;
    std::string_view rest = windowsPath.substr(2);
    while (!rest.empty()) {
        const std::size_t cut = std::min(rest.find_first_of("\\/"), rest.size());
        if (cut > 0) path = MatchPart(path, std::string(rest.substr(0, cut)));
        rest.remove_prefix(std::min(cut + 1, rest.size()));
    }
    return path;
}

}  // namespace korvalis
