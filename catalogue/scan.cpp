#include "catalogue/scan.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "catalogue/enumerate.h"
#include "catalogue/guarded.h"
#include "catalogue/row_text.h"
#include "catalogue/sort_key.h"
#include "core/airfile.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

using Clock = std::chrono::steady_clock;

// Readers run at most this many folders ahead of the first one not yet handed over, so memory
// stays bounded when one folder is slow.
constexpr std::size_t kReadAhead = 256;

// The name test applied after the file system's own "*.air" match, which on Windows also
// lets through longer extensions such as "x.airx" by way of their short names.
bool EndsWithAirExtension(const fs::path& name)
{
    const auto& text = name.native();
    if (text.size() < 4) return false;
    static const char kExt[] = ".air";
    for (std::size_t i = 0; i < 4; ++i) {
        auto c = text[text.size() - 4 + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<decltype(c)>(c - 'A' + 'a');
        if (c != static_cast<decltype(c)>(kExt[i])) return false;
    }
    return true;
}

// One sub-folder's share of the scan, filled by a reader and emptied in order by the scan.
struct Slot {
    std::vector<AirfileRow> rows;  // read and not yet handed over
    int noMarker = 0;
    int unreadable = 0;
    fs::path firstUnreadable;
    std::int32_t unreadableError = 0;
    bool unlistable = false;
    std::int32_t listError = 0;
    bool found = false;
    bool done = false;
};

// Adds a finished folder's counts to the report, keeping the first failure of each kind.
void AddUp(ScanReport& report, const Slot& slot, const fs::path& folder)
{
    report.noMarker += slot.noMarker;
    if (slot.unreadable > 0 && report.unreadable == 0)
        report.firstUnreadable = ScanFailure{folder, slot.firstUnreadable, slot.unreadableError};
    report.unreadable += slot.unreadable;
    if (slot.unlistable) {
        if (report.unlistable == 0) report.firstUnlistable = ScanFailure{folder, {}, slot.listError};
        ++report.unlistable;
    }
}

class ParallelScan {
public:
    ParallelScan(const fs::path& base, std::vector<fs::path> folders, WorkControl& control)
        : m_base(base), m_folders(std::move(folders)), m_slots(m_folders.size()), m_control(control)
    {
    }

    ScanReport Run(unsigned readers, ScanSink& sink, std::chrono::milliseconds interval)
    {
        // A stop wakes everyone who waits, so nobody polls for it.
        m_control.SetStopHandler([this] { Quit(); });
        if (m_control.StopRequested()) Quit();
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < readers && i < m_folders.size(); ++i) {
            threads.emplace_back([this] {
                Guarded(
                    "scan reader", 0, [this] { ReadFolders(); },
                    [this]() noexcept {
                        m_fault = true;
                        Quit();
                    });
            });
        }
        const ScanReport report = HandOver(sink, interval);
        Quit();
        for (std::thread& t : threads) t.join();
        m_control.SetStopHandler(nullptr);
        if (m_fault) throw std::runtime_error("a reader of the scan failed");
        return report;
    }

private:
    void Quit()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_changed.notify_all();
    }

    void ReadFolders()
    {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] {
                    return m_quit || m_next >= m_folders.size() || m_next < m_head + kReadAhead;
                });
                if (m_quit || m_next >= m_folders.size()) return;
                index = m_next++;
            }
            ReadFolder(index);
        }
    }

    void ReadFolder(std::size_t index)
    {
        const fs::path& folder = m_folders[index];
        const fs::path folderPath = JoinName(m_base, folder);
        std::string folderKey;
        bool cut = false;
        std::int32_t listError = 0;
        const StopCheck stop = [this] { return m_quit.load(); };
        const bool listed = EnumerateAirFiles(
            folderPath,
            [&](const fs::path& file) {
                if (!EndsWithAirExtension(file) || cut) return;
                if (m_quit.load()) {
                    cut = true;  // stopped between two files
                    return;
                }
                const AirfileRead read = ReadAirfileTypeOf(JoinName(folderPath, file), stop);
                if (read.outcome == AirfileRead::Outcome::Stopped) {
                    cut = true;  // stopped inside a long file: it counts as not reached
                    return;
                }
                AirfileRow row;
                if (read.outcome == AirfileRead::Outcome::Type) {
                    if (folderKey.empty()) folderKey = SortKey(folder);
                    row.folder = folder;
                    row.file = file;
                    row.scannedType = row.fileType = row.pendingType = read.type;
                    row.folderKey = folderKey;
                    row.fileKey = SortKey(file);
                }
                std::lock_guard<std::mutex> lock(m_mutex);
                Slot& slot = m_slots[index];
                slot.found = true;
                if (read.outcome == AirfileRead::Outcome::Failed) {
                    if (slot.unreadable++ == 0) {
                        slot.firstUnreadable = file;
                        slot.unreadableError = read.error;
                    }
                    return;
                }
                if (read.outcome == AirfileRead::Outcome::NoMarker) {
                    ++slot.noMarker;
                    return;
                }
                slot.rows.push_back(std::move(row));
                // The hand-over wants a word when rows start waiting at the head, not one per row.
                if (index == m_head && slot.rows.size() == 1) m_changed.notify_all();
            },
            &listError);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_slots[index].unlistable = !listed;
        m_slots[index].listError = listError;
        m_slots[index].done = !cut;
        m_changed.notify_all();
    }

    // Hands the rows over in folder order: the first unfinished folder's as they come, the
    // others once every folder before them is done.
    ScanReport HandOver(ScanSink& sink, std::chrono::milliseconds interval)
    {
        ScanReport report;
        report.folders = static_cast<int>(m_folders.size());
        std::vector<AirfileRow> batch;
        bool handedRows = false;
        std::size_t reportedHead = 0;
        auto last = Clock::now();
        std::uint32_t scanIndex = 0;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            while (m_head < m_slots.size()) {
                Slot& slot = m_slots[m_head];
                for (AirfileRow& row : slot.rows) {
                    row.scanIndex = scanIndex++;
                    batch.push_back(std::move(row));
                }
                slot.rows.clear();
                if (!slot.done) break;
                report.found = report.found || slot.found;
                AddUp(report, slot, m_folders[m_head]);
                ++m_head;
                m_changed.notify_all();  // readers held back by the read-ahead may go on
            }
            const bool end = m_head == m_slots.size() || m_quit;
            const bool pending = !batch.empty() || m_head != reportedHead;
            // The first rows go at once; later ones every interval, so the window's thread gets
            // batches, not a stream.
            const bool due = (!handedRows && !batch.empty()) || Clock::now() - last >= interval;
            if (end || (pending && due)) {
                reportedHead = m_head;
                handedRows = handedRows || !batch.empty();
                lock.unlock();
                sink.Rows(std::exchange(batch, {}), static_cast<int>(reportedHead));
                lock.lock();
                last = Clock::now();
                if (end) break;
                continue;  // readers went on meanwhile: look again before waiting
            }
            if (!batch.empty() || m_head != reportedHead) {
                m_changed.wait_until(lock, last + interval);
            } else {
                m_changed.wait(lock);  // readers tell of every row at the head and every folder done
            }
        }
        report.foldersRead = static_cast<int>(m_head);
        report.stopped = m_head < m_slots.size();
        return report;
    }

    const fs::path& m_base;
    const std::vector<fs::path> m_folders;
    std::vector<Slot> m_slots;
    WorkControl& m_control;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_next = 0;  // the next folder to hand to a reader
    std::size_t m_head = 0;  // the first folder not yet handed over
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_fault{false};
};

}  // namespace

ScanReport ScanAircraftDir(const fs::path& base, unsigned readers, WorkControl& control, ScanSink& sink,
                           std::chrono::milliseconds interval)
{
    // Every entry is examined, the first one included: at a drive's root there is no "."
    // to come first, and the first sub-folder would otherwise be lost.
    std::vector<fs::path> folders;
    std::int32_t baseError = 0;
    const bool listed = EnumerateFolderEntries(
        base,
        [&](const fs::path& name, std::optional<bool> isDirectory) {
            if (name.empty() || name == "." || name == "..") return;
            // An entry whose attributes cannot be read is kept; its file pass simply finds nothing.
            if (isDirectory.value_or(true)) folders.push_back(name);
        },
        &baseError);
    if (!listed) {
        ScanReport report;
        report.baseUnlistable = true;
        report.baseError = baseError;
        sink.FoldersListed(0);
        return report;
    }
    sink.FoldersListed(static_cast<int>(folders.size()));
    if (control.StopRequested()) {
        ScanReport report;
        report.folders = static_cast<int>(folders.size());
        report.stopped = true;
        return report;
    }
    ParallelScan scan(base, std::move(folders), control);
    return scan.Run(readers == 0 ? 1 : readers, sink, interval);
}

}  // namespace korvalis
