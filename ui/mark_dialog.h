#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace korvalis {

// What "Mark rows..." is asked to do: the text as typed, and whether the rows already marked stay.
struct MarkRequest {
    std::wstring text;
    bool keep = false;
};

// The "Mark rows" dialog, modal over `owner`, in the program's font at the owner's DPI, filled
// from `last` with its text all selected. The request on "Mark"; nothing on "Cancel", Esc or the
// close box.
std::optional<MarkRequest> AskWhatToMark(HWND owner, const MarkRequest& last);

}  // namespace korvalis
