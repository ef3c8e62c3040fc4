// Faults on the worker and in the scan: each leaves the worker usable and ends in one report,
// never in std::terminate. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "catalogue/scan.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/faulty_files.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"
#include "tools/fleet.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

// Starts threads as the system does, except the ones it is told to refuse.
struct CountingStart {
    std::atomic<int> started{0};
    std::atomic<int> refuse{0};  // the next this many starts fail
    ThreadStart Get()
    {
        return [this](std::function<void()> body) {
            if (refuse > 0) {
                --refuse;
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            ++started;
            return std::thread(std::move(body));
        };
    }
};

TEST(WorkerFaults, LeaveTheWorkerConsistentAndUsable)
{
    struct Case {
        const char* name;
        int refusedStarts;
        bool shutDownFirst;
        bool throwingResult;
        bool started;              // what Start answers
        std::vector<int> results;  // the results that ran, in order
        std::optional<bool> failed;
    };
    const Case cases[] = {
        {"work that ends", 0, false, false, true, {1, 2, 3}, false},
        {"a result that throws", 0, false, true, true, {1, 3}, true},
        {"a thread that cannot start", 1, false, false, true, {}, true},
        {"a start after shutdown", 0, true, false, false, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingStart start;
        start.refuse = c.refusedStarts;
        WorkLoop loop(start.Get());
        Worker& worker = loop.GetWorker();
        if (c.shutDownFirst) worker.Shutdown();
        std::vector<int> ran;
        std::optional<bool> failed;
        int ends = 0;
        const bool started = worker.Start(
            [&](WorkControl& control) {
                control.Post([&] { ran.push_back(1); });
                control.Post([&, c] {
                    if (c.throwingResult) throw std::runtime_error("fault in a result");
                    ran.push_back(2);
                });
                control.Post([&] { ran.push_back(3); });
            },
            [&](bool f) {
                failed = f;
                ++ends;
            });
        EXPECT_EQ(started, c.started);
        loop.RunUntilIdle();
        EXPECT_FALSE(worker.Running());
        EXPECT_EQ(ran, c.results);
        EXPECT_EQ(failed, c.failed);
        EXPECT_EQ(ends, c.failed ? 1 : 0) << "the end runs once";
        if (c.shutDownFirst) {
            EXPECT_EQ(start.started, 0) << "no thread after shutdown";
            continue;
        }
        // The next work runs as usual.
        bool again = false;
        failed.reset();
        ASSERT_TRUE(worker.Start([&](WorkControl& control) { control.Post([&] { again = true; }); },
                                 [&](bool f) { failed = f; }));
        loop.RunUntilIdle();
        EXPECT_TRUE(again);
        EXPECT_EQ(failed, false);
    }
}

// Collects a scan's rows; its hand-over throws at the `throwAt`th batch, and it asks for a stop
// after the first batch when told to.
class FaultySink final : public ScanSink, public WorkControl {
public:
    explicit FaultySink(int throwAt = 0, bool stopAfterFirst = false)
        : m_throwAt(throwAt), m_stopAfterFirst(stopAfterFirst)
    {
    }
    void FoldersListed(int) override {}
    void Rows(RowBatch batch, int read) override
    {
        if (++batches == m_throwAt) throw std::runtime_error("fault in the hand-over");
        for (std::unique_ptr<AirfileRow>& row : batch) rows.push_back(std::move(*row));
        foldersRead = read;
        if (m_stopAfterFirst && !rows.empty() && !m_stop.exchange(true) && m_onStop) m_onStop();
    }
    bool StopRequested() const override { return m_stop; }
    void SetStopHandler(std::function<void()> onStop) override { m_onStop = std::move(onStop); }
    void Post(std::function<void()>) override {}
    bool StopHandlerSet() const { return static_cast<bool>(m_onStop); }

    std::vector<AirfileRow> rows;
    int foldersRead = 0;
    int batches = 0;

private:
    int m_throwAt;
    bool m_stopAfterFirst;
    std::atomic<bool> m_stop{false};
    std::function<void()> m_onStop;  // set and used on the scanning thread only
};

// The hand-over sleeps through the interval and is woken only for the first rows and the end
// (or a stop): a lost wake-up would hold the scan for the whole hour.
TEST(ScanHandOver, IsWokenForTheFirstRowsAndTheEndOnly)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    tools::GenerateFleet(dir, 200, 5);
    FaultySink all;
    const ScanReport full = ScanAircraftDir(dir, 1, all, all, PaceTimes{{}, {}});
    struct Case {
        const char* name;
        bool stop;
    };
    for (const Case c : {Case{"to the end", false}, Case{"stopped after the first rows", true}}) {
        SCOPED_TRACE(c.name);
        FaultySink sink(0, c.stop);
        ReaderPool pool(3);
        const auto start = std::chrono::steady_clock::now();
        const ScanReport report =
            ScanAircraftDir(dir, pool, sink, sink, PaceTimes{std::chrono::hours(1), std::chrono::hours(1)});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(1));
        EXPECT_LE(sink.batches, 2) << "the first rows, then the rest at the end";
        EXPECT_EQ(report.foldersRead, sink.foldersRead);
        EXPECT_EQ(report.stopped, report.foldersRead < full.foldersRead);
        if (!c.stop) {
            EXPECT_FALSE(report.stopped);
            EXPECT_EQ(sink.rows.size(), all.rows.size());
        }
    }
}

TEST(ScanFaults, EndInAReportOfWhatWasHandedOver)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    tools::GenerateFleet(dir, 40, 3);
    struct Case {
        const char* name;
        int sinkThrowsAt;   // the batch whose hand-over throws, 0: none
        int refusedStarts;  // reader threads that cannot start
        int readerFaults;   // readers that throw
    };
    const Case cases[] = {
        {"the hand-over throws", 1, 0, 0},
        {"a reader cannot start", 0, 1, 0},
        {"a reader throws", 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingStart start;
        start.refuse = c.refusedStarts;
        ReaderPool pool(3, start.Get());
        const FaultyFiles files({}, 0, c.readerFaults);
        FaultySink sink(c.sinkThrowsAt);
        const ScanReport report = ScanAircraftDir(dir, pool, sink, sink, PaceTimes{{}, {}}, files);
        EXPECT_TRUE(report.fault);
        EXPECT_TRUE(report.stopped);
        EXPECT_EQ(report.folders, 40);
        EXPECT_EQ(report.foldersRead, sink.foldersRead) << "what was handed over, not 0 of 0";
        EXPECT_FALSE(sink.StopHandlerSet()) << "no stop handler left pointing at the ended scan";

        // The same readers scan again, in full.
        FaultySink next;
        const ScanReport full = ScanAircraftDir(dir, pool, next, next, PaceTimes{{}, {}});
        EXPECT_FALSE(full.fault);
        EXPECT_EQ(full.foldersRead, 40);
        EXPECT_EQ(start.started, 3) << "each reader started once, kept across scans";
    }
}

TEST(ScanFaults, ShowHowFarTheScanGotAndAreReportedOnce)
{
    const fs::path dir = FreshTestDir() / "Aircraft";
    for (int i = 0; i < 5; ++i) Put(dir / ("Plane " + std::to_string(i)) / "plane.air", AirOfType(0));
    SessionState state;
    state.AircraftDir = PathToUtf8(dir);
    MemoryAirfileList list;
    RecordingShell shell;
    CatalogueRig rig(state, list, shell);
    // The first on the worker's behalf; the command itself shows the listing.
    shell.throwAt = "progress";
    shell.throwAfter = 1;
    rig.Load_Airfiles();
    EXPECT_EQ(shell.failures, std::vector<WorkKind>{WorkKind::Scan});
    ASSERT_FALSE(shell.outcomes.empty());
    // Each folder holds one row, so the rows on the list are the folders read.
    EXPECT_EQ(shell.outcomes.back(), ScanFaultText(list.Count(), 5));
    EXPECT_EQ(shell.working, (std::vector<bool>{true, false}));
    rig.Load_Airfiles();
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(shell.failures.size(), 1u);
}

}  // namespace
}  // namespace korvalis::test
