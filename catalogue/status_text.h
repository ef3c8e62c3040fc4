#pragma once

#include <string>
#include <vector>

#include "catalogue/scan.h"
#include "catalogue/status_note.h"

namespace korvalis {

// The status bar's texts: plain English, thousands separated by ",".
std::string Thousands(long long number);

// Part two's line: the texts joined by "; ", each without a final full stop (a system message
// has one).
std::string JoinedNotes(const StatusNotes& notes);
// Part two's tooltip: each text on a line of its own, full stop kept, its details under it.
std::string NotesTooltip(const StatusNotes& notes);

// Part one, always shown: "7,325 airfiles, 412 marked, 3 changed and not written".
std::string CountsText(int rows, int marked, int changed);

// Part two while work runs.
std::string ListingText();
std::string ReadingText(int folder, int folders);
std::string WritingText(int file, int files);
std::string RestoringText(int file, int files);

// Part two once a scan is over, each only when there is something to say: where
// the directory's own listing broke off, how far a stopped scan got, the .air files without a
// type marker, those that could not be read and the folders that could not be listed, each
// failure with the first of its kind and why, and the files with a copy and the folders that are
// only in the VirtualStore. When the aircraft directory itself could not be listed, why:
// "FOLDER: REASON".
StatusNotes ScanOutcomeNotes(const ScanReport& report, const std::string& aircraftDir);
inline std::string ScanOutcomeText(const ScanReport& report, const std::string& aircraftDir)
{
    return JoinedNotes(ScanOutcomeNotes(report, aircraftDir));
}

// One file of a write or restore that failed: why, as its row's tooltip states it, whether the
// backup or the file itself failed, and which (folder\file, or its backup's name).
struct RunFailure {
    std::string reason;
    bool backup = false;
    std::string label;
};
// The failures of one reason about the same side (backup or file): how many, and the first.
struct FailureGroup {
    std::string reason;
    bool backup = false;
    int count = 0;
    std::string first;
};
// The failures grouped, largest group first; groups of one size in the order first met.
std::vector<FailureGroup> GroupFailures(const std::vector<RunFailure>& failures);
// "4,000 The system cannot find the file specified (first: AI A320\a320.air.KRVL_bak)"
std::string FailureGroupText(const FailureGroup& group);

// Part two once a write or restore is over. `done` is the past tense of the work ("written",
// "restored"); the failures grouped by reason, each with its first file; a stopped run says how
// far it got.
struct RunOutcome {
    int succeeded = 0;
    int failed = 0;
    std::vector<RunFailure> failures;
    bool stopped = false;
    int handled = 0;  // files the run got to
    int total = 0;    // files it was to do
};
// The count of what was done and failed with the largest group after it, then one note for each
// further group, up to ten groups.
StatusNotes RunOutcomeNotes(const RunOutcome& outcome, const char* done);
inline std::string RunOutcomeText(const RunOutcome& outcome, const char* done)
{
    return JoinedNotes(RunOutcomeNotes(outcome, done));
}

// A folder as the user knows it: without the separator the program adds, a drive's root kept.
std::string FolderAsShown(const std::string& aircraftDir);
// Part two after a scan whose files this process may not change without administrator rights.
StatusNote AdministratorRightsNote(const std::string& aircraftDir);
// The question after a write or restore that was denied access.
std::string RestartAsAdministratorQuestion(const std::string& aircraftDir);
// Part two when the restart was declined (`reason` "") or could not be started.
StatusNote NotRestartedNote(const std::string& reason);

// Part two after a marking command: "1,204 rows marked", every row marked afterwards counted.
std::string MarkedRowsText(int marked);
// Part two when a marking command found nothing: "No row matches "TEXT"".
std::string NoRowMatchesText(const std::string& sought);
// Part two when "Mark rows..." found nothing, naming only what was asked for:
// No row matches "NAME" among the marked rows of type KIND. `name` and `kind` empty when not given.
std::string NoRowMatchesText(const std::string& name, bool amongMarked, const std::string& kind);
// Part two once a scan has ended by a fault: how far it got.
std::string ScanFaultText(int foldersRead, int folders);

}  // namespace korvalis
