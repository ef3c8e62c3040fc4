#include "ui/context_menu.h"

#include <commctrl.h>

#include <iterator>

#include "core/handles_win32.h"
#include "ui/commands.h"
#include "ui/resource.h"

namespace korvalis {

ContextMenuPlace PlaceContextMenu(HWND list, LPARAM at, bool mark)
{
    ContextMenuPlace place;
    if (at == -1) {
        place.row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        RECT rect{};
        if (place.row < 0 || !ListView_GetItemRect(list, place.row, &rect, LVIR_LABEL)) rect = RECT{};
        place.point = POINT{rect.left, rect.bottom};
        ::ClientToScreen(list, &place.point);
        return place;
    }
    place.point = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    LVHITTESTINFO hit{};
    hit.pt = place.point;
    ::ScreenToClient(list, &hit.pt);
    place.row = ListView_HitTest(list, &hit);
    // As in Explorer: an unmarked row is marked alone; a marked one keeps the marking.
    if (place.row >= 0 && mark &&
        (ListView_GetItemState(list, place.row, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, place.row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (place.row < 0) place.row = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    return place;
}

int TrackContextMenu(HWND owner, POINT at, const CommandStates& states)
{
    const auto state = [&states](int id) { return CommandAvailable(id, states) ? MF_ENABLED : MF_GRAYED; };
    UniqueMenu types(::CreatePopupMenu());
    ::AppendMenuW(types.Get(), MF_STRING | state(IDM_TYPE_AIRCRAFT), IDM_TYPE_AIRCRAFT, L"&Aircraft");
    ::AppendMenuW(types.Get(), MF_STRING | state(IDM_TYPE_HELICOPTER), IDM_TYPE_HELICOPTER, L"&Helicopter");
    ::AppendMenuW(types.Get(), MF_STRING | state(IDM_TYPE_NONFLYABLE), IDM_TYPE_NONFLYABLE, L"&non flyable");
    UniqueMenu menu(::CreatePopupMenu());
    // The menu owns the sub-menu from here on.
    ::AppendMenuW(menu.Get(), MF_POPUP | state(IDM_TYPE_AIRCRAFT),
                  reinterpret_cast<UINT_PTR>(types.Release()), L"Set &type to");
    ::AppendMenuW(menu.Get(), MF_STRING | state(IDM_WRITE), IDM_WRITE, L"&Write\tCtrl+S");
    ::AppendMenuW(menu.Get(), MF_STRING | state(IDM_RESTORE), IDM_RESTORE, L"&Restore type from backup");
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    UniqueMenu kinds(::CreatePopupMenu());
    const wchar_t* kindTexts[] = {L"&Aircraft", L"&Helicopter", L"&non flyable", L"with&out a type",
                                  L"&changed and not written"};
    for (int i = 0; i < static_cast<int>(std::size(kindTexts)); ++i) {
        ::AppendMenuW(kinds.Get(), MF_STRING | state(IDM_MARK_KIND_FIRST + i),
                      static_cast<UINT_PTR>(IDM_MARK_KIND_FIRST + i), kindTexts[i]);
    }
    ::AppendMenuW(menu.Get(), MF_STRING | state(IDM_MARK_ROWS), IDM_MARK_ROWS, L"&Mark rows...\tCtrl+F");
    ::AppendMenuW(menu.Get(), MF_POPUP | state(IDM_MARK_KIND_FIRST),
                  reinterpret_cast<UINT_PTR>(kinds.Release()), L"Mark rows of t&ype");
    ::AppendMenuW(menu.Get(), MF_STRING | state(IDM_INVERT_MARKS), IDM_INVERT_MARKS,
                  L"&Invert marks\tCtrl+I");
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING | state(IDM_OPEN_FOLDER), IDM_OPEN_FOLDER, L"Open &folder");
    ::AppendMenuW(menu.Get(), MF_STRING | state(IDM_COPY), IDM_COPY, L"&Copy\tCtrl+C");
    return static_cast<int>(::TrackPopupMenuEx(menu.Get(),
                                               TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                               at.x, at.y, owner, nullptr));
}

}  // namespace korvalis
