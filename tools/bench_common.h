#pragma once

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue_shell.h"
#include "catalogue/enumerate.h"
#include "core/file_io.h"
#include "core/text.h"
#include "tools/fleet.h"

namespace korvalis::tools {

class QuietShell final : public CatalogueShell {
public:
    void SetHourglass(bool) override {}
    void ShowMessage(const std::string&) override {}
    void SetWriteEnabled(bool) override {}
    void SetWorking(bool) override {}
    void ShowProgress(const std::string&, int, int) override {}
    void ShowOutcome(const StatusNotes&) override {}
    void WorkFailed(WorkKind) override {}
    void OfferRestartAsAdministrator(const std::string&) override {}
};

// Runs `a` and `b` once each to warm the cache, then alternately `rounds` times, so that
// drift hits both alike. Returns the median wall times in seconds of a and of b.
template <typename A, typename B>
std::pair<double, double> AlternatingMedians(int rounds, A&& a, B&& b)
{
    const auto seconds = [](auto& f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    a();
    b();
    std::vector<double> as, bs;
    for (int i = 0; i < rounds; ++i) {
        as.push_back(seconds(a));
        bs.push_back(seconds(b));
    }
    std::sort(as.begin(), as.end());
    std::sort(bs.begin(), bs.end());
    return {as[as.size() / 2], bs[bs.size() / 2]};
}

// The least any scan must do: enumerate the same folders and, per file, open it, read its
// first 4 KiB and close it. Returns the number of files.
inline int ScanFloor(const std::filesystem::path& base)
{
    std::vector<std::filesystem::path> folders;
    EnumerateFolderEntries(base, [&](const std::filesystem::path& name, std::optional<bool>) {
        if (name != "." && name != "..") folders.push_back(name);
    });
    int files = 0;
    std::vector<char> buffer(4096);
    for (const auto& folder : folders) {
        EnumerateAirFiles(base / folder, [&](const std::filesystem::path& file) {
            io::ErrorCode error = 0;
            io::File f = io::File::OpenRead(base / folder / file, io::Share::ReadWrite, error);
            if (f.IsOpen()) f.Read(buffer.data(), buffer.size(), error);
            ++files;
        });
    }
    return files;
}

// The benchmark fleet: two files in each folder, made once per work folder.
inline std::filesystem::path BenchFleet(const std::filesystem::path& root, int folders)
{
    const auto dir = root / ("fleet2-" + std::to_string(folders));
    if (!std::filesystem::exists(dir / ".complete")) {
        std::filesystem::remove_all(dir);
        GenerateFleet(dir / "Aircraft", folders, 42, 2);
        std::ofstream(dir / ".complete") << "ok";
    }
    return dir / "Aircraft";
}

}  // namespace korvalis::tools
