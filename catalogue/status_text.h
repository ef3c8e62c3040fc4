#pragma once

#include <string>

namespace korvalis {

// The status bar's texts: plain English, thousands separated by ",".
std::string Thousands(long long number);

// Part one, always shown: "7,325 airfiles, 412 marked, 3 changed and not written".
std::string CountsText(int rows, int marked, int changed);

// Part two while work runs.
std::string ListingText();
std::string ReadingText(int folder, int folders);
std::string WritingText(int file, int files);
std::string RestoringText(int file, int files);

// Part two once a scan is over: the .air files left out, or how far a stopped scan got.
std::string ScanOutcomeText(int unlisted, bool stopped, int foldersRead, int folders);

// Part two once a write or restore is over. `done` is the past tense of the work ("written",
// "restored"); the first failure is named with its reason; a stopped run says how far it got.
struct RunOutcome {
    int succeeded = 0;
    int failed = 0;
    std::string firstFailure;  // "folder\file: reason"
    bool stopped = false;
    int handled = 0;  // files the run got to
    int total = 0;    // files it was to do
};
std::string RunOutcomeText(const RunOutcome& outcome, const char* done);

// Part two once a scan has ended by a fault: how far it got.
std::string ScanFaultText(int foldersRead, int folders);

}  // namespace korvalis
