// The list's own commands as a user meets them under Wine: keys, the header, the context menu,
// the rows whose type is not yet written, and Explorer.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <memory>

#include "catalogue/sort_key.h"
#include "tests/support/hooked_routines.h"
#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/resource.h"
#include "ui/shell_actions.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

std::wstring Clipboard()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

void SetClipboard(const std::wstring& text)
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    ::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

std::vector<std::wstring> Folders(MainWindowHarness& main)
{
    std::vector<std::wstring> folders;
    for (int i = 0; i < main.RowCount(); ++i)
        folders.push_back(main.Cell(i, 0) + (main.Marked(i) ? L"*" : L""));
    return folders;
}

class ListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_main.Command(IDM_SELECT_FS2004);
        ASSERT_EQ(m_main.RowCount(), 3);
    }
    void Unmark() { ListView_SetItemState(m_main.List(), -1, 0, LVIS_SELECTED); }
    // A left click on a row, as the mouse gives it.
    void Click(int index)
    {
        RECT cell{};
        ListView_GetItemRect(m_main.List(), index, &cell, LVIR_LABEL);
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        // The list waits for the button to come up before it goes on.
        ::PostMessageW(m_main.List(), WM_LBUTTONUP, 0, at);
        ::SendMessageW(m_main.List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        m_main.Pump();
    }
    // Rows as a scan hands them over.
    void Arrive(std::initializer_list<const wchar_t*> folders)
    {
        std::vector<AirfileRow> rows;
        for (const wchar_t* folder : folders) {
            AirfileRow row;
            row.folder = folder;
            row.file = L"a.air";
            row.folderKey = SortKey(row.folder);
            row.fileKey = SortKey(row.file);
            row.scanIndex = m_arrived++;
            rows.push_back(std::move(row));
        }
        m_main.Window().Rows().Append(std::move(rows));
        m_main.Pump();
    }
    int Focused() { return ListView_GetNextItem(m_main.List(), -1, LVNI_FOCUSED); }

    std::uint32_t m_arrived = 100;
    // A click on a column's header, as the mouse gives it.
    void ClickHeader(int column)
    {
        HWND header = ListView_GetHeader(m_main.List());
        RECT rect{};
        Header_GetItemRect(header, column, &rect);
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(header, WM_LBUTTONUP, 0, at);
        m_main.Settle();
    }
    int Arrow(int column)
    {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(ListView_GetHeader(m_main.List()), column, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }

    Simulator m_sim;
    MainWindowHarness m_main{Wide(m_sim.root)};
};

TEST_F(ListTest, KeysMarkCopyFindAndReadAgain)
{
    // Type-ahead: the first folder that begins with the letters gets the focus and the mark.
    ::SendMessageW(m_main.List(), WM_CHAR, L'b', 1);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"AI Boeing 737", L"Bell 206*", L"MY Cessna"}));

    // Ctrl+C with nothing marked leaves the clipboard as it was.
    Unmark();
    SetClipboard(L"kept");
    m_main.CtrlKey('C');
    EXPECT_EQ(Clipboard(), L"kept");

    // Ctrl+A marks every row; Ctrl+C copies them in the order shown, with the paths Write uses.
    m_main.CtrlKey('A');
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"AI Boeing 737*", L"Bell 206*", L"MY Cessna*"}));
    m_main.Command(IDM_TYPE_NONFLYABLE);
    m_main.CtrlKey('C');
    const std::wstring dir = Wide(m_sim.aircraft) + L"\\";
    EXPECT_EQ(Clipboard(),
              L"Dir\tAirfile\tAircraft type\tPath\r\n"
              L"AI Boeing 737\tb737.air\tnon flyable\t" +
                  dir +
                  L"AI Boeing 737\\b737.air\r\n"
                  L"Bell 206\tbell.air\tnon flyable\t" +
                  dir +
                  L"Bell 206\\bell.air\r\n"
                  L"MY Cessna\tc172.air\tnon flyable\t" +
                  dir + L"MY Cessna\\c172.air\r\n");

    // F5 reads the directory again, as Read does: pending types gone, nothing marked.
    m_main.Key(m_main.List(), VK_F5);
    EXPECT_EQ(m_main.Cell(1, 2), L"Helicopter");
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"AI Boeing 737", L"Bell 206", L"MY Cessna"}));
    EXPECT_EQ(m_main.MenuText(IDM_READ), L"Read\tCtrl+R");
}

TEST_F(ListTest, HeadersSortWithTheirArrowAndMarksStayWithTheirRows)
{
    m_main.Mark(RowOf(m_main, L"Bell 206"));
    ClickHeader(2);  // by type: the two aircraft, then the helicopter
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"AI Boeing 737", L"MY Cessna", L"Bell 206*"}));
    EXPECT_EQ(Arrow(2), HDF_SORTUP);
    ClickHeader(2);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"Bell 206*", L"MY Cessna", L"AI Boeing 737"}));
    EXPECT_EQ(Arrow(2), HDF_SORTDOWN);
    EXPECT_EQ(Arrow(0), 0);

    // A later Read keeps the chosen order.
    m_main.Command(IDM_READ);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"Bell 206", L"MY Cessna", L"AI Boeing 737"}));
    EXPECT_EQ(Arrow(2), HDF_SORTDOWN);
}

TEST_F(ListTest, TheContextMenuMarksLikeExplorerAndGreysWhatWouldDoNothing)
{
    using Entries = std::vector<MenuWatcher::Entry>;
    const auto states = [](const Entries& entries) {
        std::vector<std::pair<std::wstring, bool>> seen;
        for (const auto& e : entries) seen.emplace_back(e.text, e.enabled);
        return seen;
    };
    const auto menu = [](bool marked, bool write, bool row) {
        return std::vector<std::pair<std::wstring, bool>>{{L"Set &type to", marked},
                                                          {L"&Write\tCtrl+S", write},
                                                          {L"&Restore type from backup", marked},
                                                          {L"&Mark rows...\tCtrl+F", true},
                                                          {L"Mark rows of t&ype", true},
                                                          {L"&Invert marks\tCtrl+I", true},
                                                          {L"Open &folder", row},
                                                          {L"&Copy\tCtrl+C", marked}};
    };
    const int boeing = RowOf(m_main, L"AI Boeing 737"), bell = RowOf(m_main, L"Bell 206");
    MenuWatcher watcher;

    // An unmarked row: only it is marked.
    m_main.Mark(boeing);
    m_main.RightClick(bell);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"AI Boeing 737", L"Bell 206*", L"MY Cessna"}));
    // A marked row keeps the marking; with a type given, Write is on.
    m_main.Mark(boeing);
    m_main.Command(IDM_TYPE_AIRCRAFT);
    m_main.RightClick(bell);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"AI Boeing 737*", L"Bell 206*", L"MY Cessna"}));
    // From the keyboard, the menu key and Shift+F10, with nothing marked: only the focused
    // row's folder can be opened.
    Unmark();
    ::SendMessageW(m_main.List(), WM_KEYUP, VK_APPS, 1);
    m_main.Settle();
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(m_main.List(), WM_SYSKEYDOWN, VK_F10, 1);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    m_main.Settle();

    const auto menus = watcher.Menus();
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(states(menus[0]), menu(true, false, true));
    EXPECT_EQ(states(menus[1]), menu(true, true, true));
    EXPECT_EQ(states(menus[2]), menu(false, true, true));
    EXPECT_EQ(states(menus[3]), menu(false, true, true));
}

TEST_F(ListTest, RowsWithATypeNotYetWrittenAreDrawnInBold)
{
    const int bell = RowOf(m_main, L"Bell 206"), boeing = RowOf(m_main, L"AI Boeing 737");
    m_main.Mark(bell);
    m_main.Command(IDM_TYPE_AIRCRAFT);
    ListView_SetItemState(m_main.List(), -1, 0, LVIS_SELECTED);  // changed, and not marked

    HDC dc = ::CreateCompatibleDC(nullptr);
    const auto draw = [&](int row) {
        NMLVCUSTOMDRAW custom{};
        custom.nmcd.hdr = {m_main.List(), IDC_AIRFILES, static_cast<UINT>(NM_CUSTOMDRAW)};
        custom.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        custom.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        custom.nmcd.hdc = dc;
        const LRESULT result =
            ::SendMessageW(m_main.Handle(), WM_NOTIFY, IDC_AIRFILES, reinterpret_cast<LPARAM>(&custom));
        LOGFONTW font{};
        ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        return std::make_pair(result, font.lfWeight >= FW_BOLD);
    };
    EXPECT_EQ(draw(bell), std::make_pair(LRESULT{CDRF_NEWFONT}, true));
    EXPECT_EQ(draw(boeing).first, CDRF_DODEFAULT);
    ::DeleteDC(dc);
    EXPECT_EQ(m_main.Cell(bell, 2), L"Aircraft");
    EXPECT_EQ(m_main.TipAt(bell, 2), L"Helicopter") << "the tooltip keeps the type read";
}

TEST_F(ListTest, WhileAScanFillsTheListItCanBeMarkedAndMarksStayOnTheirRows)
{
    ClickHeader(0);  // by folder: rows arriving take their places among the others
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    HookedRoutines held([released](int file) {
        if (file < 0) released.wait();  // the scan is held at its start, its list emptied
    });
    m_main.Window().Commands().SetFileRoutines(held);
    ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_READ, 0);
    m_main.Pump();
    ASSERT_TRUE(m_main.Window().Working());

    // Should anything below fail, the scan still ends.
    const std::shared_ptr<void> releaseAtEnd(nullptr, [&](void*) {
        release.set_value();
        m_main.Settle();
        m_main.Window().Commands().SetFileRoutines(SystemAirfileRoutines());
    });

    Arrive({L"Mooney", L"Piper"});
    ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_SELECT_ALL, 0);  // Ctrl+A
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"Mooney*", L"Piper*"}));
    Click(1);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"Mooney", L"Piper*"}));
    Arrive({L"Cessna", L"Albatross"});
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"Albatross", L"Cessna", L"Mooney", L"Piper*"}));
    EXPECT_EQ(Focused(), 3);
    ::SendMessageW(m_main.List(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Folders(m_main), (std::vector<std::wstring>{L"Albatross", L"Cessna", L"Mooney*", L"Piper"}));
}

TEST_F(ListTest, ASortKeepsTheAnchorOfShiftClicksOnItsRow)
{
    ClickHeader(0);
    const int cessna = RowOf(m_main, L"MY Cessna");
    Click(cessna);
    ASSERT_EQ(ListView_GetSelectionMark(m_main.List()), cessna);
    ClickHeader(0);  // reversed: the row moves
    EXPECT_EQ(ListView_GetSelectionMark(m_main.List()), RowOf(m_main, L"MY Cessna"));
    EXPECT_EQ(Focused(), RowOf(m_main, L"MY Cessna"));
}

// What the timer below does on the window's thread once the context menu shows.
std::function<void()> g_whileMenuOpen;
std::atomic<bool> g_doneWhileMenuOpen{false};

void CALLBACK WhileMenuOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND popup = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr);
    if (popup == nullptr || !::IsWindowVisible(popup)) return;
    ::KillTimer(nullptr, timer);
    g_whileMenuOpen();
    g_doneWhileMenuOpen = true;
}

TEST_F(ListTest, OpenFolderOpensTheRowClickedEvenWhenRowsArriveMeanwhile)
{
    RecordingLaunch launch;
    const std::vector<fs::path>& opened = launch.selected;
    m_main.Window().SetShellLaunch(launch);
    ClickHeader(0);
    // A scan's rows arrive while the menu is open and move the row; then "Open folder" is chosen.
    g_whileMenuOpen = [this] { Arrive({L"AAA First"}); };
    g_doneWhileMenuOpen = false;
    ::SetTimer(nullptr, 0, 5, &WhileMenuOpen);
    {
        MenuWatcher watcher(L'f', &g_doneWhileMenuOpen);
        m_main.RightClick(RowOf(m_main, L"MY Cessna"));
    }
    ASSERT_TRUE(g_doneWhileMenuOpen);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].parent_path().filename(), L"MY Cessna");
    EXPECT_EQ(opened[0].filename(), L"c172.air");
    // The menu's command has run: the same command from elsewhere has no row to open.
    m_main.Command(IDM_OPEN_FOLDER);
    EXPECT_EQ(opened.size(), 1u);

    // A launch that fails says why in the status bar.
    launch.select = [](const fs::path&) { return E_FAIL; };
    launch.startResult = ERROR_FILE_NOT_FOUND;
    {
        MenuWatcher watcher(L'f');
        m_main.RightClick(RowOf(m_main, L"MY Cessna"));
    }
    EXPECT_EQ(m_main.StatusText(1).rfind(L"Explorer could not be started: ", 0), 0u) << m_main.StatusText(1);
}

// Wine 8 answers S_FALSE and opens the folder: Explorer itself is started only on a failure,
// with the path quoted whole, as Explorer reads "/select," only up to a comma outside quotes.
TEST(OpenInExplorer, StartsExplorerItselfOnlyWhenTheShellFails)
{
    struct Case {
        HRESULT shell;
        const wchar_t* file;
        const wchar_t* arguments;  // after Explorer's quoted path; nullptr: not started
    };
    const Case cases[] = {
        {S_OK, L"C:\\FS9\\A, B\\a.air", nullptr},
        {S_FALSE, L"C:\\FS9\\A, B\\a.air", nullptr},
        {E_FAIL, L"C:\\FS9\\Beech, Baron\\b.air", L" /select,\"C:\\FS9\\Beech, Baron\\b.air\""},
        {E_FAIL, L"C:\\Program Files (x86)\\My Plane\\my plane.air",
         L" /select,\"C:\\Program Files (x86)\\My Plane\\my plane.air\""},
        {E_OUTOFMEMORY, L"D:\\Sim & Co\\Überflieger ✈\\日本.air",
         L" /select,\"D:\\Sim & Co\\Überflieger ✈\\日本.air\""},
    };
    wchar_t windows[MAX_PATH] = {};
    const std::wstring explorer =
        std::wstring(windows, ::GetWindowsDirectoryW(windows, MAX_PATH)) + L"\\explorer.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        RecordingLaunch launch;
        launch.select = [&c](const fs::path&) { return c.shell; };
        EXPECT_EQ(OpenInExplorer(c.file, launch), 0);
        EXPECT_EQ(launch.selected, std::vector<fs::path>{c.file});
        if (c.arguments == nullptr) {
            EXPECT_TRUE(launch.processes.empty());
            continue;
        }
        ASSERT_EQ(launch.processes.size(), 1u);
        EXPECT_EQ(launch.processes[0].first, explorer);
        EXPECT_EQ(launch.processes[0].second, L"\"" + explorer + L"\"" + c.arguments);
    }
}

}  // namespace
}  // namespace korvalis::test
