// The work that runs off the owner's thread: the worker's hand-over, the parallel scan's order,
// stopping, and a fault on the worker. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <stdexcept>

#include "catalogue/error_text.h"
#include "catalogue/scan.h"
#include "catalogue/status_text.h"
#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "core/file_io.h"
#include "core/text.h"
#include "tests/support/catalogue_rig.h"
#include "tests/support/hooked_routines.h"
#include "tests/support/memory_airfile_list.h"
#include "tests/support/recording_shell.h"
#include "tests/support/test_support.h"
#include "tools/fleet.h"

namespace fs = std::filesystem;

namespace korvalis::test {
namespace {

TEST(Worker, HandsResultsOverInOrderThenItsEnd)
{
    struct Case {
        const char* name;
        bool fault;
    };
    for (const Case c : {Case{"work that ends", false}, Case{"work that throws", true}}) {
        WorkLoop loop;
        std::vector<int> seen;
        std::optional<bool> failed;
        loop.GetWorker().Start(
            [&seen, c](WorkControl& control) {
                for (int i = 0; i < 200; ++i) control.Post([&seen, i] { seen.push_back(i); });
                if (c.fault) throw std::runtime_error("fault");
            },
            [&](bool f) {
                failed = f;
                seen.push_back(-1);
            });
        EXPECT_TRUE(loop.GetWorker().Running()) << c.name;
        loop.RunUntilIdle();
        ASSERT_EQ(seen.size(), 201u) << c.name;
        for (int i = 0; i < 200; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i) << c.name;
        EXPECT_EQ(seen.back(), -1) << c.name << ": the end comes last";
        EXPECT_EQ(failed, c.fault) << c.name;
        EXPECT_FALSE(loop.GetWorker().Running()) << c.name;
    }
}

// The owner hears of waiting results only through the wake; the first `lost` wake-ups never
// arrive, as a post to a full message queue. (A lost wake at the end is the owner's timer's.)
TEST(Worker, AWakeUpThatIsLostIsTriedAgain)
{
    struct Case {
        const char* name;
        int lost;
        int results;
    };
    const Case cases[] = {
        {"lost at the first result, tried at the next", 1, 3},
        {"lost at the only result, tried at the end", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mutex mutex;
        std::condition_variable woken;
        bool pending = false;
        int lost = c.lost;
        Worker worker([&] {
            std::lock_guard<std::mutex> lock(mutex);
            if (lost > 0) {
                --lost;
                return false;
            }
            pending = true;
            woken.notify_one();
            return true;
        });
        int seen = 0;
        bool ended = false;
        worker.Start(
            [&seen, c](WorkControl& control) {
                for (int i = 0; i < c.results; ++i) control.Post([&seen] { ++seen; });
            },
            [&ended](bool) { ended = true; });
        while (worker.Running()) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                if (!woken.wait_for(lock, std::chrono::seconds(5), [&] { return pending; })) break;
                pending = false;
            }
            worker.RunPosted();
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(seen, c.results);
        EXPECT_FALSE(worker.Running());
    }
}

// Collects what a scan hands over, and can ask it to stop after some rows.
class Collector final : public ScanSink, public WorkControl {
public:
    explicit Collector(std::size_t stopAfter = SIZE_MAX) : m_stopAfter(stopAfter) {}
    void FoldersListed(int) override {}
    void Rows(RowBatch batch, int foldersRead) override
    {
        EXPECT_GE(foldersRead, m_foldersRead) << "folders are handed over in order";
        m_foldersRead = foldersRead;
        for (std::unique_ptr<AirfileRow>& row : batch) {
            EXPECT_EQ(row->scanIndex, rows.size()) << "rows are handed over in scan order";
            rows.push_back(std::move(*row));
        }
        if (rows.size() >= m_stopAfter && !m_stop.exchange(true) && m_onStop) m_onStop();
    }
    bool StopRequested() const override { return m_stop; }
    void SetStopHandler(std::function<void()> onStop) override { m_onStop = std::move(onStop); }
    void Post(std::function<void()>) override {}

    std::vector<AirfileRow> rows;

private:
    std::size_t m_stopAfter;
    int m_foldersRead = 0;
    std::atomic<bool> m_stop{false};
    std::function<void()> m_onStop;  // set and used on the scanning thread only
};

using Listed = std::vector<std::tuple<std::string, std::string, int>>;

Listed Names(const std::vector<AirfileRow>& rows)
{
    Listed names;
    for (const AirfileRow& r : rows) names.emplace_back(r.FolderText(), r.FileText(), r.pendingType);
    return names;
}

TEST(ParallelScan, ListsExactlyTheRowsOfOneReaderInTheSameOrder)
{
    const fs::path dir = FreshTestDir() / "Aircraft" / "";  // the scan's base ends with the separator
    tools::GenerateFleet(dir, 300, 7);
    Collector one;
    const ScanReport alone = ScanAircraftDir(dir, 1, one, one, PaceTimes{{}, {}});
    ASSERT_GT(one.rows.size(), 300u);
    for (unsigned readers : {2u, 4u}) {
        Collector many;
        const ScanReport report = ScanAircraftDir(dir, readers, many, many, PaceTimes{{}, {}});
        EXPECT_EQ(Names(many.rows), Names(one.rows)) << readers << " readers";
        EXPECT_EQ(report.noMarker, alone.noMarker);
        EXPECT_EQ(report.unreadable, alone.unreadable);
        EXPECT_EQ(report.foldersRead, 300);
        EXPECT_FALSE(report.stopped);
    }

    // Stopped, it keeps what it handed over: the first rows of the same order.
    Collector stopped(50);
    const ScanReport report = ScanAircraftDir(dir, 2, stopped, stopped, PaceTimes{{}, {}});
    EXPECT_TRUE(report.stopped);
    EXPECT_LT(report.foldersRead, 300);
    ASSERT_GE(stopped.rows.size(), 50u);
    ASSERT_LT(stopped.rows.size(), one.rows.size());
    Listed first = Names(one.rows);
    first.resize(stopped.rows.size());
    EXPECT_EQ(Names(stopped.rows), first);
}

class StoppedWork : public ::testing::Test {
protected:
    // Five marked rows of type 0, to be written as type 1; `readOnly` fails with its own reason.
    void Fill(int readOnly)
    {
        m_dir = FreshTestDir() / "Aircraft";
        for (int i = 0; i < 5; ++i) Put(File(i), AirOfType(0));
        if (readOnly >= 0) SetReadOnly(File(readOnly), true);
        m_state.AircraftDir = PathToUtf8(m_dir);
        m_rig.Load_Airfiles();
        ASSERT_EQ(m_list.Count(), 5);
        m_list.Sort({SortColumn::Folder, false});  // row i + 1 is "Plane i"
        for (int i = 1; i <= 5; ++i) m_list.SetMarked(i, true);
        m_rig.AssignTypeToMarked(1);
    }
    fs::path File(int i) const { return m_dir / ("Plane " + std::to_string(i)) / "plane.air"; }
    void TearDown() override
    {
        for (int i = 0; i < 5; ++i) SetReadOnly(File(i), false);
    }

    fs::path m_dir;
    SessionState m_state;
    MemoryAirfileList m_list;
    RecordingShell m_shell;
    CatalogueRig m_rig{m_state, m_list, m_shell};
};

TEST_F(StoppedWork, AWriteStopsBetweenTwoFiles)
{
    struct Case {
        int stopAt;    // the file before which Esc arrives
        int readOnly;  // a file that fails, -1: none
        std::string outcome;
        bool message;
    };
    const std::string denied = "1 " + WithoutStop(ErrorText(io::AccessDeniedError())) + " (first: Plane 0" +
                               std::string(1, kDirSeparator) + "plane.air)";
    const Case cases[] = {
        {1, -1, "Stopped after 1 of 5: 1 written", false},
        {2, -1, "Stopped after 2 of 5: 2 written", false},
        {3, 0, "Stopped after 3 of 5: 2 written, 1 failed: " + denied, true},
        {5, -1, "5 written", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopAt);
        Fill(c.readOnly);
        m_shell = RecordingShell();
        // Esc while the file before arrives: that one is finished, the next one never begun.
        HookedRoutines routines([&](int file) {
            if (file == c.stopAt - 1) m_rig.Get().StopWork();
        });
        m_rig.Get().SetFileRoutines(routines);
        m_rig.WriteMarkedTypes();
        m_rig.Get().SetFileRoutines(SystemAirfileRoutines());
        for (int i = 0; i < 5; ++i) {
            const bool written = i < c.stopAt && i != c.readOnly;
            EXPECT_EQ(ReadAirfileType(File(i)), written ? "1" : "0") << i;
            EXPECT_EQ(fs::exists(BackupOf(File(i))), i < c.stopAt)
                << i << ": a backup only where the file was begun";
            EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(File(i)))) << i;
            EXPECT_EQ(m_list.IsMarked(i + 1), !written) << i;
        }
        ASSERT_FALSE(m_shell.outcomes.empty());
        EXPECT_EQ(m_shell.outcomeNotes.back().at(0).text, c.outcome);  // with a system message's full stop
        const auto messages = std::count(m_shell.calls.begin(), m_shell.calls.end(),
                                         std::string("message: ") + kWriteFailedMessage);
        EXPECT_EQ(messages, c.message ? 1 : 0);
        EXPECT_EQ(m_shell.writeEnabled, !c.message);
        EXPECT_EQ(m_shell.working, (std::vector<bool>{true, false}));
        TearDown();
    }
}

TEST_F(StoppedWork, AFaultOnTheWorkerEndsTheWorkWithOneReport)
{
    Fill(-1);
    m_shell = RecordingShell();
    HookedRoutines throwing([](int) { throw std::runtime_error("fault"); });
    m_rig.Get().SetFileRoutines(throwing);
    m_rig.Load_Airfiles();
    m_rig.Get().SetFileRoutines(SystemAirfileRoutines());
    EXPECT_EQ(m_shell.failures, std::vector<WorkKind>{WorkKind::Scan});
    EXPECT_EQ(m_shell.calls, (std::vector<std::string>{"hourglass", "write off", "pointer"}))
        << "no message box";
    EXPECT_EQ(m_shell.working, (std::vector<bool>{true, false}));
    // The program goes on: the next scan works.
    m_rig.Load_Airfiles();
    EXPECT_EQ(m_list.Count(), 5);
    EXPECT_EQ(m_shell.failures.size(), 1u);
}

// A throw where the end of a write or scan is shown, or where a file's result is recorded: the work
// is over, the window is given back, the throw reaches the owner once, and every row says what
// its file holds.
TEST_F(StoppedWork, AThrowWhereTheWorkEndsLeavesTheWindowUsableAndTheRowsTrue)
{
    struct Case {
        const char* name;
        bool scan;                // else a write whose first file fails
        std::string shellThrows;  // the call of the shell that throws
        bool failureThrows;       // recording a file's failure in its row throws
    };
    const Case cases[] = {
        {"the write's outcome", false, "outcome", false}, {"Write switched off", false, "write off", false},
        {"the message", false, "message", false},         {"the pointer", false, "pointer", false},
        {"recording a failure", false, "", true},         {"the scan's outcome", true, "outcome", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(0);
        m_shell = RecordingShell();
        m_shell.throwAt = c.shellThrows;
        m_list.throwAtFailure = c.failureThrows;
        bool threw = false;
        try {
            if (c.scan) {
                m_rig.Load_Airfiles();
                m_list.Sort({SortColumn::Folder, false});
            } else {
                m_rig.WriteMarkedTypes();
            }
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        EXPECT_EQ(static_cast<std::size_t>(threw) + m_shell.failures.size(), 1u) << "told once";
        EXPECT_FALSE(m_rig.Get().WorkRunning());
        ASSERT_FALSE(m_shell.calls.empty());
        EXPECT_EQ(m_shell.calls.back(), "pointer");
        ASSERT_FALSE(m_shell.working.empty());
        EXPECT_FALSE(m_shell.working.back());
        EXPECT_EQ(m_shell.writeEnabled, false);
        EXPECT_EQ(m_list.openChanges, 0);
        ASSERT_EQ(m_list.Count(), 5);
        for (int i = 0; i < 5; ++i) {
            const std::string onDisk = ReadAirfileType(File(i));
            const AirfileRow& row = m_list.Row(i + 1);
            EXPECT_EQ(std::to_string(row.fileType), onDisk) << i;
            EXPECT_EQ(m_list.IsMarked(i + 1), !c.scan && onDisk == "0") << i;
            EXPECT_EQ(row.Changed(), !c.scan && onDisk == "0") << i;
        }
        TearDown();
    }
}

TEST(StatusText, PlainEnglishWithThousands)
{
    RunOutcome failed{411, 1, {{"Access is denied.", false, "F\\a.air"}}, false, 412, 412};
    RunOutcome stopped{12, 0, {}, true, 12, 412};
    const auto scan = [](int noMarker, int unreadable, int unlistable, bool cut, int foldersRead) {
        ScanReport report;
        report.noMarker = noMarker;
        report.unreadable = unreadable;
        report.unlistable = unlistable;
        report.firstUnreadable = {"Old 747", "747.air", io::AccessDeniedError()};
        report.firstUnlistable = {"Locked", "", io::AccessDeniedError()};
        report.stopped = cut;
        report.foldersRead = foldersRead;
        report.folders = 5000;
        return ScanOutcomeText(report, "FS9/Aircraft/");
    };
    ScanReport unlistedBase;
    unlistedBase.baseUnlistable = true;
    unlistedBase.baseError = io::AccessDeniedError();
    ScanReport brokeOff;
    brokeOff.baseBrokeOff = true;
    brokeOff.baseError = io::AccessDeniedError();
    brokeOff.folders = brokeOff.foldersRead = 1234;
    brokeOff.noMarker = 2;
    const std::string sep(1, kDirSeparator);
    const std::string deniedText = ErrorText(io::AccessDeniedError());
    // Part two drops a system message's full stop where it joins it.
    const std::string denied =
        !deniedText.empty() && deniedText.back() == '.' ? deniedText.substr(0, deniedText.size() - 1) : deniedText;
    const StatusNotes notes = {{"Sharing violation.", {"F\\a.air"}}, {"", {"hidden"}}, {"3 written", {}}};
    const std::pair<std::string, std::string> cases[] = {
        {Thousands(0), "0"},
        {Thousands(999), "999"},
        {Thousands(1000), "1,000"},
        {Thousands(1234567), "1,234,567"},
        {CountsText(7325, 412, 3), "7,325 airfiles, 412 marked, 3 changed and not written"},
        {CountsText(1, 0, 0), "1 airfile, 0 marked, 0 changed and not written"},
        {ReadingText(1234, 5000), "Reading folder 1,234 of 5,000 (Esc to stop)"},
        {WritingText(12, 412), "Writing 12 of 412 (Esc to stop)"},
        {scan(1380, 0, 0, false, 5000), "1,380 .air files without a type marker"},
        {scan(0, 0, 0, false, 5000), ""},
        {scan(1, 2, 0, true, 1234),
         "Stopped after 1,234 of 5,000 folders; 1 .air file without a type marker; 2 could not be read: Old "
         "747" +
             sep + "747.air: " + denied},
        {scan(0, 1, 1, false, 5000), "1 could not be read: Old 747" + sep + "747.air: " + denied +
                                         "; 1 folder could not be listed: Locked: " + denied},
        {scan(0, 0, 1200, false, 5000), "1,200 folders could not be listed: Locked: " + denied},
        {ScanOutcomeText(unlistedBase, "FS9" + sep + "Aircraft" + sep), "FS9" + sep + "Aircraft: " + denied},
        {ScanOutcomeText(brokeOff, "FS9/Aircraft/"),
         "The listing of the directory broke off after 1,234 folders: " + denied +
             "; 2 .air files without a type marker"},
        {RunOutcomeText(RunOutcome{412, 0, {}, false, 412, 412}, "written"), "412 written"},
        {RunOutcomeText(failed, "written"), "411 written, 1 failed: 1 Access is denied (first: F\\a.air)"},
        {RunOutcomeText(stopped, "restored"), "Stopped after 12 of 412: 12 restored"},
        {ScanFaultText(1234, 5000), "Stopped by a fault after 1,234 of 5,000 folders"},
        {JoinedNotes(notes), "Sharing violation; 3 written"},
        {NotesTooltip(notes), "Sharing violation.\nF\\a.air\n3 written"},
        {JoinedNotes({}), ""},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

TEST(StatusText, FailuresGroupedByReasonAndSideLargestFirstEachWithItsFirstFile)
{
    const std::string missing = "The system cannot find the file specified.", other = "Another version.";
    // Reasons by letter: m missing, o other; capital: about the backup. Each failure's file is its place.
    const auto outcome = [&](const std::string& reasons) {
        RunOutcome run{3057, static_cast<int>(reasons.size()), {}, false, 0, 0};
        for (const char r : reasons)
            run.failures.push_back({std::tolower(r) == 'm' ? missing : other, std::isupper(r) != 0,
                                    std::to_string(run.failures.size())});
        return run;
    };
    const std::pair<std::string, std::string> cases[] = {
        {"oMM",
         "3,057 restored, 3 failed: 2 The system cannot find the file specified (first: 1); 1 "
         "Another version (first: 0)"},
        {"mM",
         "3,057 restored, 2 failed: 1 The system cannot find the file specified (first: 0); 1 The "
         "system cannot find the file specified (first: 1)"},
        {"", "3,057 restored"},
    };
    for (const auto& [reasons, line] : cases) EXPECT_EQ(RunOutcomeText(outcome(reasons), "restored"), line);

    // Up to ten groups, one a note, the count of all before the first.
    RunOutcome eleven{0, 11, {}, false, 0, 0};
    for (int i = 0; i < 11; ++i) eleven.failures.push_back({std::to_string(i), false, "F"});
    const StatusNotes notes = RunOutcomeNotes(eleven, "written");
    ASSERT_EQ(notes.size(), 10u);
    EXPECT_EQ(notes.front().text, "0 written, 11 failed: 1 0 (first: F)");
    EXPECT_EQ(notes.back().text, "1 9 (first: F)");
}

}  // namespace
}  // namespace korvalis::test
