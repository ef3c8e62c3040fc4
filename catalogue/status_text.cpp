#include "catalogue/status_text.h"

#include "catalogue/error_text.h"
#include "core/text.h"

namespace korvalis {

namespace {

constexpr char kEscHint[] = " (Esc to stop)";

std::string Counted(long long number, const char* one, const char* many)
{
    return Thousands(number) + " " + (number == 1 ? one : many);
}

}  // namespace

std::string JoinedNotes(const StatusNotes& notes)
{
    std::string line;
    for (const StatusNote& note : notes) {
        if (note.text.empty()) continue;
        std::string text = note.text;
        if (text.back() == '.') text.pop_back();
        line += (line.empty() ? "" : "; ") + text;
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
                        Counted(report.folders, "folder", "folders") + ": " + ErrorText(report.baseError), {}});
    if (report.stopped)
        parts.push_back({"Stopped after " + Thousands(report.foldersRead) + " of " +
                        Counted(report.folders, "folder", "folders"), {}});
    if (report.noMarker > 0)
        parts.push_back({Counted(report.noMarker, ".air file", ".air files") + " without a type marker", {}});
    if (report.unreadable > 0) {
        const ScanFailure& first = report.firstUnreadable;
        parts.push_back({Thousands(report.unreadable) + " could not be read: " +
                        PathToUtf8(first.folder / first.file) + ": " + ErrorText(first.error), {}});
    }
    if (report.unlistable > 0) {
        const ScanFailure& first = report.firstUnlistable;
        parts.push_back({Counted(report.unlistable, "folder", "folders") +
                        " could not be listed: " + PathToUtf8(first.folder) + ": " + ErrorText(first.error), {}});
    }
    return parts;
}

std::string RunOutcomeText(const RunOutcome& outcome, const char* done)
{
    std::string text;
    if (outcome.stopped)
        text = "Stopped after " + Thousands(outcome.handled) + " of " + Thousands(outcome.total) + ": ";
    text += Thousands(outcome.succeeded) + " " + done;
    if (outcome.failed > 0) text += ", " + Thousands(outcome.failed) + " failed: " + outcome.firstFailure;
    return text;
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

std::string ScanFaultText(int foldersRead, int folders)
{
    return "Stopped by a fault after " + Thousands(foldersRead) + " of " + Thousands(folders) + " folders";
}

}  // namespace korvalis
