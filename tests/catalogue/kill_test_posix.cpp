// The catalogue's write killed at random instants: whatever the instant, no file is lost and a
// second write finishes the job.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "core/airfile_internal.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 200;
constexpr int kKills = 100;

// The child writing `type` into every file below `dir`; reads its lines as they come.
class Child {
public:
    Child(const fs::path& dir, int type)
    {
        int fds[2];
        if (::pipe(fds) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            const std::string base = dir.string() + "/";
            const std::string code = std::to_string(type);
            ::execl(KORVALIS_WRITE_CHILD, "write_child", base.c_str(), code.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        m_out = ::fdopen(fds[0], "r");
    }
    ~Child()
    {
        if (m_pid > 0) Kill();
        if (m_out != nullptr) std::fclose(m_out);
    }
    // Waits for the child's next line.
    std::string Line()
    {
        char line[64] = {};
        return m_out != nullptr && std::fgets(line, sizeof line, m_out) != nullptr ? line : "";
    }
    void Kill()
    {
        ::kill(m_pid, SIGKILL);
        Wait();
    }
    int Wait()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
    FILE* m_out = nullptr;
};

struct Tally {
    int lost = 0;            // files or backups that are neither the old nor the new state
    int tempsAfterKill = 0;  // temporary backups a kill left behind
};

// Every file holds one of `types` as its type byte and is otherwise as it was; every backup is a
// complete copy of the file as some write found it; temporary backups are counted (or refused).
void Check(const fs::path& dir, const std::vector<Bytes>& originals, std::initializer_list<int> types,
           Tally& tally, bool tempsAllowed)
{
    const auto sameBut = [](const Bytes& bytes, const Bytes& original, auto allowedType) {
        const auto at = static_cast<std::size_t>(ReferenceMarkerOffset(original) + 8);
        return bytes.size() == original.size() && allowedType(bytes[at]) &&
               std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), original.begin()) &&
               std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(at) + 1, bytes.end(),
                          original.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    };
    for (int i = 0; i < kFiles; ++i) {
        const fs::path air = dir / ("Plane " + std::to_string(i)) / "plane.air";
        const auto inTypes = [&](std::uint8_t b) {
            return std::find(types.begin(), types.end(), b) != types.end();
        };
        if (!sameBut(ReadBytes(air), originals[static_cast<std::size_t>(i)], inTypes)) {
            ++tally.lost;
            ADD_FAILURE() << air.string() << " holds neither its old nor its new state";
        }
        if (fs::exists(BackupOf(air)) &&
            !sameBut(ReadBytes(BackupOf(air)), originals[static_cast<std::size_t>(i)],
                     [](std::uint8_t b) { return b <= 2; })) {
            ++tally.lost;
            ADD_FAILURE() << BackupOf(air).string() << " is not a complete backup";
        }
        if (fs::exists(detail::TemporaryBackupPath(air))) {
            ++tally.tempsAfterKill;
            if (!tempsAllowed)
                ADD_FAILURE() << detail::TemporaryBackupPath(air).string() << " was left behind";
        }
    }
}

TEST(CrashSafety, AWriteKilledAtAnyInstantLosesNothing)
{
    const unsigned seed = std::random_device{}();
    std::printf("[ NOTE ] kill seed %u\n", seed);
    std::mt19937 random(seed);

    // Fast storage where there is some: a kill does not lose the page cache, so it tests the same.
    const fs::path shm = "/dev/shm";
    const fs::path dir =
        (::access(shm.c_str(), W_OK) == 0 ? shm / ("korvalis-kill-" + std::to_string(::getpid()))
                                          : FreshTestDir()) /
        "Aircraft";
    std::vector<Bytes> originals;
    for (int i = 0; i < kFiles; ++i) {
        Bytes bytes =
            Concat({Bytes(static_cast<std::size_t>(100 + 7 * i), 0x5A), Marker(), {0}, Bytes(500, 0x3C)});
        Put(dir / ("Plane " + std::to_string(i)) / "plane.air", bytes);
        originals.push_back(std::move(bytes));
    }

    // How long a write takes here, from its start to its end.
    auto start = Clock::now();
    double writeSeconds = 0;
    {
        Child child(dir, 0);
        ASSERT_EQ(child.Line(), "writing\n");
        start = Clock::now();
        ASSERT_EQ(child.Line(), "done\n");
        writeSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        ASSERT_EQ(child.Wait(), 0);
    }

    Tally tally;
    int previous = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const int type = 1 + kill % 2;
        {
            Child child(dir, type);
            ASSERT_EQ(child.Line(), "writing\n");
            const auto delay = std::chrono::duration<double>(
                std::uniform_real_distribution<double>(0, writeSeconds * 1.1)(random));
            std::this_thread::sleep_for(delay);
            child.Kill();
        }
        Check(dir, originals, {previous, type}, tally, true);
        {
            Child second(dir, type);
            ASSERT_EQ(second.Line(), "writing\n");
            ASSERT_EQ(second.Line(), "done\n");
            ASSERT_EQ(second.Wait(), 0);
        }
        Tally finished;
        Check(dir, originals, {type}, finished, false);
        tally.lost += finished.lost;
        previous = type;
    }
    std::printf(
        "[ NOTE ] %d kills, %d files each (a write: %.3f s), %d lost, %d temporary backups left by kills, "
        "none after the second write\n",
        kKills, kFiles, writeSeconds, tally.lost, tally.tempsAfterKill);
    EXPECT_EQ(tally.lost, 0);
    std::error_code ignored;
    if (dir.parent_path().parent_path() == shm) fs::remove_all(dir.parent_path(), ignored);
}

}  // namespace
}  // namespace korvalis::test
