#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "catalogue/airfile_list.h"
#include "catalogue/airfile_routines.h"
#include "catalogue/catalogue_shell.h"
#include "catalogue/process_rights.h"
#include "catalogue/row_text.h"
#include "catalogue/session_state.h"
#include "catalogue/status_text.h"
#include "catalogue/virtual_store.h"
#include "catalogue/worker.h"

namespace korvalis {

// The commands on the aircraft rows: scan, give a type, write, restore, mark AI traffic.
// A scan, a write and a restore run on the worker; the rest, and every change to the rows,
// happen on the thread that owns the list. While work runs, the commands do nothing.
class Catalogue {
public:
    Catalogue(SessionState& state, AirfileList& list, CatalogueShell& shell, Worker& worker,
              AirfileRoutines& files = SystemAirfileRoutines()) noexcept
        : m_state(state), m_list(list), m_shell(shell), m_worker(worker), m_files(&files)
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

    // The file routines the work started from now on runs with; work that runs keeps its own.
    void SetFileRoutines(AirfileRoutines& files) noexcept { m_files = &files; }
    // Where the VirtualStore's copies of the files lie (SystemRedirectedFolders), for the scans
    // started from now on; none are looked for until this is called.
    void SetRedirectedFolders(RedirectedFolders folders) { m_redirected = std::move(folders); }
    // What the process may do, asked after each scan and each write or restore denied access.
    void SetProcessRights(ProcessRights& rights) noexcept { m_rights = &rights; }

private:
    struct FileRun;
    // The VirtualStore counterpart of AircraftDir; "" when it has none.
    [[nodiscard]] std::filesystem::path StoreDir() const;
    // Writes or restores the marked rows' files, one after the other, on the worker.
    void RunFiles(WorkKind kind);
    // Records in their rows the results of the run's files before `upTo` not yet recorded.
    void ApplyResults(int upTo);
    void FinishFiles(WorkKind kind, bool failed);

    SessionState& m_state;
    AirfileList& m_list;
    CatalogueShell& m_shell;
    Worker& m_worker;
    AirfileRoutines* m_files;
    RedirectedFolders m_redirected;
    ProcessRights* m_rights = &SystemProcessRights();
    std::shared_ptr<FileRun> m_run;    // the write or restore that runs or ran last
    int m_applied = 0;                 // of its files, those recorded in their rows
    RunOutcome m_outcome;              // of the write or restore that runs
    bool m_deniedByRights = false;     // some file of it was denied access, not for being read-only
    WorkKind m_kind = WorkKind::Scan;  // of the work that runs or ran last
};

}  // namespace korvalis
