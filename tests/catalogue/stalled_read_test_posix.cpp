// A read the system holds, as a share that stops answering does: natively a FIFO named like an
// .air file blocks its reader in open(2) until somebody opens it for writing. Under Wine such a
// read does not block, so these run natively only (under ThreadSanitizer as well).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "catalogue/catalogue.h"
#include "catalogue/enumerate.h"
#include "catalogue/status_text.h"
#include "core/text.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace korvalis::test {
namespace {

// Generous: nothing here fails for a slow machine, only for a wait that never ends.
constexpr auto kDeadline = 10s;
constexpr int kFolders = 60;

class StalledRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path root = FreshTestDir();
        m_dir = root / "Aircraft";
        m_other = root / "Other";
        for (int i = 0; i < 3; ++i) Put(m_other / ("Other " + std::to_string(i)) / "other.air", AirOfType(1));
        for (int i = 0; i < kFolders; ++i)
            Put(m_dir / ("Plane " + std::to_string(i)) / "plane.air", AirOfType(0));
        // The FIFO goes into the folder the scan reads last, so every other one comes before it.
        fs::path last;
        EnumerateFolderEntries(m_dir, [&](const fs::path& name, std::optional<bool>) { last = name; });
        m_fifo = m_dir / last / "x.air";
        ASSERT_EQ(::mkfifo(m_fifo.c_str(), 0600), 0);
        m_state.AircraftDir = PathToUtf8(m_dir);
    }

    void TearDown() override
    {
        m_worker.RequestStop();
        Pump([&] {
            Answer();
            return !m_worker.Running();
        });
        m_worker.Shutdown();
        // The reader held in the FIFO comes back once it is answered, finds its scan over and
        // ends like every other thread.
        const auto until = std::chrono::steady_clock::now() + kDeadline;
        while (m_ended < m_started && std::chrono::steady_clock::now() < until) {
            Answer();
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(m_ended.load(), m_started.load()) << "a thread never ended";
    }

    // Once a reader waits in the FIFO, holds its writing end: the reader's open returns, and its
    // read waits for data that never comes until Answer closes it.
    bool ReaderBlocked()
    {
        if (m_writer < 0) m_writer = ::open(m_fifo.c_str(), O_WRONLY | O_NONBLOCK);
        return m_writer >= 0;
    }
    void Answer()
    {
        if (ReaderBlocked()) ::close(m_writer);
        m_writer = -1;
    }

    // Runs what the work posts, as the window's thread does, until `done` or the deadline.
    template <typename Done>
    bool Pump(Done done)
    {
        const auto until = std::chrono::steady_clock::now() + kDeadline;
        for (;;) {
            m_worker.RunPosted();
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= until) return false;
            std::unique_lock<std::mutex> lock(m_mutex);
            m_woken.wait_for(lock, 5ms, [this] { return m_pending; });
            m_pending = false;
        }
    }

    bool Wake()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = true;
        m_woken.notify_one();
        return true;
    }

    // Counts the threads the worker and its readers start, and those that have ended.
    std::thread Start(std::function<void()> body)
    {
        ++m_started;
        return std::thread([this, body = std::move(body)]() mutable {
            body();
            body = nullptr;  // what the thread held goes before it counts as ended
            ++m_ended;
        });
    }

    fs::path m_dir, m_other, m_fifo;
    int m_writer = -1;
    std::atomic<int> m_started{0}, m_ended{0};
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_pending = false;
    SessionState m_state;
    MemoryAirfileList m_list;
    RecordingShell m_shell;
    Worker m_worker{[this] { return Wake(); }, [this](std::function<void()> body) { return Start(std::move(body)); },
                    3};
    Catalogue m_catalogue{m_state, m_list, m_shell, m_worker};
};

// Rows read before a stalled file, and how far the scan got, reach the window although nothing
// new comes after them, even when the window took its time with the first rows.
TEST_F(StalledRead, WhatWasReadBeforeItIsShown)
{
    m_catalogue.Load_Airfiles();
    std::this_thread::sleep_for(300ms);  // the window's thread is away meanwhile
    const bool shown =
        Pump([&] { return m_list.Count() == kFolders - 1 && m_shell.lastDone == kFolders - 1; });
    EXPECT_TRUE(shown) << m_list.Count() << " rows and " << m_shell.lastDone << " folders shown of "
                       << kFolders - 1;
    EXPECT_EQ(m_shell.progress.back(), ReadingText(kFolders, kFolders));
    EXPECT_TRUE(m_worker.Running());
}

// Esc ends the scan, a next scan runs and the program's end comes, all while the reader is still
// held; it ends on its own once answered (TearDown).
TEST_F(StalledRead, NothingWaitsForIt)
{
    m_catalogue.Load_Airfiles();
    ASSERT_TRUE(Pump([&] { return ReaderBlocked(); })) << "no reader came to the FIFO";
    m_worker.RequestStop();
    ASSERT_TRUE(Pump([&] { return !m_worker.Running(); })) << "the end waited for the held read";
    // One row per folder: the rows are the folders read.
    EXPECT_EQ(m_shell.outcomes.back(), "Stopped after " + std::to_string(m_list.Count()) + " of " +
                                           std::to_string(kFolders) + " folders");

    m_state.AircraftDir = PathToUtf8(m_other);
    m_catalogue.Load_Airfiles();
    // Had the held reader been given a folder, that folder would never end.
    ASSERT_TRUE(Pump([&] { return !m_worker.Running(); })) << "the next scan waited for the held reader";
    EXPECT_EQ(m_list.Count(), 3);

    m_worker.Shutdown();  // were it to wait, ctest's time limit would end the test
    EXPECT_EQ(m_ended.load(), m_started.load() - 1) << "every thread but the held reader has ended";
}

}  // namespace
}  // namespace korvalis::test
