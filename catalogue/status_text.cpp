#include "catalogue/status_text.h"

#include <algorithm>

#include "catalogue/error_text.h"
#include "core/text.h"

namespace korvalis {

namespace {

constexpr char kEscHint[] = " (Esc to stop)";
// The tooltip shows one group a line: more would run off a screen.
constexpr std::size_t kListedFailureGroups = 10;

std::string Counted(long long number, const char* one, const char* many)
{
    return Thousands(number) + " " + (number == 1 ? one : many);
}

// A text as it stands among others: a system message's final full stop goes.
std::string WithoutFinalStop(std::string text)
{
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

std::string JoinedNotes(const StatusNotes& notes)
{
    std::string line;
    for (const StatusNote& note : notes) {
        if (!note.text.empty()) line += (line.empty() ? "" : "; ") + WithoutFinalStop(note.text);
    }
    return line;
}

std::string NotesTooltip(const StatusNotes& notes)
{
    std::string tip;
    for (const StatusNote& note : notes) {
        if (note.text.empty()) continue;
        tip += (tip.empty() ? "" : "\n") + note.text;
        for (const std::string& detail : note.details) tip += "\n" + detail;
    }
    return tip;
}

std::string Thousands(long long number)
{
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string text = number < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string CountsText(int rows, int marked, int changed)
{
    return Counted(rows, "airfile", "airfiles") + ", " + Thousands(marked) + " marked, " +
           Thousands(changed) + " changed and not written";
}

std::string ListingText() { return std::string("Listing the folders") + kEscHint; }

std::string ReadingText(int folder, int folders)
{
    return "Reading folder " + Thousands(folder) + " of " + Thousands(folders) + kEscHint;
}

std::string WritingText(int file, int files)
{
    return "Writing " + Thousands(file) + " of " + Thousands(files) + kEscHint;
}

std::string RestoringText(int file, int files)
{
    return "Restoring " + Thousands(file) + " of " + Thousands(files) + kEscHint;
}

StatusNotes ScanOutcomeNotes(const ScanReport& report, const std::string& aircraftDir)
{
    if (report.baseUnlistable) return {{FolderAsShown(aircraftDir) + ": " + ErrorText(report.baseError), {}}};
    StatusNotes parts;
    if (report.baseBrokeOff)
        parts.push_back({"The listing of the directory broke off after " +
                             Counted(report.folders, "folder", "folders") + ": " +
                             ErrorText(report.baseError),
                         {}});
    if (report.stopped)
        parts.push_back({"Stopped after " + Thousands(report.foldersRead) + " of " +
                             Counted(report.folders, "folder", "folders"),
                         {}});
    if (report.noMarker > 0)
        parts.push_back({Counted(report.noMarker, ".air file", ".air files") + " without a type marker", {}});
    if (report.unreadable > 0) {
        const ScanFailure& first = report.firstUnreadable;
        parts.push_back({Thousands(report.unreadable) + " could not be read: " +
                             PathToUtf8(first.folder / first.file) + ": " + ErrorText(first.error),
                         {}});
    }
    if (report.unlistable > 0) {
        const ScanFailure& first = report.firstUnlistable;
        parts.push_back({Counted(report.unlistable, "folder", "folders") + " could not be listed: " +
                             PathToUtf8(first.folder) + ": " + ErrorText(first.error),
                         {}});
    }
    if (report.copies > 0)
        parts.push_back({report.copies == 1
                             ? "1 .air file has a copy in the VirtualStore"
                             : Thousands(report.copies) + " .air files have a copy in the VirtualStore",
                         {}});
    if (report.storeOnlyFolders > 0)
        parts.push_back(
            {Counted(report.storeOnlyFolders, "folder", "folders") + " only in the VirtualStore", {}});
    // Where, and why it matters, once under both.
    if (report.copies > 0 || report.storeOnlyFolders > 0)
        parts.back().details = {PathToUtf8(report.store),
                                "The simulator reads these copies in place of the files when it runs "
                                "without administrator rights."};
    return parts;
}

std::vector<FailureGroup> GroupFailures(const std::vector<RunFailure>& failures)
{
    // Few reasons come up in one run: a look through the groups met so far is enough.
    std::vector<FailureGroup> groups;
    for (const RunFailure& failure : failures) {
        auto group = std::find_if(groups.begin(), groups.end(), [&](const FailureGroup& g) {
            return g.backup == failure.backup && g.reason == failure.reason;
        });
        if (group == groups.end())
            group = groups.insert(groups.end(), {failure.reason, failure.backup, 0, failure.label});
        ++group->count;
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const FailureGroup& a, const FailureGroup& b) { return a.count > b.count; });
    return groups;
}

std::string FailureGroupText(const FailureGroup& group)
{
    return Thousands(group.count) + " " + WithoutFinalStop(group.reason) + " (first: " + group.first + ")";
}

StatusNotes RunOutcomeNotes(const RunOutcome& outcome, const char* done)
{
    std::string text;
    if (outcome.stopped)
        text = "Stopped after " + Thousands(outcome.handled) + " of " + Thousands(outcome.total) + ": ";
    text += Thousands(outcome.succeeded) + " " + done;
    if (outcome.failed > 0) text += ", " + Thousands(outcome.failed) + " failed";
    const std::vector<FailureGroup> groups = GroupFailures(outcome.failures);
    // The largest group reads on from the summary; each other one is a note of its own.
    StatusNotes notes{{text, {}}};
    for (std::size_t i = 0; i < groups.size() && i < kListedFailureGroups; ++i) {
        if (i == 0)
            notes[0].text += ": " + FailureGroupText(groups[i]);
        else
            notes.push_back({FailureGroupText(groups[i]), {}});
    }
    return notes;
}

std::string FolderAsShown(const std::string& aircraftDir)
{
    std::string folder = aircraftDir;
    if (folder.size() > 1 && folder.back() == kDirSeparator && folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

StatusNote AdministratorRightsNote(const std::string& aircraftDir)
{
    return {"Changing these files needs administrator rights",
            {FolderAsShown(aircraftDir),
             "Restart Korvalis as administrator: right-click korvalis.exe and choose Run as administrator."}};
}

std::string RestartAsAdministratorQuestion(const std::string& aircraftDir)
{
    return "Windows lets only administrators change the files in " + FolderAsShown(aircraftDir) +
           ".\n\nRestart Korvalis as administrator? Types not yet written will be lost.";
}

StatusNote NotRestartedNote(const std::string& reason)
{
    std::string text = "Korvalis was not restarted as administrator.";
    if (!reason.empty()) text += " " + reason;
    return {text, {}};
}

std::string MarkedRowsText(int marked) { return Counted(marked, "row", "rows") + " marked"; }

std::string NoRowMatchesText(const std::string& sought) { return "No row matches \"" + sought + "\""; }

std::string NoRowMatchesText(const std::string& name, bool amongMarked, const std::string& kind)
{
    std::string text = "No row matches";
    if (!name.empty()) text += " \"" + name + "\"";
    if (amongMarked) text += " among the marked rows";
    if (!kind.empty()) text += " of type " + kind;
    return text;
}

std::string ScanFaultText(int foldersRead, int folders)
{
    return "Stopped by a fault after " + Thousands(foldersRead) + " of " + Thousands(folders) + " folders";
}

}  // namespace korvalis
