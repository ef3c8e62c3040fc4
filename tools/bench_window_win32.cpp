// The main window's work under Wine, each figure against a floor measured in the same run,
// rounds alternated:
//   bench_window WORKDIR [PART]     scan, first rows, responsiveness and Esc, write, sort (PART:
//                                   one of scan, first, respond, stop, write, sort)
//   bench_window WORKDIR mark       marking every other row of 50,000, against a header sort
//   bench_window WORKDIR memory EXE korvalis.exe's peak working set, empty and with ~50,000 rows
// The fleets fleet2-5000, fleet2-20000 and fleet2-27300 are made beforehand by tools/bench_window.sh.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <functional>
#include <thread>

#include "catalogue/marking.h"
#include "catalogue/name_match.h"
#include "catalogue/sort_key.h"
#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "core/marker_scan.h"
#include "tests/support/memory_airfile_list.h"
#include "tools/bench_common.h"
#include "tools/start_korvalis_win32.h"
#include "tools/work_loop.h"
#include "ui/main_window.h"
#include "ui/resource.h"

using namespace korvalis;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs the window's messages until the work it started is over and shown.
void PumpWhileWorking(MainWindow& window)
{
    MSG message;
    while (window.Working() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;  // Esc and the keys, as the program's loop
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Marks the start or end of a stretch the request count takes, as a named event the server's
// trace shows; tools/count_requests.py reads them.
void TraceMark(const std::wstring& what)
{
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, (L"KorvalisCount " + what).c_str());
    if (event != nullptr) ::CloseHandle(event);
}

// Runs the window's messages until `done`.
void PumpUntil(const std::atomic<bool>& done)
{
    while (!done) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}

// tools/sampler_win32.cpp in its own process, asking the window for WM_NULL every 5 ms.
class OutsideSampler {
public:
    explicit OutsideSampler(HWND window)
    {
        static int serial = 0;
        wchar_t exe[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        const fs::path dir = fs::path(exe).parent_path();
        m_name =
            L"KorvalisSampler " + std::to_wstring(::GetCurrentProcessId()) + L" " + std::to_wstring(++serial);
        m_out = dir / ("sampler-" + std::to_string(serial) + ".txt");
        m_ready = ::CreateEventW(nullptr, TRUE, FALSE, (m_name + L" ready").c_str());
        m_stop = ::CreateEventW(nullptr, TRUE, FALSE, (m_name + L" stop").c_str());
        wchar_t handle[32];
        std::swprintf(handle, 32, L"%llx",
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
        std::wstring command = L"\"" + (dir / "sampler.exe").native() + L"\" " + handle + L" \"" + m_name +
                               L"\" \"" + m_out.native() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &m_process)) {
            ::CloseHandle(m_process.hThread);
            HANDLE both[] = {m_ready, m_process.hProcess};
            ::WaitForMultipleObjects(2, both, FALSE, 30000);
        } else {
            std::fprintf(stderr, "cannot start sampler.exe\n");
        }
    }
    ~OutsideSampler()
    {
        ::CloseHandle(m_ready);
        ::CloseHandle(m_stop);
    }
    // Keeps answering until the sampler has ended; returns its answers in seconds.
    std::vector<double> Stop()
    {
        std::vector<double> answers;
        if (m_process.hProcess == nullptr) return answers;
        ::SetEvent(m_stop);
        while (::MsgWaitForMultipleObjects(1, &m_process.hProcess, FALSE, INFINITE, QS_ALLINPUT) !=
               WAIT_OBJECT_0) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        }
        ::CloseHandle(m_process.hProcess);
        std::ifstream in(m_out);
        for (double ms; in >> ms;) answers.push_back(ms / 1000);
        in.close();
        fs::remove(m_out);
        return answers;
    }

private:
    std::wstring m_name;
    fs::path m_out;
    HANDLE m_ready = nullptr;
    HANDLE m_stop = nullptr;
    PROCESS_INFORMATION m_process{};
};

void PrintAnswers(const char* what, std::vector<double> answers)
{
    if (answers.empty()) return;
    std::sort(answers.begin(), answers.end());
    const auto at = [&](double q) {
        return answers[static_cast<std::size_t>(q * static_cast<double>(answers.size() - 1))];
    };
    std::printf("%-44s %5zu answers: median %.1f ms, p99 %.1f ms, max %.1f ms  (goal: max <= 50 ms)\n", what,
                answers.size(), at(0.5) * 1000, at(0.99) * 1000, answers.back() * 1000);
}

// The least a write of each file must do: copy it to a new file in 64 KiB chunks, flush, rename
// over the old backup, open the file, write one byte, close. Adds each step's time to `steps`.
void WriteFloor(const std::vector<fs::path>& files, double steps[3])
{
    std::vector<char> chunk(64 * 1024);
    for (const fs::path& file : files) {
        io::ErrorCode error = 0;
        auto start = Clock::now();
        {
            io::File source = io::File::OpenRead(file, io::Share::ReadOnly, error);
            io::File copy = io::File::CreateNew(fs::path(file.native() + L".floor"), error);
            for (std::int64_t got; (got = source.Read(chunk.data(), chunk.size(), error)) > 0;)
                copy.WriteAll(chunk.data(), static_cast<std::size_t>(got), error);
            copy.Flush(error);
        }
        steps[0] += Since(start);
        start = Clock::now();
        io::ReplaceWith(fs::path(file.native() + L".floor"), fs::path(file.native() + L".floorbak"));
        steps[1] += Since(start);
        start = Clock::now();
        io::File target = io::File::OpenWrite(file, io::Share::ReadOnly, error);
        const std::uint8_t byte = 0;
        target.Seek(40, error);
        target.WriteAll(&byte, 1, error);
        target.Close();
        steps[2] += Since(start);
    }
}

int Main(const fs::path& work, const std::wstring& only)
{
    const auto wanted = [&](const wchar_t* part) { return only.empty() || only == part; };
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    MainWindow window;
    if (!window.Create(::GetModuleHandleW(nullptr))) {
        std::fprintf(stderr, "the main window could not be created\n");
        return 1;
    }
    const auto scanInto = [&](const fs::path& base) {
        window.State().AircraftDir = PathToUtf8(base);
        window.Load_Airfiles();
        PumpWhileWorking(window);
    };

    // 1. A scan into the window, with the worker, its readers and the progress, against one
    // thread's enumerate-and-read floor.
    if (wanted(L"scan")) {
        const fs::path fleet = work / "fleet2-5000" / "Aircraft";
        const int files = tools::ScanFloor(fleet);
        const auto [floor, scan] = tools::AlternatingMedians(
            5, [&] { tools::ScanFloor(fleet); }, [&] { scanInto(fleet); });
        std::printf("scan: 5,000 folders, %d files, %d rows, %u readers\n", files, window.Rows().Count(),
                    ReaderThreadCount());
        std::printf("  floor (one thread: enumerate + open/read 4 KiB/close): %.3f s\n", floor);
        std::printf("  scan into the window until idle:                       %.3f s\n", scan);
        std::printf("  ratio %.3f  (goal <= 1.0)\n", scan / floor);
    }

    // 2. The first rows of a 20,000-folder scan, against the folder enumeration alone.
    const fs::path big = work / "fleet2-20000" / "Aircraft";
    if (wanted(L"first")) {
        std::vector<double> enumerations, firstRows;
        for (int round = 0; round < 3; ++round) {
            auto start = Clock::now();
            int entries = 0;
            EnumerateFolderEntries(big, [&](const fs::path&, std::optional<bool>) { ++entries; });
            enumerations.push_back(Since(start));

            std::atomic<bool> seen{false};
            double first = 0;
            HWND list = window.ListHandle();
            window.Rows().RemoveAll();
            start = Clock::now();
            // Every 2 ms: a watcher asking more often loads the server the scan waits on.
            std::thread watcher([&] {
                while (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                first = Since(start);
                seen = true;
            });
            scanInto(big);
            watcher.join();
            firstRows.push_back(first);
        }
        std::printf(
            "first rows of 20,000 folders: enumeration alone %.3f s, first rows after %.3f s (goal <= %.3f "
            "s)\n",
            Median(enumerations), Median(firstRows), Median(enumerations) + 0.1);
    }

    // 3. Responsiveness during a 20,000-folder scan and a 1,000-file write.
    const fs::path writes = work / "write-1000" / "Aircraft";
    std::vector<fs::path> written;
    for (int i = 0; i < 1000; ++i) {
        const fs::path file = writes / ("Plane " + std::to_string(i)) / "plane.air";
        if (!fs::exists(file)) {
            fs::create_directories(file.parent_path());
            std::vector<std::uint8_t> bytes(6000 + static_cast<std::size_t>(i % 7) * 1000, 0x5A);
            std::copy(kTypeMarker.begin(), kTypeMarker.end(), bytes.begin() + 32);
            bytes[40] = 0;
            io::ErrorCode error = 0;
            io::File out = io::File::CreateNew(file, error);
            out.WriteAll(bytes.data(), bytes.size(), error);
        }
        written.push_back(file);
    }
    // Every row marked and given a type, as a user prepares a write; not part of the write.
    const auto markAll = [&] {
        ListView_SetItemState(window.ListHandle(), -1, LVIS_SELECTED, LVIS_SELECTED);
        window.Commands().AssignTypeToMarked(1);
    };
    const auto writeMarked = [&] {
        ::SendMessageW(window.Handle(), WM_COMMAND, IDM_WRITE, 0);
        PumpWhileWorking(window);
    };
    // From another process, as a user's tools ask; beside the same sampler while the floor runs
    // on another thread of this process and the window only answers (the server's own latency).
    if (wanted(L"respond")) {
        std::vector<double> scanAnswers, writeAnswers, scanFloorAnswers, writeFloorAnswers;
        const auto add = [](std::vector<double>& to, const std::vector<double>& from) {
            to.insert(to.end(), from.begin(), from.end());
        };
        const auto duringFloor = [&](auto floor) {
            OutsideSampler sampler(window.Handle());
            std::atomic<bool> done{false};
            std::thread runner([&] {
                floor();
                done = true;
            });
            PumpUntil(done);
            runner.join();
            return sampler.Stop();
        };
        double ignored[3] = {};
        for (int round = 0; round < 3; ++round) {
            add(scanFloorAnswers, duringFloor([&] { tools::ScanFloor(big); }));
            {
                OutsideSampler sampler(window.Handle());
                scanInto(big);
                add(scanAnswers, sampler.Stop());
            }
            add(writeFloorAnswers, duringFloor([&] { WriteFloor(written, ignored); }));
            scanInto(writes);
            markAll();
            OutsideSampler sampler(window.Handle());
            writeMarked();
            add(writeAnswers, sampler.Stop());
        }
        PrintAnswers("answers during the floor of that scan:", scanFloorAnswers);
        PrintAnswers("answers during a 20,000-folder scan:", scanAnswers);
        PrintAnswers("answers during the floor of that write:", writeFloorAnswers);
        PrintAnswers("answers during a 1,000-file write:", writeAnswers);
    }

    // Esc pressed while a scan or a write runs (also part of "respond"): from the key posted to
    // the list until the work has ended and its end is shown, the wait for the window's thread
    // included.
    if (wanted(L"respond") || only == L"stop") {
        std::vector<double> scanStops, writeStops;
        const auto stopAfter = [&](std::chrono::milliseconds delay, auto run) {
            Clock::time_point at;
            std::thread presser([&] {
                std::this_thread::sleep_for(delay);
                at = Clock::now();
                ::PostMessageW(window.ListHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
            });
            run();
            const Clock::time_point ended = Clock::now();
            presser.join();
            return std::chrono::duration<double>(ended - at).count();
        };
        for (int round = 0; round < 5; ++round) {
            const auto delay = std::chrono::milliseconds(500 + 300 * round);
            scanStops.push_back(stopAfter(delay, [&] { scanInto(big); }));
            scanInto(writes);
            markAll();
            writeStops.push_back(stopAfter(std::chrono::milliseconds(300 + 50 * round), writeMarked));
        }
        std::sort(scanStops.begin(), scanStops.end());
        std::sort(writeStops.begin(), writeStops.end());
        std::printf("Esc during a 20,000-folder scan, 5 times: median %.1f ms, max %.1f ms (goal <= 100 ms)\n",
                    scanStops[2] * 1000, scanStops.back() * 1000);
        std::printf("Esc during a 1,000-file write, 5 times:   median %.1f ms, max %.1f ms (goal <= 100 ms)\n",
                    writeStops[2] * 1000, writeStops.back() * 1000);
    }

    // Server requests of a scan of about 2,000 folders and of the 1,000-file write, each beside
    // its floor's, the stretches marked for tools/count_requests.py; run under a traced server.
    if (only == L"requests") {
        const fs::path fleet = work / "fleet2-2000" / "Aircraft";
        const int files = tools::ScanFloor(fleet);
        scanInto(fleet);  // warms the cache and loads what the first scan loads
        double ignored[3] = {};
        TraceMark(L"begin scan-floor");
        tools::ScanFloor(fleet);
        TraceMark(L"end scan-floor " + std::to_wstring(files));
        TraceMark(L"begin scan");
        scanInto(fleet);
        TraceMark(L"end scan " + std::to_wstring(files));
        scanInto(writes);
        markAll();
        WriteFloor(written, ignored);
        writeMarked();
        TraceMark(L"begin write-floor");
        WriteFloor(written, ignored);
        TraceMark(L"end write-floor " + std::to_wstring(written.size()));
        markAll();
        TraceMark(L"begin write");
        writeMarked();
        TraceMark(L"end write " + std::to_wstring(written.size()));
        std::printf("requests: scan of %d files and write of %zu files marked in the trace\n", files,
                    written.size());
        return 0;
    }

    // 4. Write throughput: the window's write against the floor; then the routine's own steps.
    if (wanted(L"write")) {
        scanInto(writes);
        double floorSteps[3] = {};
        std::vector<double> floors, writesTimed;
        for (int round = 0; round < 6; ++round) {  // the first round warms up and is not counted
            auto start = Clock::now();
            WriteFloor(written, floorSteps);
            if (round > 0) floors.push_back(Since(start));
            markAll();
            start = Clock::now();
            writeMarked();
            if (round > 0) writesTimed.push_back(Since(start));
        }
        const double writeFloor = Median(floors), writeTime = Median(writesTimed);
        {
            SessionState state;
            MemoryAirfileList memory;
            tools::QuietShell shell;
            WorkLoop loop;
            Catalogue catalogue(state, memory, shell, loop.GetWorker());
            state.AircraftDir = PathToUtf8(writes);
            catalogue.Load_Airfiles();
            loop.RunUntilIdle();
            std::vector<double> plain, direct;
            for (int round = 0; round < 5; ++round) {
                for (int i = 1; i <= memory.Count(); ++i) memory.SetMarked(i, true);
                catalogue.AssignTypeToMarked(2);
                auto start = Clock::now();
                catalogue.WriteMarkedTypes();
                loop.RunUntilIdle();
                plain.push_back(Since(start));
                start = Clock::now();
                for (const fs::path& file : written) WriteAirfileType(file, 1);
                direct.push_back(Since(start));
            }
            std::printf("  catalogue write without a window %.3f s; WriteAirfileType in a loop %.3f s\n",
                        Median(plain), Median(direct));
        }
        std::printf("write of %d files: floor %.3f s, the window's write %.3f s, ratio %.3f  (goal 1.15)\n",
                    static_cast<int>(written.size()), writeFloor, writeTime, writeTime / writeFloor);
        const double floorPerFile = 1e6 / 6 / static_cast<double>(written.size());  // warm-up and five rounds
        std::printf("  floor per file: copy+flush %.0f us, rename %.0f us, open+write byte+close %.0f us\n",
                    floorSteps[0] * floorPerFile, floorSteps[1] * floorPerFile, floorSteps[2] * floorPerFile);
        double steps[6] = {};
        for (const fs::path& file : written) {
            auto last = Clock::now();
            int at = 0;
            detail::WriteAirfileTypeWithHook(file, 2, [&](detail::WriteStep) {
                steps[at++] += Since(last);
                last = Clock::now();
            });
            steps[at] += Since(last);
        }
        const char* stepNames[] = {
            "first read",           "backup checked, temporary created", "copy",
            "flush, close, rename", "checked and opened for writing",    "re-check, byte, close"};
        std::printf("  the write routine per file:");
        const double perFile = 1e6 / static_cast<double>(written.size());
        for (int i = 0; i < 6; ++i) std::printf(" %s %.0f us;", stepNames[i], steps[i] * perFile);
        std::printf("\n");
    }

    // 5. Sorting about 50,000 rows by each column, marks put back, against a plain wcscmp sort.
    if (!wanted(L"sort")) return 0;
    scanInto(work / "fleet2-27300" / "Aircraft");
    const int rows = window.Rows().Count();
    for (int i = 0; i < rows; i += 7)
        ListView_SetItemState(window.ListHandle(), i, LVIS_SELECTED, LVIS_SELECTED);
    std::vector<std::pair<std::wstring, std::wstring>> names;
    for (int i = 0; i < rows; ++i)
        names.emplace_back(window.Rows().CellText(i, 0), window.Rows().CellText(i, 1));
    const SortColumn columns[] = {SortColumn::Folder, SortColumn::File, SortColumn::Type};
    for (int c = 0; c < 3; ++c) {
        std::vector<double> sorts, plains;
        for (int round = 0; round < 3; ++round) {
            for (bool descending : {false, true}) {
                auto start = Clock::now();
                window.Rows().Sort({columns[c], descending});
                sorts.push_back(Since(start));
                auto copy = names;
                start = Clock::now();
                std::stable_sort(copy.begin(), copy.end(), [&](const auto& a, const auto& b) {
                    const auto& x = c == 1 ? a.second : a.first;
                    const auto& y = c == 1 ? b.second : b.first;
                    return std::wcscmp(x.c_str(), y.c_str()) < 0;
                });
                plains.push_back(Since(start));
            }
        }
        std::printf(
            "sort of %d rows by column %d, marks put back: %.3f s (goal < 0.2 s); plain wcscmp sort %.3f s\n",
            rows, c, Median(sorts), Median(plains));
    }
    return 0;
}

// korvalis.exe itself: its peak working set with an empty window and once it lists the 27,300-folder
// fleet, which FS2004's record in the prefix points at.
int Memory(const fs::path& exe)
{
    PROCESS_INFORMATION process{};
    HWND main = tools::StartKorvalis(exe.native(), process);
    if (process.hProcess == nullptr) return 1;
    const auto counters = [&] {
        PROCESS_MEMORY_COUNTERS now{};
        now.cb = sizeof(now);
        ::GetProcessMemoryInfo(process.hProcess, &now, sizeof(now));
        return now;
    };
    const auto mib = [](SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
    const auto peak = [&] { return mib(counters().PeakWorkingSetSize); };
    ::Sleep(1000);
    const double empty = peak();
    HWND list = ::GetDlgItem(main, IDC_AIRFILES);
    ::PostMessageW(main, WM_COMMAND, IDM_SELECT_FS2004, 0);
    // The scan shows its rows a few times a second at most, and after a quiet second at the
    // latest: rows unchanged for four seconds mean it is over.
    long rows = 0;
    for (int i = 0, still = 0; i < 1200 && still < 8; ++i) {
        ::Sleep(500);
        const long now = static_cast<long>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        still = now > 0 && now == rows ? still + 1 : 0;
        rows = now;
    }
    const double listed = peak();
    const PROCESS_MEMORY_COUNTERS after = counters();
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::printf(
        "korvalis.exe peak working set: empty window %.1f MiB, with %ld rows %.1f MiB  (goal <= 64 MiB)\n"
        "  once the scan is over: working set %.1f MiB, private bytes %.1f MiB\n",
        empty, rows, listed, mib(after.WorkingSetSize), mib(after.PagefileUsage));
    return 0;
}

// 6. Marking every other row of 50,000 by name, by a pattern, by type, by inverting, by name and
// type, and by name and type among the marked rows (all of them marked before), against a
// header sort of the same rows in the same run, which puts the marks of every other row back.
// The rows are made in memory: even rows "AI Carrier NNNNN" with an Aircraft, odd rows "Private
// NNNNN" with a Helicopter; before each marking the other half is marked.
int MarkBench()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    MainWindow window;
    if (!window.Create(::GetModuleHandleW(nullptr))) return 1;
    constexpr int kRows = 50000;
    std::vector<AirfileRow> rows(kRows);
    for (int i = 0; i < kRows; ++i) {
        wchar_t folder[32], file[32];
        std::swprintf(folder, 32, i % 2 == 0 ? L"AI Carrier %05d" : L"Private %05d", i);
        std::swprintf(file, 32, i % 2 == 0 ? L"ai%05d.air" : L"p%05d.air", i);
        AirfileRow& row = rows[static_cast<std::size_t>(i)];
        row.folder = folder;
        row.file = file;
        row.scannedType = row.fileType = row.pendingType = static_cast<std::uint8_t>(i % 2);
        row.folderKey = SortKey(row.folder);
        row.fileKey = SortKey(row.file);
        row.scanIndex = static_cast<std::uint32_t>(i);
    }
    AirfileListView& list = window.Rows();
    list.Append(std::move(rows));
    HWND handle = window.ListHandle();
    const auto pump = [] {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    };
    // The half of the rows that the marking is not about, marked (odd: those of the sort).
    const auto markHalf = [&](int parity) {
        list.BeginChanges();
        list.SetAllMarked(false);
        for (int i = parity; i < kRows; i += 2)
            ListView_SetItemState(handle, i, LVIS_SELECTED, LVIS_SELECTED);
        list.EndChanges();
        pump();
    };
    const auto timed = [&](const std::function<void()>& work) {
        const auto start = Clock::now();
        work();
        const double seconds = Since(start);
        pump();
        return seconds;
    };
    const NameMatcher text(L"carrier"), pattern(L"AI *");
    const auto byName = [&](const NameMatcher& matcher) {
        return [&] {
            MarkRows(
                list, [&](const AirfileRow& row) { return matcher.Matches(row); }, MarkScope::Replace);
        };
    };
    // Name and type together; and among the marked rows, from every row marked to the even ones.
    const RowQuery nameAndType(L"AI *", RowKind::Aircraft);
    const auto byQuery = [&](MarkScope scope) {
        return [&, scope] {
            MarkRows(
                list, [&](const AirfileRow& row) { return nameAndType.Matches(row); }, scope);
        };
    };
    const char* names[] = {"header sort, marks put back",
                           "Mark rows... \"carrier\"",
                           "Mark rows... \"AI *\"",
                           "Mark rows of type Aircraft",
                           "Invert marks",
                           "Mark rows... \"AI *\" Aircraft",
                           "... among all rows marked"};
    constexpr int kTimed = static_cast<int>(std::size(names));
    std::vector<double> times[kTimed];
    for (int round = 0; round < 5; ++round) {
        markHalf(1);
        times[0].push_back(timed([&] { list.Sort({SortColumn::Folder, round % 2 != 0}); }));
        list.Sort({SortColumn::Scan, false});
        markHalf(1);
        times[1].push_back(timed(byName(text)));
        markHalf(1);
        times[2].push_back(timed(byName(pattern)));
        markHalf(1);
        times[3].push_back(
            timed([&] { ::SendMessageW(window.Handle(), WM_COMMAND, IDM_MARK_KIND_FIRST, 0); }));
        markHalf(1);
        times[4].push_back(timed([&] { ::SendMessageW(window.Handle(), WM_COMMAND, IDM_INVERT_MARKS, 0); }));
        if (list.MarkedCount() != kRows / 2) std::fprintf(stderr, "wrong count of marks\n");
        markHalf(1);
        times[5].push_back(timed(byQuery(MarkScope::Replace)));
        if (list.MarkedCount() != kRows / 2) std::fprintf(stderr, "wrong count of marks\n");
        list.SetAllMarked(true);
        pump();
        times[6].push_back(timed(byQuery(MarkScope::AmongMarked)));
        if (list.MarkedCount() != kRows / 2) std::fprintf(stderr, "wrong count of marks\n");
    }
    const double sort = Median(times[0]);
    std::printf("marking every other row of %d rows on the window's thread (median of 5):\n", kRows);
    for (int i = 0; i < kTimed; ++i)
        std::printf("  %-34s %.3f s, %.2f of the sort  (goal <= 1)\n", names[i], Median(times[i]),
                    Median(times[i]) / sort);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const fs::path work = argc > 1 ? argv[1] : L"bench-work";
    if (argc > 3 && std::wcscmp(argv[2], L"memory") == 0) return Memory(argv[3]);
    if (argc > 2 && std::wcscmp(argv[2], L"mark") == 0) return MarkBench();
    const int result = Main(work, argc > 2 ? argv[2] : L"");
    return result != 0 || argc > 2 ? result : MarkBench();
}
