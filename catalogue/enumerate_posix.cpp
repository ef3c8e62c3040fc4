#include <cctype>
#include <string>
#include <system_error>

#include "catalogue/enumerate.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

// Stands in for the Windows hidden attribute, as Wine itself reads such names.
bool IsHiddenName(const std::string& name) { return !name.empty() && name.front() == '.'; }

// Windows matches "*.air" without regard to case.
bool MatchesAirPattern(const std::string& name)
{
    static const std::string kExt = ".air";
    if (name.size() < kExt.size()) return false;
    for (std::size_t i = 0; i < kExt.size(); ++i) {
        const char c = name[name.size() - kExt.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != kExt[i]) return false;
    }
    return true;
}

bool Failed(const std::error_code& ec, std::int32_t* error)
{
    if (error != nullptr) *error = ec.value();
    return false;
}

}  // namespace

bool EnumerateFolderEntries(const fs::path& folder, const EntryCallback& each, std::int32_t* error)
{
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return Failed(ec, error);
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (IsHiddenName(name.native())) continue;
        std::error_code typeError;
        const bool directory = it->is_directory(typeError);  // follows a symbolic link
        each(name, typeError ? std::nullopt : std::optional<bool>(directory));
    }
    // An error while moving on ends the loop as the end would: the listing broke off.
    if (ec) return Failed(ec, error);
    return true;
}

bool EnumerateAirFiles(const fs::path& folder, const NameCallback& each, std::int32_t* error)
{
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return Failed(ec, error);
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path name = it->path().filename();
        std::error_code typeError;
        if (MatchesAirPattern(name.native()) && !it->is_directory(typeError)) each(name);
    }
    if (ec) return Failed(ec, error);
    return true;
}

}  // namespace korvalis
