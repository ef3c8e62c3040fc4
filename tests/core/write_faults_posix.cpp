#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

// WriteAirfileType in a child whose files may not grow past `limit` bytes. With SIGXFSZ
// ignored, the write that would cross the limit fails with EFBIG, as on a full disk.
std::int32_t WriteUnderFileSizeLimit(const fs::path& air, rlim_t limit)
{
    int fds[2];
    if (::pipe(fds) != 0) return 0;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const rlimit rl{limit, limit};
        std::int32_t result = 0;
        if (::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &rl) == 0) {
            result = WriteAirfileType(air, 1);
        }
        const bool sent = ::write(fds[1], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    std::int32_t result = 0;
    const bool got =
        child > 0 && ::read(fds[0], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
    ::close(fds[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    EXPECT_TRUE(got && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child did not report";
    return result;
}

TEST(WriteAirfileType, ABackupCopyCutShortKeepsTheEarlierBackup)
{
    // Large enough that the copy takes several chunks; the marker near the start.
    Bytes original(300 * 1024);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const Bytes marked = Concat({Marker(), Hex("00")});
    std::copy(marked.begin(), marked.end(), original.begin() + 100);
    const Bytes earlier = Hex("DE AD BE EF");

    const rlim_t limits[] = {0, 4096, 64 * 1024 + 1, original.size() - 1};
    const auto dir = FreshTestDir();
    const auto air = dir / "plane.air";
    const fs::path backup = BackupOf(air);
    for (const rlim_t limit : limits) {
        WriteBytes(air, original);
        WriteBytes(backup, earlier);
        EXPECT_EQ(WriteUnderFileSizeLimit(air, limit), EFBIG) << "limit " << limit;
        EXPECT_EQ(ReadBytes(backup), earlier) << "limit " << limit;
        EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(air))) << "limit " << limit;
        EXPECT_EQ(ReadBytes(air), original) << "limit " << limit;
    }
}

}  // namespace
}  // namespace korvalis::test
