#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/airfile_listview.h"

namespace korvalis {

// Type-ahead by folder name that goes on across spaces: typed quickly, "piper p" lands on
// "Piper PA-28". A space typed on its own stays the list's mark key.
class TypeAhead {
public:
    // Takes the characters typed into the list, and a space's key while a search is under way,
    // when `allowed` says type-ahead is available now; true when it took the message.
    bool Take(AirfileListView& rows, UINT message, WPARAM wParam, const std::function<bool()>& allowed);

private:
    // Whether the last character came within the pause that ends a search.
    [[nodiscard]] bool UnderWay() const;
    void Find(AirfileListView& rows, bool next);

    std::wstring m_text;
    DWORD m_last = 0;  // when the last character was typed
};

}  // namespace korvalis
