#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "catalogue/marking.h"

namespace korvalis {

// What "Mark rows..." is asked to do: the text as typed, the type (none: any type), and whether
// the rows already marked stay or are the only ones looked among (never both).
struct MarkRequest {
    std::wstring text;
    std::optional<RowKind> kind;
    bool keep = false;
    bool amongMarked = false;
    [[nodiscard]] MarkScope Scope() const
    {
        return amongMarked ? MarkScope::AmongMarked : keep ? MarkScope::Keep : MarkScope::Replace;
    }
};

// The "Mark rows" dialog, modal over `owner`, in the program's font at the owner's DPI, filled
// from `last` with its text all selected. The request on "Mark"; nothing on "Cancel", Esc or the
// close box.
std::optional<MarkRequest> AskWhatToMark(HWND owner, const MarkRequest& last);

}  // namespace korvalis
