// The main window in-process under Wine: what a user sees at start-up and along the road
// of one change, from the simulator entry to the bytes on disk.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

TEST(MainWindow, StartsWithTheMenusColumnsAndStatesOfTheDesign)
{
    MainWindowHarness main(L"C:\\Games\\FS9");
    ASSERT_NE(main.Handle(), nullptr);
    EXPECT_EQ(main.Caption(), L"Korvalis");

    struct Entry {
        UINT id;
        const wchar_t* text;
        bool enabled;
    };
    const Entry entries[] = {
        {IDM_SELECT_FS2004, L"FS2004 - C:\\Games\\FS9\\Aircraft", true},
        {IDM_SELECT_FS2002, L"FS2002 - not found in Registry", false},
        {IDM_SELECT_OWN, L"&Own Directory", true},
        {IDM_TYPE_AIRCRAFT, L"&Aircraft", true},
        {IDM_TYPE_HELICOPTER, L"&Helicopter", true},
        {IDM_TYPE_NONFLYABLE, L"&Non Flyble", true},
        {IDM_READ, L"Read\tCtrl+R", true},
        {IDM_WRITE, L"Write\tCtrl+S", false},
        {IDM_SELECT_MY, L"Find &AITraffic Aircrafts", true},
        {IDM_ABOUT, L"About", true},
        {IDM_END, L"End\tCtrl+E", true},
    };
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.id);
        EXPECT_EQ(main.MenuText(entry.id), entry.text);
        EXPECT_EQ(main.MenuEnabled(entry.id), entry.enabled);
        EXPECT_FALSE(main.MenuChecked(entry.id));
    }

    // The top-level entries, and the separators where the design puts them.
    HMENU bar = ::GetMenu(main.Handle());
    wchar_t text[128] = {};
    const wchar_t* tops[] = {L"Select &Aircraft Directory", L"&Set selected Aircrafts to type ..",
                             L"Air&files"};
    ASSERT_EQ(::GetMenuItemCount(bar), 3);
    for (int i = 0; i < 3; ++i) {
        ::GetMenuStringW(bar, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        EXPECT_STREQ(text, tops[i]);
    }
    HMENU airfiles = ::GetSubMenu(bar, 2);
    ASSERT_EQ(::GetMenuItemCount(airfiles), 7);
    for (int separator : {2, 4})
        EXPECT_EQ(::GetMenuState(airfiles, static_cast<UINT>(separator), MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));

    // Columns from the list's width at start-up, at 96 DPI: 8355 twips wide.
    EXPECT_EQ(main.RowCount(), 0);
    HWND header = ListView_GetHeader(main.List());
    ASSERT_EQ(Header_GetItemCount(header), 3);
    const wchar_t* headers[] = {L"Dir", L"Airfile", L"Aircraft type"};
    for (int i = 0; i < 3; ++i) {
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        Header_GetItem(header, i, &item);
        EXPECT_STREQ(text, headers[i]);
    }
    if (main.Window().Dpi() == 96) {
        RECT client, status;
        ::GetClientRect(main.Handle(), &client);
        ::GetWindowRect(main.Window().StatusHandle(), &status);
        ::MapWindowPoints(nullptr, main.Handle(), reinterpret_cast<POINT*>(&status), 2);
        EXPECT_EQ(client.right, 559);  // 8385 twips
        EXPECT_EQ(status.top, 365);    // 5475 twips, the status bar below
        EXPECT_EQ(client.bottom, 365 + (status.bottom - status.top));
        EXPECT_EQ(ListView_GetColumnWidth(main.List(), 0), 277);  // 4159.375 twips
        EXPECT_EQ(ListView_GetColumnWidth(main.List(), 1), 166);  // 2495.625 twips
        EXPECT_EQ(ListView_GetColumnWidth(main.List(), 2), 87);   // 1300 twips
    }
    // Fixed size: no sizing border, no maximize box.
    const LONG style = ::GetWindowLongW(main.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
}

TEST(MainWindow, ADpiChangeLaysTheWindowOutAgainAtTheNewScale)
{
    MainWindowHarness main;
    const UINT dpi = main.Window().Dpi();
    int widths[3];
    for (int i = 0; i < 3; ++i) widths[i] = ListView_GetColumnWidth(main.List(), i);

    const UINT scaled = dpi * 3 / 2;  // 150%
    RECT suggested{40, 30, 1000, 800};
    ::SendMessageW(main.Handle(), WM_DPICHANGED, MAKEWPARAM(scaled, scaled),
                   reinterpret_cast<LPARAM>(&suggested));

    RECT client, list, status;
    ::GetClientRect(main.Handle(), &client);
    ::GetClientRect(main.List(), &list);
    ::GetWindowRect(main.Window().StatusHandle(), &status);
    EXPECT_EQ(client.right, ::MulDiv(8385, static_cast<int>(scaled), 1440));
    EXPECT_EQ(client.bottom, ::MulDiv(5475, static_cast<int>(scaled), 1440) + (status.bottom - status.top));
    RECT window;
    ::GetWindowRect(main.List(), &window);
    EXPECT_EQ(window.right - window.left, ::MulDiv(8355, static_cast<int>(scaled), 1440));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ListView_GetColumnWidth(main.List(), i), ::MulDiv(widths[i], 3, 2)) << i;
}

TEST(MainWindow, ReadBeforeAnyChoiceDoesNothing)
{
    MainWindowHarness main;
    MessageBoxWatcher boxes;
    main.Command(IDM_READ);
    EXPECT_EQ(main.RowCount(), 0);
    EXPECT_EQ(main.Caption(), L"Korvalis");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(MainWindow, OneChangeFromTheSimulatorEntryToTheFiles)
{
    Simulator sim;
    MainWindowHarness main(Wide(sim.root));

    main.Command(IDM_SELECT_FS2004);
    EXPECT_EQ(main.Caption(), L"Korvalis - " + Wide(sim.root) + L"\\aircraft\\");
    EXPECT_TRUE(main.MenuChecked(IDM_SELECT_FS2004));
    ASSERT_EQ(main.RowCount(), 3);
    const int boeing = RowOf(main, L"AI Boeing 737"), bell = RowOf(main, L"Bell 206"),
              cessna = RowOf(main, L"MY Cessna");
    ASSERT_GE(boeing, 0);
    ASSERT_GE(bell, 0);
    ASSERT_GE(cessna, 0);
    EXPECT_EQ(main.Cell(boeing, 1), L"b737.air");
    EXPECT_EQ(main.Cell(boeing, 2), L"Aircraft");
    EXPECT_EQ(main.Cell(bell, 2), L"Helicopter");
    EXPECT_FALSE(main.MenuEnabled(IDM_WRITE));

    main.Command(IDM_SELECT_MY);
    EXPECT_TRUE(main.Marked(boeing));
    EXPECT_TRUE(main.Marked(cessna));
    EXPECT_FALSE(main.Marked(bell));

    main.Command(IDM_TYPE_HELICOPTER);
    EXPECT_EQ(main.Cell(boeing, 2), L"Helicopter");
    EXPECT_EQ(main.Cell(cessna, 2), L"Helicopter");
    EXPECT_TRUE(main.MenuEnabled(IDM_WRITE));
    // Tooltips follow the cell under the mouse; a changed type cell keeps the scan's tip.
    EXPECT_EQ(main.TipAt(boeing, 0), L"AI Boeing 737");
    EXPECT_EQ(main.TipAt(boeing, 1), L"b737.air");
    EXPECT_EQ(main.TipAt(boeing, 2), L"Aircraft");
    EXPECT_EQ(main.TipAt(bell, 2), L"Helicopter");

    const Bytes bellBefore = ReadBytes(sim.File("Bell 206", "bell.air"));
    {
        MessageBoxWatcher boxes;
        main.Command(IDM_WRITE);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
    for (const char* file : {"AI Boeing 737/b737.air", "MY Cessna/c172.air"}) {
        SCOPED_TRACE(file);
        const fs::path path = sim.aircraft / fs::path(file).make_preferred();
        EXPECT_EQ(ReferenceType(ReadBytes(path)), "1");
        EXPECT_EQ(ReferenceType(ReadBytes(BackupOf(path))), "0");
    }
    EXPECT_EQ(ReadBytes(sim.File("Bell 206", "bell.air")), bellBefore);
    EXPECT_FALSE(fs::exists(BackupOf(sim.File("Bell 206", "bell.air"))));
    EXPECT_FALSE(main.Marked(boeing));
    EXPECT_FALSE(main.Marked(cessna));
    EXPECT_TRUE(main.MenuEnabled(IDM_WRITE));
}

TEST(MainWindow, AFailingWriteShowsTheOneMessageAndDisablesWrite)
{
    Simulator sim;
    MainWindowHarness main(Wide(sim.root));
    main.Command(IDM_SELECT_FS2004);
    const int boeing = RowOf(main, L"AI Boeing 737"), cessna = RowOf(main, L"MY Cessna");
    main.Command(IDM_SELECT_MY);
    main.Command(IDM_TYPE_NONFLYABLE);
    SetReadOnly(sim.File("AI Boeing 737", "b737.air"), true);

    MessageBoxWatcher boxes;
    main.Command(IDM_WRITE);
    const auto seen = boxes.Boxes();
    SetReadOnly(sim.File("AI Boeing 737", "b737.air"), false);

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Korvalis");
    EXPECT_EQ(seen[0].text, L"The marked items couldn't be saved to the airfile");
    EXPECT_TRUE(seen[0].onlyOk);
    EXPECT_FALSE(seen[0].icon);
    EXPECT_FALSE(main.MenuEnabled(IDM_WRITE));
    EXPECT_TRUE(main.Marked(boeing));   // failed: stays marked
    EXPECT_FALSE(main.Marked(cessna));  // written
    EXPECT_EQ(ReferenceType(ReadBytes(sim.File("AI Boeing 737", "b737.air"))), "0");
    EXPECT_EQ(ReferenceType(ReadBytes(sim.File("MY Cessna", "c172.air"))), "2");
}

TEST(MainWindow, ShortcutsReachTheirCommands)
{
    Simulator sim;
    MainWindowHarness main(Wide(sim.root));
    main.Command(IDM_SELECT_FS2004);
    const int boeing = RowOf(main, L"AI Boeing 737");

    // Ctrl+R scans again: pending types are gone, "Write" is disabled, nothing is marked.
    main.Mark(boeing);
    main.Command(IDM_TYPE_HELICOPTER);
    ASSERT_TRUE(main.MenuEnabled(IDM_WRITE));
    EXPECT_TRUE(main.CtrlKey('R'));
    EXPECT_EQ(main.Cell(boeing, 2), L"Aircraft");
    EXPECT_FALSE(main.Marked(boeing));
    EXPECT_FALSE(main.MenuEnabled(IDM_WRITE));

    // Ctrl+S writes the marked rows.
    main.Mark(boeing);
    main.Command(IDM_TYPE_HELICOPTER);
    EXPECT_TRUE(main.CtrlKey('S'));
    EXPECT_EQ(ReferenceType(ReadBytes(sim.File("AI Boeing 737", "b737.air"))), "1");

    // Ctrl+S with "Write" disabled does nothing.
    main.CtrlKey('R');
    main.Mark(boeing);
    main.Command(IDM_TYPE_AIRCRAFT);
    main.CtrlKey('R');  // pending "Aircraft" discarded, "Write" disabled again
    main.Mark(boeing);
    main.CtrlKey('S');
    EXPECT_EQ(ReferenceType(ReadBytes(sim.File("AI Boeing 737", "b737.air"))), "1");

    // Ctrl+E ends the program at once, pending types unwritten.
    main.Command(IDM_TYPE_NONFLYABLE);
    EXPECT_TRUE(main.CtrlKey('E'));
    EXPECT_EQ(main.Handle(), nullptr);
    EXPECT_EQ(ReferenceType(ReadBytes(sim.File("AI Boeing 737", "b737.air"))), "1");
}

TEST(MainWindow, ClosingEndsTheProgramWithoutWritingPendingTypes)
{
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Way ways[] = {
        {"close box", WM_CLOSE, 0},
        {"system menu", WM_SYSCOMMAND, SC_CLOSE},
        {"End", WM_COMMAND, IDM_END},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Simulator sim;
        const Bytes before = ReadBytes(sim.File("AI Boeing 737", "b737.air"));
        MainWindowHarness main(Wide(sim.root));
        main.Command(IDM_SELECT_FS2004);
        main.Command(IDM_SELECT_MY);
        main.Command(IDM_TYPE_HELICOPTER);
        ASSERT_TRUE(main.MenuEnabled(IDM_WRITE));

        MessageBoxWatcher boxes;
        ::SendMessageW(main.Handle(), way.message, way.wParam, 0);
        EXPECT_EQ(main.Handle(), nullptr);
        MSG quit;
        EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_TRUE(boxes.Boxes().empty());  // no question asked
        EXPECT_EQ(ReadBytes(sim.File("AI Boeing 737", "b737.air")), before);
    }
}

}  // namespace
}  // namespace korvalis::test
