#include "catalogue/catalogue.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

#include "catalogue/error_text.h"
#include "catalogue/guarded.h"
#include "catalogue/marking.h"
#include "catalogue/scan.h"
#include "catalogue/update_pace.h"
#include "core/airfile.h"
#include "core/file_io.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace korvalis {

namespace {

using Clock = std::chrono::steady_clock;
// The result of a row that has no type to write; bit 29 like the file routines' own numbers.
constexpr std::int32_t kNoTypeToWrite = 0x20000100;

std::chrono::milliseconds SinceLast(Clock::time_point last)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - last);
}

// Brackets a run of changes to the list; closed on every way out, or the list would stay undrawn.
class ChangesScope {
public:
    explicit ChangesScope(AirfileList& list) : m_list(list) { m_list.BeginChanges(); }
    ~ChangesScope()
    {
        if (m_open) Guarded([this] { m_list.EndChanges(); }, []() noexcept {});
    }
    ChangesScope(const ChangesScope&) = delete;
    ChangesScope& operator=(const ChangesScope&) = delete;
    void End()
    {
        m_open = false;
        m_list.EndChanges();
    }

private:
    AirfileList& m_list;
    bool m_open = true;
};

// Gives the window back however a work's end leaves off: should one of its steps throw, "Write"
// goes off (unless the end had set it already), the pointer is normal and the commands come
// back. The throw goes on to the owner, which tells the user.
class WindowBack {
public:
    WindowBack(CatalogueShell& shell, bool settlesWrite) noexcept
        : m_shell(shell), m_settleWrite(settlesWrite)
    {
    }
    ~WindowBack()
    {
        if (m_done) return;
        // Each step on its own, so one that throws again keeps none of the others from running.
        if (m_settleWrite) Guarded([this] { m_shell.SetWriteEnabled(false); }, []() noexcept {});
        Guarded([this] { m_shell.SetHourglass(false); }, []() noexcept {});
        Guarded([this] { m_shell.SetWorking(false); }, []() noexcept {});
    }
    WindowBack(const WindowBack&) = delete;
    WindowBack& operator=(const WindowBack&) = delete;
    void WriteSettled() noexcept { m_settleWrite = false; }
    void Done() noexcept { m_done = true; }

private:
    CatalogueShell& m_shell;
    bool m_settleWrite;
    bool m_done = false;
};

class SystemRoutines final : public AirfileRoutines {
public:
    ScanReport Scan(const ScanDirs& dirs, ReaderPool& readers, WorkControl& control, ScanSink& sink) override
    {
        return ScanAircraftDir(dirs, readers, control, sink);
    }
    std::int32_t Write(const fs::path& path, std::int16_t typeCode) override
    {
        return WriteAirfileType(path, typeCode);
    }
    std::int32_t Restore(const fs::path& path, std::uint8_t& restoredType, bool* inBackup) override
    {
        return RestoreAirfileType(path, restoredType, inBackup);
    }
};

// Hands a scan's rows and progress to the list's thread, each batch as the scan's hand-over
// gives it, which paces them; the window clears `busy` when it has taken one.
class PostingSink final : public ScanSink {
public:
    PostingSink(WorkControl& control, AirfileList& list, CatalogueShell& shell)
        : m_control(control), m_list(list), m_shell(shell)
    {
    }
    void FoldersListed(int folders) override
    {
        m_folders = folders;
        m_control.Post([&shell = m_shell, folders] {
            shell.ShowProgress(ReadingText(folders > 0 ? 1 : 0, folders), 0, folders);
        });
    }
    void Rows(RowBatch rows, int foldersRead) override
    {
        m_busy->store(true);
        // Shared, as a posted closure must be copyable; only this one ever holds the rows.
        auto batch = std::make_shared<RowBatch>(std::move(rows));
        m_control.Post(
            [&list = m_list, &shell = m_shell, busy = m_busy, batch, foldersRead, folders = m_folders] {
                if (!batch->empty()) list.Append(std::move(*batch));
                shell.ShowProgress(ReadingText(std::min(foldersRead + 1, folders), folders), foldersRead,
                                   folders);
                busy->store(false);
            });
    }
    [[nodiscard]] bool WindowBusy() const override { return m_busy->load(); }

private:
    WorkControl& m_control;
    AirfileList& m_list;
    CatalogueShell& m_shell;
    int m_folders = 0;
    std::shared_ptr<std::atomic<bool>> m_busy = std::make_shared<std::atomic<bool>>(false);
};

// One file of a row that a write or restore does: the row's file or its copy in the VirtualStore.
struct FilePart {
    fs::path path;
    std::string label;  // folder\file, for the status line
};

struct FileJob {
    int position = 0;
    std::optional<std::uint8_t> code;  // for a write: what to write; none when the row has no type
    std::optional<FilePart> file;      // none when an earlier write did it alone
    std::optional<FilePart> copy;      // none when there is none, or an earlier write did it alone
};

struct PartResult {
    std::int32_t result = kNoTypeToWrite;
    std::uint8_t type = 0;  // the type the file holds now, on success
    bool inBackup = false;  // the failure lies with the backup, which the status names
    // Access denied, and not by a read-only attribute.
    bool deniedByRights = false;
};

struct FileResult {
    PartResult file;
    PartResult copy;
};

constexpr char kCopySuffix[] = " (VirtualStore copy)";

}  // namespace

AirfileRoutines& SystemAirfileRoutines() noexcept
{
    static SystemRoutines routines;
    return routines;
}

// A write or restore: its files, and a place for each one's result made before the first file is
// touched, so that recording what was done to a file needs no memory.
struct Catalogue::FileRun {
    std::vector<FileJob> jobs;
    std::vector<FileResult> results;
    std::atomic<int> done{0};  // results[0, done) are final
};

fs::path Catalogue::StoreDir() const
{
    return PathFromUtf8(VirtualStoreCounterpart(m_state.AircraftDir, m_redirected));
}

void Catalogue::Load_Airfiles()
{
    if (m_state.AircraftDir.empty() || WorkRunning()) return;
    m_shell.SetHourglass(true);
    if (m_state.AircraftDir.back() != kDirSeparator) m_state.AircraftDir += kDirSeparator;
    // The old rows go at once, not after the folders are listed: nothing stale stays on screen.
    m_list.RemoveAll();
    // Freeing tens of thousands of rows would hold the window up: the worker does it.
    auto removed = std::make_shared<RowBatch>(m_list.TakeRemoved());
    m_kind = WorkKind::Scan;
    m_shell.SetWorking(true);
    m_shell.ShowProgress(ListingText(), 0, 0);
    auto report = std::make_shared<ScanReport>();
    auto needsAdmin = std::make_shared<bool>(false);
    m_worker.Start(
        [dirs = ScanDirs(PathFromUtf8(m_state.AircraftDir), StoreDir()), report, removed, &files = *m_files,
         &rights = *m_rights, needsAdmin, this](WorkControl& control) {
            removed->clear();
            PostingSink sink(control, m_list, m_shell);
            // The scan hands over what it read before its end, stopped or not: nothing is held here.
            const ScanReport done = files.Scan(dirs, m_worker.Readers(), control, sink);
            // Once per scan, on the worker: a folder on a share may take its time to answer.
            const bool denied =
                !done.baseUnlistable && !done.stopped && !rights.Elevated() &&
                !rights.MayCreateFilesIn(done.firstFolder.empty() ? dirs.base : dirs.base / done.firstFolder);
            control.Post([report, done, needsAdmin, denied] {
                *report = done;
                *needsAdmin = denied;
            });
        },
        [this, report, needsAdmin](bool failed) {
            WindowBack back(m_shell, true);
            const bool fault = failed || report->fault;
            if (fault) {
                report->stopped = true;
                m_shell.WorkFailed(WorkKind::Scan);
            }
            StatusNotes notes = fault ? StatusNotes{{ScanFaultText(report->foldersRead, report->folders), {}}}
                                      : ScanOutcomeNotes(*report, m_state.AircraftDir);
            if (*needsAdmin) notes.push_back(AdministratorRightsNote(m_state.AircraftDir));
            m_shell.ShowOutcome(notes);
            if (!report->found && !report->stopped) {
                m_shell.SetHourglass(false);
                m_shell.ShowMessage(kNoAirfilesMessage);
            }
            m_shell.SetWriteEnabled(false);
            back.WriteSettled();
            m_shell.SetHourglass(false);
            m_shell.SetWorking(false);
            back.Done();
        });
}

void Catalogue::AssignTypeToMarked(std::int16_t index)
{
    const int count = m_list.Count();
    if (count < 1 || WorkRunning()) return;
    ChangesScope changes(m_list);
    for (int position = 1; position <= count; ++position) {
        if (!m_list.IsMarked(position)) continue;
        if (index < 0 || index > 2) continue;
        m_list.SetPendingType(position, static_cast<std::uint8_t>(index));
        m_shell.SetWriteEnabled(true);
    }
    changes.End();
}

void Catalogue::WriteMarkedTypes() { RunFiles(WorkKind::Write); }

void Catalogue::RestoreMarkedFromBackups() { RunFiles(WorkKind::Restore); }

void Catalogue::RunFiles(WorkKind kind)
{
    const int count = m_list.Count();
    if (count < 1 || WorkRunning()) return;
    auto run = std::make_shared<FileRun>();
    const fs::path store = StoreDir();
    for (int position = 1; position <= count; ++position) {
        if (!m_list.IsMarked(position)) continue;
        const AirfileRow& row = m_list.Row(position);
        FileJob job;
        job.position = position;
        // A row whose type cell is empty has no byte anybody chose: it is not written.
        if (kind == WorkKind::Write && row.pendingType < 3) job.code = row.pendingType;
        // What an earlier write did alone, with the type still pending, is not written again: its
        // backup keeps the file as it was before that write.
        const bool write = kind == WorkKind::Write;
        const bool fileDone =
            write && row.writtenAlone == WrittenAlone::File && row.fileType == row.pendingType;
        const bool copyDone =
            write && row.writtenAlone == WrittenAlone::Copy && row.copy && row.copy->type == row.pendingType;
        if (!fileDone)
            job.file = FilePart{RowPath(m_state.AircraftDir, row), PathToUtf8(row.folder / row.file)};
        if (row.copy && !copyDone && !store.empty() && (!write || job.code))
            job.copy = FilePart{CopyPath(store, row), PathToUtf8(row.copy->folder / row.copy->file)};
        run->jobs.push_back(std::move(job));
    }
    run->results.resize(run->jobs.size());

    m_list.ClearFailures();  // each row shows why its latest write or restore failed, if it did
    m_kind = kind;
    m_shell.SetHourglass(true);
    m_shell.SetWorking(true);
    const int total = static_cast<int>(run->jobs.size());
    const auto progressText = kind == WorkKind::Write ? WritingText : RestoringText;
    m_shell.ShowProgress(progressText(total > 0 ? 1 : 0, total), 0, total);
    m_outcome = RunOutcome{};
    m_outcome.total = total;
    m_deniedByRights = false;
    m_run = run;
    m_applied = 0;
    m_worker.Start(
        [this, kind, run, total, progressText, &files = *m_files](WorkControl& control) {
            int shown = 0;
            auto last = Clock::now();
            auto busy = std::make_shared<std::atomic<bool>>(false);
            // One file at a time, in row order; a stop is taken only between two files, so each
            // file's backup and byte are both done or neither begun. A result goes into its place
            // before anything else happens: should a hand-over fail, the end still records it.
            for (int i = 0; i < total; ++i) {
                if (control.StopRequested()) break;
                const FileJob& job = run->jobs[static_cast<std::size_t>(i)];
                FileResult& result = run->results[static_cast<std::size_t>(i)];
                // The file, then its copy, each through the same routine with a backup of its own.
                const auto handle = [&](const std::optional<FilePart>& part, PartResult& done) {
                    if (!part) return;
                    if (kind == WorkKind::Restore) {
                        done.result = files.Restore(part->path, done.type, &done.inBackup);
                    } else if (job.code) {
                        done.result = files.Write(part->path, *job.code);
                        done.type = *job.code;
                    }
                    // Windows denies a read-only file with the same number; administrator rights
                    // would not help there.
                    done.deniedByRights =
                        done.result == io::AccessDeniedError() && !io::QueryPath(part->path).readOnly;
                };
                handle(job.file, result.file);
                handle(job.copy, result.copy);
                const int handled = i + 1;
                run->done.store(handled, std::memory_order_release);
                PaceInput pace;
                pace.sinceLast = SinceLast(last);
                pace.doneSinceLast = handled - shown;
                pace.total = total;
                pace.rowsShown = true;  // the rows are on screen already
                pace.windowBusy = busy->load();
                if (handled < total && UpdateDue(pace)) {
                    busy->store(true);
                    control.Post([this, handled, total, progressText, busy] {
                        ApplyResults(handled);
                        m_shell.ShowProgress(progressText(std::min(handled + 1, total), total), handled,
                                             total);
                        busy->store(false);
                    });
                    last = Clock::now();
                    shown = handled;
                }
            }
        },
        [this, kind](bool failed) { FinishFiles(kind, failed); });
}

void Catalogue::ApplyResults(int upTo)
{
    const int from = m_applied;
    if (upTo <= from) return;
    const FileRun& run = *m_run;
    ChangesScope changes(m_list);
    const auto ok = [](const std::optional<FilePart>& part, const PartResult& r) {
        return !part || r.result == kWriteOk;  // a part not asked for was done before
    };
    // First what the next Write acts on, which needs no memory: the type each file holds now,
    // which of a row's two was done alone, and whether its row stays marked.
    for (int i = from; i < upTo; ++i) {
        const FileJob& job = run.jobs[static_cast<std::size_t>(i)];
        const FileResult& r = run.results[static_cast<std::size_t>(i)];
        const int position = job.position;
        const bool fileOk = ok(job.file, r.file), copyOk = ok(job.copy, r.copy);
        if (job.file && fileOk) m_list.SetFileType(position, r.file.type);
        if (job.copy && copyOk) m_list.SetCopyType(position, r.copy.type);
        const AirfileRow& row = m_list.Row(position);
        WrittenAlone alone = row.writtenAlone;
        if (m_kind == WorkKind::Write) {
            alone = !row.copy || fileOk == copyOk ? WrittenAlone::Neither
                    : fileOk                      ? WrittenAlone::File
                                                  : WrittenAlone::Copy;
        } else if ((alone == WrittenAlone::File && job.file && fileOk) ||
                   (alone == WrittenAlone::Copy && job.copy && copyOk)) {
            alone = WrittenAlone::Neither;  // restored: it holds what it held before that write
        }
        if (alone != row.writtenAlone) m_list.SetWrittenAlone(position, alone);
        if (fileOk && copyOk) {
            m_list.SetMarked(position, false);
            ++m_outcome.succeeded;
        } else {
            ++m_outcome.failed;
            m_deniedByRights = m_deniedByRights || r.file.deniedByRights || r.copy.deniedByRights;
        }
        m_applied = i + 1;
    }
    // Then why each failure failed: the file's reason alone, as the row names it; its copy and a
    // backup by name.
    for (int i = from; i < upTo; ++i) {
        const FileJob& job = run.jobs[static_cast<std::size_t>(i)];
        const FileResult& r = run.results[static_cast<std::size_t>(i)];
        std::string rowFailure;
        const auto note = [&](const std::optional<FilePart>& part, const PartResult& done, bool copy) {
            if (ok(part, done)) return;
            const std::string reason =
                done.result == kNoTypeToWrite ? "The row has no type to write." : ErrorText(done.result);
            // A restore that lacked its backup names the backup, not the file.
            const std::string suffix = copy ? kCopySuffix : "";
            const std::string label = (done.inBackup ? part->label + kBackupSuffix : part->label) + suffix;
            m_outcome.failures.push_back({reason, done.inBackup, label});
            const std::string text = copy ? label + ": " + reason
                                     : done.inBackup
                                         ? PathToUtf8(part->path.filename()) + kBackupSuffix + ": " + reason
                                         : reason;
            rowFailure += (rowFailure.empty() ? "" : "\n") + text;
        };
        note(job.file, r.file, false);
        note(job.copy, r.copy, true);
        if (!rowFailure.empty()) m_list.SetFailure(job.position, std::move(rowFailure));
    }
    changes.End();
}

void Catalogue::FinishFiles(WorkKind kind, bool failed)
{
    WindowBack back(m_shell, kind == WorkKind::Write);
    ApplyResults(m_run->done.load(std::memory_order_acquire));
    m_outcome.handled = m_outcome.succeeded + m_outcome.failed;
    m_outcome.stopped = failed || m_outcome.handled < m_outcome.total;
    if (failed) m_shell.WorkFailed(kind);
    m_shell.ShowOutcome(RunOutcomeNotes(m_outcome, kind == WorkKind::Write ? "written" : "restored"));
    const bool anyFailed = m_outcome.failed > 0;
    if (kind == WorkKind::Write) {
        if (anyFailed || failed) {
            m_shell.SetWriteEnabled(false);
            back.WriteSettled();
            if (!failed) m_shell.ShowMessage(kWriteFailedMessage);
        } else {
            m_shell.SetWriteEnabled(true);
            back.WriteSettled();
        }
    } else if (anyFailed && !failed) {
        m_shell.ShowMessage(kRestoreFailedMessage);
    }
    m_shell.SetHourglass(false);
    m_shell.SetWorking(false);
    back.Done();
    // Asked last, with the window back: a "Yes" ends the program.
    if (m_deniedByRights && !failed && !m_rights->Elevated())
        m_shell.OfferRestartAsAdministrator(m_state.AircraftDir);
}

void Catalogue::SelectAITraffic()
{
    const int count = m_list.Count();
    if (count < 1 || WorkRunning()) return;
    ChangesScope changes(m_list);
    for (int position = 1; position <= count; ++position) m_list.SetMarked(position, false);
    const int again = m_list.Count();
    for (int position = 1; position <= again; ++position) {
        if (IsAITraffic(m_list.Row(position))) m_list.SetMarked(position, true);
    }
    changes.End();
}

}  // namespace korvalis
