#include "cli/run.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

#include "catalogue/aircraft_dir.h"
#include "catalogue/error_text.h"
#include "catalogue/name_match.h"
#include "catalogue/name_order.h"
#include "catalogue/scan.h"
#include "catalogue/virtual_store.h"
#include "cli/link_check.h"
#include "cli/output.h"
#include "core/airfile.h"
#include "core/registry.h"
#include "core/text.h"
#include "core/wine_registry.h"

#ifndef KORVALIS_VERSION
#define KORVALIS_VERSION "0"
#endif

namespace fs = std::filesystem;

namespace korvalis::cli {

void StopSignal::SetStopHandler(std::function<void()> onStop)
{
    std::lock_guard lock(m_mutex);
    m_onStop = std::move(onStop);
}

void StopSignal::Post(std::function<void()> result)
{
    std::lock_guard lock(m_mutex);
    result();
}

void StopSignal::RequestStop()
{
    m_stop.store(true);
    std::lock_guard lock(m_mutex);
    if (m_onStop) m_onStop();
}

namespace {

using Clock = std::chrono::steady_clock;

// The aircraft directory, which the rows' paths are read, written and printed from.
struct Where {
    fs::path base;
    bool canonical = false;  // Linux: print each row's path with every link resolved
    std::string error;       // why there is none
    fs::path store;          // Windows: the VirtualStore's counterpart of `base`, or none
};

std::string Reason(const std::error_code& ec) { return ErrorText(ec.value()); }

Where Directory(const std::string& text, const std::string& from)
{
    Where where;
    const fs::path path = PathFromUtf8(text);
    std::error_code ec;
#ifdef _WIN32
    // Paths are printed from the directory as found, so a --dir "C:\Sim\Aircraft" shows as typed.
    if (!path.is_absolute() && !from.empty()) {
        where.error = text + from + " names no folder";
        return where;
    }
    where.base = path;
    if (!fs::is_directory(path, ec))
        where.error = "no directory " + text + (ec ? ": " + Reason(ec) : "") + from;
    // Under Program Files the simulator may read a copy in the VirtualStore: it changes alike.
    where.store = PathFromUtf8(VirtualStoreCounterpart(text, SystemRedirectedFolders()));
#else
    where.base = fs::canonical(path, ec);
    where.canonical = true;
    if (ec || !fs::is_directory(where.base, ec))
        where.error = "no directory " + text + (ec ? ": " + Reason(ec) : "") + from;
#endif
    return where;
}

Where FindDirectory(const Options& o)
{
    if (o.dir) return Directory(*o.dir, "");
    const bool fs2004 = *o.sim == Simulator::FS2004;
    const std::string_view key = fs2004 ? kFS2004Key : kFS2002Key;
    const std::string simName = fs2004 ? "fs2004" : "fs2002";
#ifdef _WIN32
    const std::string looked = "HKEY_LOCAL_MACHINE\\" + std::string(key) + std::string(kExePathValue);
    const std::string record = RecordedPath(RegReadValue(kRootLocalMachine, key, kExePathValue));
    if (record.empty()) return {{}, false, "no record of " + simName + " at " + looked, {}};
    const std::string dir = SimulatorAircraftDir(record);
    return Directory(dir, " (from the record " + looked + ")");
#else
    fs::path prefix;
    if (o.prefix) {
        prefix = PathFromUtf8(*o.prefix);
    } else if (const char* env = std::getenv("WINEPREFIX"); env != nullptr && *env != '\0') {
        prefix = env;
    } else {
        const char* home = std::getenv("HOME");
        prefix = fs::path(home != nullptr ? home : "") / ".wine";
    }
    const fs::path file = prefix / "system.reg";
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        return {{}, false, "cannot read " + PathToUtf8(file) + ", looking for " + simName + "'s record", {}};
    const std::string looked =
        PathToUtf8(file) + " (HKEY_LOCAL_MACHINE\\" + std::string(key) + std::string(kExePathValue) + ")";
    const std::string record = RecordedPath(WineRegReadValue(text.str(), key, kExePathValue));
    if (record.empty()) return {{}, false, "no record of " + simName + " in " + looked, {}};
    const std::string dir = SimulatorAircraftDir(record);
    const auto mapped = WinePrefixPath(prefix, dir);
    if (!mapped) return {{}, false, "the record " + dir + " in " + looked + " names no folder", {}};
    return Directory(PathToUtf8(*mapped), " (from the record " + dir + ")");
#endif
}

// A line on stderr that stays, and the one progress line that is overwritten and erased.
class Messages {
public:
    explicit Messages(CliIo& io) : m_io(io) {}
    void Line(const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        EraseLocked();
        m_io.err("korvalis-cli: " + text + kLineEnd);
    }
    // At most a few times a second, and only on a terminal.
    void Progress(const std::string& text)
    {
        if (!m_io.progress) return;
        std::lock_guard lock(m_mutex);
        // A run shorter than one interval shows none; a longer one a few times a second.
        const auto now = Clock::now();
        if (now - m_last < std::chrono::milliseconds(250)) return;
        m_last = now;
        // Spaces cover what is left of a longer line before.
        std::string line = "\rkorvalis-cli: " + text;
        const std::size_t length = line.size() - 1;
        line.append(m_shown > length ? m_shown - length : 0, ' ').append("\r");
        m_io.err(line);
        m_shown = length;
    }
    void Erase()
    {
        std::lock_guard lock(m_mutex);
        EraseLocked();
    }

private:
    void EraseLocked()
    {
        if (m_shown == 0) return;
        std::string blank(m_shown + 2, ' ');
        blank.front() = blank.back() = '\r';
        m_io.err(blank);
        m_shown = 0;
    }
    CliIo& m_io;
    std::mutex m_mutex;
    Clock::time_point m_last = Clock::now();
    std::size_t m_shown = 0;
};

// The real file system, noting each file it could not read and each folder it could not list;
// and on Linux each folder and file that is a symbolic link, looked up by the readers beside
// their reads, so that printing the canonical paths asks the system nothing more.
class NotingFiles final : public ScanFileSystem {
public:
    struct Failure {
        fs::path path;
        bool folder = false;
        std::int32_t error = 0;
    };
    using Name = fs::path::string_type;

    explicit NotingFiles(const Where& where)
        : m_canonical(where.canonical), m_links(where.base), m_baseLength(where.base.native().size())
    {
        if (m_baseLength > 0 && where.base.native().back() != fs::path::preferred_separator) ++m_baseLength;
    }
    bool ListEntries(const fs::path& folder, const EntryCallback& each, std::int32_t* error) const override
    {
        return RealFileSystem().ListEntries(folder, each, error);
    }
    bool ListAirFiles(const fs::path& folder, const NameCallback& each, std::int32_t* error) const override
    {
        NoteLink(folder);
        std::int32_t own = 0;
        const bool listed = RealFileSystem().ListAirFiles(folder, each, &own);
        if (error != nullptr) *error = own;
        if (!listed) Note({folder, true, own});
        return listed;
    }
    AirfileRead ReadType(const fs::path& file, const StopCheck& stop) const override
    {
        NoteLink(file);
        AirfileRead read = RealFileSystem().ReadType(file, stop);
        if (read.outcome == AirfileRead::Outcome::Failed) Note({file, false, read.error});
        return read;
    }
    std::vector<Failure> Sorted() const
    {
        std::lock_guard lock(m_mutex);
        std::vector<Failure> sorted = m_failures;
        std::sort(sorted.begin(), sorted.end(), [](const Failure& a, const Failure& b) {
            return CompareNames(PathToUtf8(a.path), PathToUtf8(b.path)) < 0;
        });
        return sorted;
    }
    // `relative` ("folder" or "folder/file" below the directory) is a link.
    bool Linked(const Name& relative) const
    {
        std::lock_guard lock(m_mutex);
        return m_linked.count(relative) > 0;
    }

private:
    void Note(Failure failure) const
    {
        std::lock_guard lock(m_mutex);
        m_failures.push_back(std::move(failure));
    }
    void NoteLink(const fs::path& path) const
    {
        if (!m_canonical || path.native().size() <= m_baseLength) return;
        Name relative = path.native().substr(m_baseLength);
        if (!m_links.IsLink(relative)) return;
        std::lock_guard lock(m_mutex);
        m_linked.insert(std::move(relative));
    }
    const bool m_canonical;
    const LinkCheck m_links;
    std::size_t m_baseLength;  // of the directory's path with its separator
    mutable std::mutex m_mutex;
    mutable std::vector<Failure> m_failures;
    mutable std::set<Name> m_linked;
};

class CollectingSink final : public ScanSink {
public:
    explicit CollectingSink(Messages& messages) : m_messages(messages) {}
    void FoldersListed(int folders) override { m_folders = folders; }
    void Rows(RowBatch rows, int foldersRead) override
    {
        for (auto& row : rows) m_rows.push_back(std::move(row));
        m_messages.Progress("reading folder " + std::to_string(foldersRead) + " of " +
                            std::to_string(m_folders));
    }
    RowBatch& Collected() { return m_rows; }

private:
    Messages& m_messages;
    int m_folders = 0;
    RowBatch m_rows;
};

// Which rows the selectors take: each kind given must hold, any one of its values.
class Selection {
public:
    explicit Selection(const Options& o) : m_o(o)
    {
        for (const auto& name : o.names) m_names.emplace_back(PathFromUtf8(name).native());
    }
    bool Takes(const AirfileRow& row) const
    {
        if (m_o.ai && !IsAITraffic(row)) return false;
        if (!m_names.empty() && std::none_of(m_names.begin(), m_names.end(),
                                             [&](const NameMatcher& m) { return m.Matches(row); }))
            return false;
        if (!m_o.types.empty() &&
            std::none_of(m_o.types.begin(), m_o.types.end(), [&](RowKind k) { return IsOfKind(row, k); }))
            return false;
        return true;
    }

private:
    const Options& m_o;
    std::vector<NameMatcher> m_names;
};

// The path printed for a row: on Linux with every link resolved, so --dir and --sim print alike.
// Rows come folder by folder, so each folder is looked at once.
class ShownPaths {
public:
    ShownPaths(const Where& where, const NotingFiles& files) : m_where(where), m_files(files)
    {
        m_base = where.base.native();
        if (!m_base.empty() && m_base.back() != fs::path::preferred_separator)
            m_base += fs::path::preferred_separator;
    }
    std::string Of(const AirfileRow& row) const
    {
        if (!m_where.canonical) return PathToUtf8(m_where.base / row.folder / row.file);
        // Joined as text: a path joined by "/" splits itself into its parts each time.
        const NotingFiles::Name relative =
            row.folder.native() + fs::path::preferred_separator + row.file.native();
        if (m_files.Linked(row.folder.native()) || m_files.Linked(relative)) {
            std::error_code ec;
            const fs::path resolved = fs::canonical(m_where.base / row.folder / row.file, ec);
            if (!ec) return PathToUtf8(resolved);
        }
        return PathToUtf8(m_base + relative);
    }

private:
    const Where& m_where;
    const NotingFiles& m_files;
    NotingFiles::Name m_base;  // ends with the separator
};

constexpr bool kSeparatorIsBackslash = kDirSeparator == '\\';

void List(const Options& o, const ShownPaths& shown, const std::vector<const AirfileRow*>& rows, CliIo& io)
{
    std::string text;
    if (o.format == Format::Tsv) {
        text = std::string("Dir\tAirfile\tAircraft type\tPath") + kLineEnd;
        for (const AirfileRow* row : rows) {
            text += TsvText(row->FolderText()) + '\t' + TsvText(row->FileText()) + '\t' +
                    TypeText(row->scannedType) + '\t' + TsvText(shown.Of(*row), kSeparatorIsBackslash) +
                    kLineEnd;
            if (text.size() > 1 << 16) io.out(std::exchange(text, std::string()));
        }
    } else {
        text = rows.empty() ? "[]" : "[";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const AirfileRow& row = *rows[i];
            text += std::string(kLineEnd) + "{\"dir\":" + JsonText(row.FolderText()) +
                    ",\"airfile\":" + JsonText(row.FileText()) +
                    ",\"type\":" + JsonText(TypeText(row.scannedType)) +
                    ",\"code\":" + std::to_string(row.scannedType) + ",\"path\":" + JsonText(shown.Of(row)) +
                    (i + 1 < rows.size() ? "}," : "}");
            if (text.size() > 1 << 16) io.out(std::exchange(text, std::string()));
        }
        if (!rows.empty()) text += kLineEnd + std::string("]");
        text += kLineEnd;
    }
    io.out(text);
}

// For a dry run of a restore: kWriteOk when the file's backup can be read and holds a type byte,
// else why not (`inBackup` set), so that it says "would restore" only where a restore could.
std::int32_t BackupReadable(const fs::path& path, bool& inBackup)
{
    fs::path backup = path;
    backup += kBackupSuffix;
    const AirfileRead read = ReadAirfileTypeOf(backup);
    if (read.outcome == AirfileRead::Outcome::Type) return kWriteOk;
    inBackup = true;
    return read.outcome == AirfileRead::Outcome::Failed ? read.error : kErrorBackupNoTypeByte;
}

int ChangeFiles(const Options& o, const Where& where, const ShownPaths& shownPaths,
                const std::vector<const AirfileRow*>& rows, CliIo& io, Messages& messages, StopSignal& stop)
{
    const bool restore = o.command == Command::Restore;
    int done = 0, unchanged = 0, failed = 0, handled = 0;
    const int total = static_cast<int>(rows.size());
    // One file: its line, the counts. The file's copy in the VirtualStore gets a line of its own.
    const auto change = [&](const fs::path& path, const std::string& shown, const std::string& backupName) {
        std::string line;
        if (restore) {
            std::uint8_t type = 0;
            bool inBackup = false;
            const std::int32_t result =
                o.dryRun ? BackupReadable(path, inBackup) : RestoreAirfileType(path, type, &inBackup);
            if (result == kWriteOk) {
                line = (o.dryRun ? "would restore\t" : "restored\t") + shown;
                ++done;
            } else {
                line = "failed\t" + shown + '\t' + (inBackup ? backupName + kBackupSuffix + ": " : "") +
                       ErrorText(result);
                ++failed;
            }
        } else {
            // A file that holds the type already keeps its backup: a second run must not replace
            // a backup that holds the original with a copy of the changed file.
            const AirfileRead now = ReadAirfileTypeOf(path);
            const bool holdsIt = now.outcome == AirfileRead::Outcome::Type && now.type == o.setType;
            const std::int32_t result = holdsIt || o.dryRun ? kWriteOk : WriteAirfileType(path, o.setType);
            if (holdsIt) {
                line = "unchanged\t" + shown;
                ++unchanged;
            } else if (result == kWriteOk) {
                line = (o.dryRun ? "would write\t" : "written\t") + shown;
                ++done;
            } else {
                line = "failed\t" + shown + '\t' + ErrorText(result);
                ++failed;
            }
        }
        messages.Erase();
        io.out(line + kLineEnd);
    };
    for (const AirfileRow* row : rows) {
        if (stop.StopRequested()) break;
        messages.Progress((restore ? "restoring file " : "writing file ") + std::to_string(handled + 1) +
                          " of " + std::to_string(total));
        change(where.base / row->folder / row->file, TsvText(shownPaths.Of(*row), kSeparatorIsBackslash),
               TsvText(row->FileText()));
        if (row->copy && !where.store.empty()) {
            const fs::path copy = where.store / row->copy->folder / row->copy->file;
            change(copy, TsvText(PathToUtf8(copy), kSeparatorIsBackslash),
                   TsvText(PathToUtf8(row->copy->file)));
        }
        ++handled;
    }
    const bool stopped = handled < total;
    std::string summary =
        stopped ? "stopped after " + std::to_string(handled) + " of " + std::to_string(total) + ": " : "";
    const std::string n = std::to_string(done);
    if (restore) {
        summary += o.dryRun ? n + " would be restored" : n + " restored";
    } else {
        summary += (o.dryRun ? n + " would be written, " : n + " written, ") + std::to_string(unchanged) +
                   " unchanged";
    }
    if (!o.dryRun || failed > 0) summary += ", " + std::to_string(failed) + " failed";
    messages.Line(summary);
    return stopped || failed > 0 ? kExitFailed : kExitDone;
}

int Run(const Options& o, CliIo& io, StopSignal& stop)
{
    Messages messages(io);
    const Where where = FindDirectory(o);
    if (!where.error.empty()) {
        messages.Line(where.error);
        return kExitNoDirectory;
    }
    NotingFiles files(where);
    CollectingSink sink(messages);
    messages.Progress("listing the folders");
    const ScanReport report =
        ScanAircraftDir({where.base, where.store}, ReaderThreadCount(), stop, sink, {}, files);
    messages.Erase();
    if (report.baseUnlistable) {
        messages.Line("cannot read the directory " + PathToUtf8(where.base) + ": " +
                      ErrorText(report.baseError));
        return kExitNoDirectory;
    }
    if (report.fault || report.stopped) {
        messages.Line(report.fault ? "the directory's reading failed"
                                   : "stopped while reading the directory");
        return kExitFailed;
    }
    bool unreadable = report.baseBrokeOff;
    if (report.baseBrokeOff)
        messages.Line("cannot list all of " + PathToUtf8(where.base) + ": " + ErrorText(report.baseError));
    for (const auto& failure : files.Sorted()) {
        messages.Line((failure.folder ? "cannot list " : "cannot read ") + TsvText(PathToUtf8(failure.path)) +
                      ": " + ErrorText(failure.error));
        unreadable = true;
    }

    const Selection selection(o);
    std::vector<const AirfileRow*> rows;
    for (const auto& row : sink.Collected()) {
        if (selection.Takes(*row)) rows.push_back(row.get());
    }
    SortListed(rows);
    if (o.command == Command::List) {
        List(o, ShownPaths(where, files), rows, io);
        return unreadable ? kExitFailed : kExitDone;
    }
    if (rows.empty()) {
        messages.Line("no row matches");
        return kExitDone;
    }
    return ChangeFiles(o, where, ShownPaths(where, files), rows, io, messages, stop);
}

}  // namespace

int RunArguments(const std::vector<std::string>& args, CliIo& io, StopSignal& stop)
{
    const Parsed parsed = ParseArguments(args);
    if (!parsed.error.empty()) {
        io.err("korvalis-cli: " + parsed.error + kLineEnd);
        return kExitUsage;
    }
    switch (parsed.options.command) {
        case Command::Help:
            io.out(UsageText(kLineEnd));
            return kExitDone;
        case Command::Version:
            io.out(std::string("korvalis-cli ") + KORVALIS_VERSION + kLineEnd);
            return kExitDone;
        default:
            return Run(parsed.options, io, stop);
    }
}

}  // namespace korvalis::cli
