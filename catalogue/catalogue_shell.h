#pragma once

#include <string>

#include "catalogue/status_note.h"

namespace korvalis {

inline constexpr char kProgramTitle[] = "Korvalis";
inline constexpr char kNoAirfilesMessage[] = "No airfiles found in this directory!";
inline constexpr char kWriteFailedMessage[] = "The marked items couldn't be saved to the airfile";
inline constexpr char kRestoreFailedMessage[] = "The marked items couldn't be restored from their backups";

// The kinds of work that run on the worker.
enum class WorkKind { Scan, Write, Restore };

// What the catalogue commands need from the window system. The order of these calls is part of
// the behaviour: a scan puts the pointer back before its message shows; a write or restore shows
// its message first ("Write" already off after a failed write) and puts the pointer back after it.
class CatalogueShell {
public:
    virtual ~CatalogueShell() = default;
    // The hourglass over the whole program while a scan or a write runs.
    virtual void SetHourglass(bool busy) = 0;
    // A message box with OK only, no icon, captioned kProgramTitle; returns once closed.
    virtual void ShowMessage(const std::string& text) = 0;
    // The "Write" menu entry (mnuAirfiles_Save).
    virtual void SetWriteEnabled(bool enabled) = 0;
    // From the start of work on the worker until its end has been shown: every command that
    // starts work or changes the rows, their marks or their order is off meanwhile.
    virtual void SetWorking(bool working) = 0;
    // What running work is doing, and how far it got (done of total).
    virtual void ShowProgress(const std::string& text, int done, int total) = 0;
    // What the last command came to; none for nothing to say.
    virtual void ShowOutcome(const StatusNotes& notes) = 0;
    // The work ended with an exception: the user is told once what was being done.
    virtual void WorkFailed(WorkKind kind) = 0;
    // A write or restore was denied access to files in `aircraftDir` and the process is not
    // elevated: asks whether to restart as administrator, and does so when told to.
    virtual void OfferRestartAsAdministrator(const std::string& aircraftDir) = 0;
};

}  // namespace korvalis
