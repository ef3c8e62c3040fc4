#include "catalogue/status_text.h"

namespace korvalis {

namespace {

constexpr char kEscHint[] = " (Esc to stop)";

std::string Counted(long long number, const char* one, const char* many)
{
    return Thousands(number) + " " + (number == 1 ? one : many);
}

}  // namespace

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

std::string ScanOutcomeText(int unlisted, bool stopped, int foldersRead, int folders)
{
    std::string text;
    if (stopped)
        text = "Stopped after " + Thousands(foldersRead) + " of " + Counted(folders, "folder", "folders");
    if (unlisted > 0) {
        if (!text.empty()) text += ", ";
        text += Counted(unlisted, ".air file", ".air files") + " without a type marker not listed";
    }
    return text;
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

std::string ScanFaultText(int foldersRead, int folders)
{
    return "Stopped by a fault after " + Thousands(foldersRead) + " of " + Thousands(folders) + " folders";
}

}  // namespace korvalis
