#include "catalogue/scan.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>

#include "catalogue/guarded.h"
#include "catalogue/name_match.h"
#include "catalogue/sort_key.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

using Clock = std::chrono::steady_clock;

// After a stop, how long the scan waits for readers between two files, so they stay in the pool;
// one still out after that is in a read the system holds, and the scan goes without it.
constexpr std::chrono::milliseconds kReaderGrace{20};

class RealScanFileSystem final : public ScanFileSystem {
public:
    bool ListEntries(const fs::path& folder, const EntryCallback& each, std::int32_t* error) const override
    {
        return EnumerateFolderEntries(folder, each, error);
    }
    bool ListAirFiles(const fs::path& folder, const NameCallback& each, std::int32_t* error) const override
    {
        return EnumerateAirFiles(folder, each, error);
    }
    AirfileRead ReadType(const fs::path& file, const StopCheck& stop) const override
    {
        return ReadAirfileTypeOf(file, stop);
    }
};

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

// A name in the case the file system compares names in.
std::u32string Folded(const fs::path& name)
{
    std::u32string folded;
    detail::FoldCharacters(name.native(), folded);
    return folded;
}

// Names as a listing returned them, by their folded form.
using ListedNames = std::map<std::u32string, fs::path>;

// Rows of the first folder not yet handed over go to the hand-over after this many files, not
// only at the folder's end, so a folder of thousands of files shows its rows as they come.
constexpr std::size_t kRowsPerPublish = 64;

// One sub-folder's share of the scan, filled by a reader and emptied in order by the scan.
struct Slot {
    RowBatch rows;  // read and not yet handed over
    int noMarker = 0;
    int unreadable = 0;
    int copies = 0;
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
    report.found = report.found || slot.found;
    report.noMarker += slot.noMarker;
    report.copies += slot.copies;
    if (slot.unreadable > 0 && report.unreadable == 0)
        report.firstUnreadable = ScanFailure{folder, slot.firstUnreadable, slot.unreadableError};
    report.unreadable += slot.unreadable;
    if (slot.unlistable) {
        if (report.unlistable == 0) report.firstUnlistable = ScanFailure{folder, {}, slot.listError};
        ++report.unlistable;
    }
}

// The readers take folders in order and read them outside the lock; they take the lock once per
// folder (and per kRowsPerPublish rows of a long one). Whoever finishes the first unfinished
// folder moves the head on and queues its rows; the hand-over takes them at the pace UpdateDue
// sets. Waits and wakes happen only where somebody waits, so a scan asks the system for few of
// either. Shared by the readers' task: a reader held in a read past the scan's end still finds
// everything it uses.
class ParallelScan : public std::enable_shared_from_this<ParallelScan> {
public:
    ParallelScan(const ScanDirs& dirs, std::vector<fs::path> folders, std::vector<fs::path> storeFolders,
                 WorkControl& control, const ScanFileSystem& files)
        : m_base(dirs.base),
          m_store(dirs.store),
          m_folders(std::move(folders)),
          m_storeFolders(std::move(storeFolders)),
          m_slots(m_folders.size()),
          m_control(control),
          m_files(files)
    {
        m_report.folders = static_cast<int>(m_folders.size());
        m_handed = m_report;
    }

    ScanReport Run(ReaderPool& pool, ScanSink& sink, const PaceTimes& pace)
    {
        // A stop wakes everyone who waits, so nobody polls for it. The handler goes on every way
        // out: it points at this object.
        m_control.SetStopHandler([this] { Quit(); });
        struct TakeHandlerAway {
            WorkControl& control;
            ~TakeHandlerAway() { control.SetStopHandler(nullptr); }
        } takeAway{m_control};
        if (m_control.StopRequested()) Quit();
        bool begun = false;
        try {
            const unsigned readers = static_cast<unsigned>(
                std::min<std::size_t>(pool.Size(), std::max<std::size_t>(m_folders.size(), 1)));
            pool.Begin(
                [scan = shared_from_this()] {
                    Guarded(
                        [&scan] { scan->ReadFolders(); },
                        [&scan]() noexcept {
                            scan->m_fault = true;
                            scan->Quit();
                        });
                },
                readers);
            begun = true;
            HandOver(sink, pace);
        } catch (...) {
            m_fault = true;
        }
        std::unique_lock<SyncMutex> lock(m_mutex);
        // At the end every folder is read and the readers are on their way back; after a stop
        // or fault one may be in a read that does not return.
        const bool complete = m_head == m_slots.size();
        lock.unlock();
        Quit();
        if (begun)
            pool.Wait(complete ? std::nullopt : std::optional<std::chrono::milliseconds>(kReaderGrace));
        lock.lock();
        ScanReport report = m_handed;
        report.stopped = m_fault || m_handed.foldersRead < m_handed.folders;
        report.fault = m_fault;
        return report;
    }

private:
    void Quit() noexcept
    {
        {
            std::lock_guard<SyncMutex> lock(m_mutex);
            m_quit = true;
        }
        m_readersMayGo.NotifyAll();
        m_handOverMayGo.NotifyAll();
    }

    // Takes the next folder to read, waiting while the readers are too far ahead of the head.
    bool TakeNext(std::unique_lock<SyncMutex>& lock, std::size_t& index)
    {
        for (;;) {
            if (m_quit || m_next >= m_folders.size()) return false;
            if (m_next < m_head + kReadAhead) {
                index = m_next++;
                return true;
            }
            ++m_readersWaiting;
            m_readersMayGo.Wait(lock);
            --m_readersWaiting;
        }
    }

    void ReadFolders()
    {
        std::unique_lock<SyncMutex> lock(m_mutex);
        std::size_t index = 0;
        while (TakeNext(lock, index)) {
            lock.unlock();
            Slot read = ReadFolder(index);
            lock.lock();
            Publish(index, read, true);
        }
    }

    Slot ReadFolder(std::size_t index)
    {
        const fs::path& folder = m_folders[index];
        const fs::path folderPath = m_base / folder;
        Slot slot;
        std::string folderKey;
        bool cut = false;
        const StopCheck stop = [this] { return m_quit.load(); };
        // The folder's copies in the VirtualStore, listed before its own files so each row is
        // made whole.
        ListedNames copies;
        const fs::path storeFolder =
            m_storeFolders[index].empty() ? fs::path() : m_store / m_storeFolders[index];
        if (!storeFolder.empty()) {
            m_files.ListAirFiles(
                storeFolder,
                [&](const fs::path& file) {
                    if (EndsWithAirExtension(file)) copies.emplace(Folded(file), file);
                },
                nullptr);
        }
        const bool listed = m_files.ListAirFiles(
            folderPath,
            [&](const fs::path& file) {
                if (!EndsWithAirExtension(file) || cut) return;
                if (m_quit.load()) {
                    cut = true;  // stopped between two files
                    return;
                }
                const AirfileRead read = m_files.ReadType(folderPath / file, stop);
                if (read.outcome == AirfileRead::Outcome::Stopped) {
                    cut = true;  // stopped inside a long file: it counts as not reached
                    return;
                }
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
                std::optional<StoreCopy> copy;
                if (const auto found = copies.empty() ? copies.end() : copies.find(Folded(file));
                    found != copies.end()) {
                    const AirfileRead copyRead = m_files.ReadType(storeFolder / found->second, stop);
                    if (copyRead.outcome == AirfileRead::Outcome::Stopped) {
                        cut = true;
                        return;
                    }
                    copy = StoreCopy{m_storeFolders[index], found->second, std::nullopt};
                    if (copyRead.outcome == AirfileRead::Outcome::Type) copy->type = copyRead.type;
                    ++slot.copies;
                }
                if (folderKey.empty()) folderKey = SortKey(folder);
                AirfileRow& row = *slot.rows.emplace_back(std::make_unique<AirfileRow>());
                row.folder = folder;
                row.file = file;
                row.scannedType = row.fileType = row.pendingType = read.type;
                row.folderKey = folderKey;
                row.fileKey = SortKey(file);
                row.copy = std::move(copy);
                if (slot.rows.size() >= kRowsPerPublish) {
                    std::lock_guard<SyncMutex> lock(m_mutex);
                    Publish(index, slot, false);
                }
            },
            &slot.listError);
        slot.unlistable = !listed;
        slot.done = !cut;
        return slot;
    }

    // With the lock held: adds what a reader has of a folder to its slot, and when that is the
    // head, moves the head past every finished folder, queueing their rows in order.
    void Publish(std::size_t index, Slot& read, bool folderDone)
    {
        Slot& slot = m_slots[index];
        if (slot.rows.empty()) {
            slot.rows = std::move(read.rows);
        } else {
            for (std::unique_ptr<AirfileRow>& row : read.rows) slot.rows.push_back(std::move(row));
        }
        read.rows.clear();
        if (folderDone) {
            slot.noMarker = read.noMarker;
            slot.copies = read.copies;
            slot.unreadable = read.unreadable;
            slot.firstUnreadable = std::move(read.firstUnreadable);
            slot.unreadableError = read.unreadableError;
            slot.unlistable = read.unlistable;
            slot.listError = read.listError;
            slot.found = read.found;
            slot.done = read.done;
        }
        if (index != m_head) return;
        const bool hadRows = !m_ready.empty();
        const std::size_t head = m_head;
        while (m_head < m_slots.size()) {
            Slot& first = m_slots[m_head];
            for (std::unique_ptr<AirfileRow>& row : first.rows) {
                row->scanIndex = m_scanIndex++;
                m_ready.push_back(std::move(row));
            }
            first.rows = RowBatch{};
            if (!first.done) break;
            AddUp(m_report, first, m_folders[m_head]);
            first = Slot{};
            ++m_head;
        }
        if (m_head != head && m_readersWaiting > 0) m_readersMayGo.NotifyAll();
        // The hand-over is woken only when it waits for what just happened.
        const bool wanted = (m_wakeOnRows && !hadRows && !m_ready.empty()) ||
                            (m_wakeOnHead && m_head != head) || m_head == m_slots.size();
        if (m_handOverWaits && wanted) {
            m_handOverWaits = false;
            m_handOverMayGo.NotifyOne();
        }
    }

    // Hands the queued rows over in folder order, at the pace UpdateDue sets: the first ones at
    // once, later ones in batches, so the window's thread gets batches, not a stream. While
    // anything read waits, the hand-over looks again when it may be due; with nothing waiting it
    // sleeps until the next rows or folder, and the end always wakes it.
    void HandOver(ScanSink& sink, const PaceTimes& times)
    {
        bool handedRows = false;
        std::size_t reportedHead = 0;
        auto last = Clock::now();
        std::unique_lock<SyncMutex> lock(m_mutex);
        for (;;) {
            const bool end = m_head == m_slots.size() || m_quit;
            PaceInput pace;
            pace.sinceLast = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - last);
            pace.doneSinceLast = static_cast<int>(m_head - reportedHead);
            pace.total = static_cast<int>(m_slots.size());
            pace.rowsShown = handedRows;
            pace.rowsPending = !m_ready.empty();
            const bool pending = pace.rowsPending || pace.doneSinceLast > 0;
            if (pending && !end) pace.windowBusy = sink.WindowBusy();
            if (end || UpdateDue(pace, times)) {
                RowBatch batch = std::exchange(m_ready, {});
                reportedHead = m_head;
                ScanReport handed = m_report;
                handed.foldersRead = static_cast<int>(reportedHead);
                handedRows = handedRows || !batch.empty();
                lock.unlock();
                sink.Rows(std::move(batch), static_cast<int>(reportedHead));
                lock.lock();
                m_handed = std::move(handed);
                last = Clock::now();
                if (end) return;
                continue;  // readers went on meanwhile: look again before waiting
            }
            // Until the first rows are shown they wake the hand-over; with nothing pending, the
            // next rows or folder do.
            m_wakeOnRows = !handedRows || !pending;
            m_wakeOnHead = !pending;
            m_handOverWaits = true;
            if (pending) {
                m_handOverMayGo.WaitUntil(lock, Clock::now() + UntilDueAgain(pace, times));
            } else {
                m_handOverMayGo.Wait(lock);
            }
            m_handOverWaits = false;
        }
    }

    const fs::path m_base;
    const fs::path m_store;
    const std::vector<fs::path> m_folders;
    const std::vector<fs::path> m_storeFolders;  // each folder's name in the store; "" when not there
    std::vector<Slot> m_slots;
    WorkControl& m_control;  // the worker's thread only
    const ScanFileSystem& m_files;
    SyncMutex m_mutex;
    SyncCondition m_readersMayGo;
    SyncCondition m_handOverMayGo;
    std::size_t m_next = 0;  // the next folder to hand to a reader
    std::size_t m_head = 0;  // the first folder not yet finished
    std::size_t m_readersWaiting = 0;
    bool m_handOverWaits = false;
    bool m_wakeOnRows = false;
    bool m_wakeOnHead = false;
    RowBatch m_ready;  // finished rows, in scan order, for the hand-over
    std::uint32_t m_scanIndex = 0;
    ScanReport m_report;  // the folders before the head
    ScanReport m_handed;  // as of the last hand-over
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_fault{false};
};

}  // namespace

const ScanFileSystem& RealFileSystem()
{
    static const RealScanFileSystem files;
    return files;
}

ScanReport ScanAircraftDir(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink,
                           const PaceTimes& pace, const ScanFileSystem& files)
{
    const fs::path& base = dirs.base;
    ScanReport report;
    // Whatever throws, the work gets a report of how far it came, not an exception.
    try {
        // Every entry is examined, the first one included: at a drive's root there is no "."
        // to come first, and the first sub-folder would otherwise be lost.
        std::vector<fs::path> folders;
        bool anyEntry = false;
        const bool listed = files.ListEntries(
            base,
            [&](const fs::path& name, std::optional<bool> isDirectory) {
                anyEntry = true;
                if (name.empty() || name == "." || name == "..") return;
                // An entry whose attributes cannot be read is kept; its file pass simply finds nothing.
                if (isDirectory.value_or(true)) folders.push_back(name);
            },
            &report.baseError);
        // A listing that fails before its first entry could not be made at all; one that fails
        // later broke off (a share that dropped), and the folders found so far are still read.
        if (!listed && !anyEntry) {
            report.baseUnlistable = true;
            sink.FoldersListed(0);
            return report;
        }
        report.baseBrokeOff = !listed;
        // One listing of the VirtualStore counterpart; one that fails (mostly: there is none)
        // holds no copies.
        std::vector<fs::path> storeFolders(folders.size());
        if (!dirs.store.empty()) {
            report.store = dirs.store;
            std::map<std::u32string, std::pair<fs::path, bool>> listedStore;  // name, matched
            files.ListEntries(
                dirs.store,
                [&](const fs::path& name, std::optional<bool> isDirectory) {
                    if (name.empty() || name == "." || name == ".." || !isDirectory.value_or(true)) return;
                    listedStore.emplace(Folded(name), std::make_pair(name, false));
                },
                nullptr);
            for (std::size_t i = 0; i < folders.size(); ++i) {
                const auto found = listedStore.find(Folded(folders[i]));
                if (found == listedStore.end()) continue;
                storeFolders[i] = found->second.first;
                found->second.second = true;
            }
            for (const auto& entry : listedStore) report.storeOnlyFolders += entry.second.second ? 0 : 1;
        }
        report.folders = static_cast<int>(folders.size());
        if (!folders.empty()) report.firstFolder = folders.front();
        sink.FoldersListed(report.folders);
        if (control.StopRequested()) {
            report.stopped = true;
            return report;
        }
        const auto scan =
            std::make_shared<ParallelScan>(dirs, std::move(folders), std::move(storeFolders), control, files);
        ScanReport scanned = scan->Run(readers, sink, pace);
        scanned.baseBrokeOff = report.baseBrokeOff;
        scanned.baseError = report.baseError;
        scanned.store = report.store;
        scanned.storeOnlyFolders = report.storeOnlyFolders;
        scanned.firstFolder = report.firstFolder;
        return scanned;
    } catch (...) {
        report.stopped = true;
        report.fault = true;
        return report;
    }
}

ScanReport ScanAircraftDir(const ScanDirs& dirs, unsigned readers, WorkControl& control, ScanSink& sink,
                           const PaceTimes& pace, const ScanFileSystem& files)
{
    ReaderPool pool(readers);
    return ScanAircraftDir(dirs, pool, control, sink, pace, files);
}

}  // namespace korvalis
