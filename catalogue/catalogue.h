#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/airfile_list.h"
#include "catalogue/catalogue_shell.h"
#include "catalogue/row_text.h"
#include "catalogue/session_state.h"
#include "catalogue/status_text.h"
#include "catalogue/worker.h"

namespace korvalis {

// The commands on the aircraft rows: scan, give a type, write, restore, mark AI traffic.
// A scan, a write and a restore run on the worker; the rest, and every change to the rows,
// happen on the thread that owns the list. While work runs, the commands do nothing.
class Catalogue {
public:
    Catalogue(SessionState& state, AirfileList& list, CatalogueShell& shell, Worker& worker) noexcept
        : m_state(state), m_list(list), m_shell(shell), m_worker(worker)
    {
    }

    // Rebuilds the rows from the .air files one folder below AircraftDir; they arrive as read.
    void Load_Airfiles();
    // Gives every marked row the type of menu entry `index` (0, 1, 2) as its pending type.
    void AssignTypeToMarked(std::int16_t index);
    // Writes each marked row's pending type into its file; written rows are un-marked.
    void WriteMarkedTypes();
    // Puts each marked row's file back to the type its backup holds; restored rows are un-marked.
    void RestoreMarkedFromBackups();
    // Marks exactly the rows whose folder name holds "MY" or "AI".
    void SelectAITraffic();
    // Asks running work to stop: a scan at once, a write or restore between two files.
    void StopWork() { m_worker.RequestStop(); }
    // From the start of a scan, write or restore until its end has been shown.
    [[nodiscard]] bool WorkRunning() const noexcept { return m_worker.Running(); }
    // Whether the work that runs is a scan.
    [[nodiscard]] bool Scanning() const noexcept { return WorkRunning() && m_kind == WorkKind::Scan; }

    // For tests: runs on the worker's thread before each file a write or restore handles.
    void SetFileHook(std::function<void(int file)> hook) { m_fileHook = std::move(hook); }

private:
    struct FileJob;
    struct FileResult;
    // Writes or restores the marked rows' files, one after the other, on the worker.
    void RunFiles(WorkKind kind);
    void ApplyResults(const std::vector<FileJob>& jobs, const std::vector<FileResult>& results);
    void FinishFiles(WorkKind kind, bool failed);

    SessionState& m_state;
    AirfileList& m_list;
    CatalogueShell& m_shell;
    Worker& m_worker;
    std::function<void(int)> m_fileHook;
    RunOutcome m_outcome;              // of the write or restore that runs
    WorkKind m_kind = WorkKind::Scan;  // of the work that runs or ran last
};

}  // namespace korvalis
