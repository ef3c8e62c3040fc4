#pragma once

#include <string>

namespace korvalis {

inline constexpr char kProgramTitle[] = "Korvalis";
inline constexpr char kNoAirfilesMessage[] = "No airfiles found in this directory!";
inline constexpr char kWriteFailedMessage[] = "The marked items couldn't be saved to the airfile";

// What the catalogue commands need from the window system. The order of these calls is
// part of the behaviour (the pointer is normal again before a message shows).
class CatalogueShell {
public:
    virtual ~CatalogueShell() = default;
    // The hourglass over the whole program while a scan or a write runs.
    virtual void SetHourglass(bool busy) = 0;
    // A message box with OK only, no icon, captioned kProgramTitle; returns once closed.
    virtual void ShowMessage(const std::string& text) = 0;
    // The "Write" menu entry (mnuAirfiles_Save).
    virtual void SetWriteEnabled(bool enabled) = 0;
};

}  // namespace korvalis
