// The folder chooser and the About box as a user meets them: opened from the main window's
// menu, driven by keys and clicks, and closed every way there is.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>

#include "korvalis_version.h"

#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

class FsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = FreshTestDir().make_preferred();
        wchar_t previous[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        m_previousDir = previous;
    }
    void TearDown() override { ::SetCurrentDirectoryW(m_previousDir.c_str()); }

    HWND Dialog() { return m_main.Window().Dialog().Handle(); }
    HWND Control(int id) { return ::GetDlgItem(Dialog(), id); }
    // True when the dialog is gone and the main window usable and in front again.
    void ExpectClosedAndMainBack()
    {
        EXPECT_EQ(Dialog(), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(m_main.Handle()));
        EXPECT_EQ(::GetForegroundWindow(), m_main.Handle());
    }

    fs::path m_dir;
    std::wstring m_previousDir;
    MainWindowHarness m_main;
};

TEST_F(FsDialogTest, FolderFaceOpensInTheCurrentDirectoryOnTopAndHoldsTheMainWindow)
{
    fs::create_directories(m_dir / "start" / "Beech Baron");
    ASSERT_TRUE(::SetCurrentDirectoryW((m_dir / "start").c_str()));
    m_main.Command(IDM_SELECT_OWN);
    ASSERT_NE(Dialog(), nullptr);

    EXPECT_EQ(WindowText(Dialog()), L"Select Aircraft Folder");
    EXPECT_EQ(WindowText(Control(IDC_SOURCEDIR)), Wide(m_dir / "start"));
    EXPECT_NE(::GetWindowLongW(Dialog(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(::IsWindowEnabled(m_main.Handle()));
    EXPECT_FALSE(::IsWindowVisible(Control(IDC_ABOUTLABEL)));

    // The main window's shortcuts do nothing while the dialog is open.
    m_main.CtrlKey('E');
    EXPECT_NE(m_main.Handle(), nullptr);
    EXPECT_NE(Dialog(), nullptr);

    // Double-clicking a folder opens it; its parent entry goes back up.
    HWND list = Control(IDC_DIRLIST);
    const auto open = [&](const wchar_t* entryEnd) {
        const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            const std::wstring item = text;
            if (item.size() >= wcslen(entryEnd) &&
                item.compare(item.size() - wcslen(entryEnd), std::wstring::npos, entryEnd) == 0) {
                ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
                ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DIRLIST, LBN_DBLCLK),
                               reinterpret_cast<LPARAM>(list));
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(open(L"] Beech Baron"));
    EXPECT_EQ(WindowText(Control(IDC_SOURCEDIR)), Wide(m_dir / "start" / "Beech Baron"));
    ASSERT_TRUE(open(L"] start"));
    EXPECT_EQ(WindowText(Control(IDC_SOURCEDIR)), Wide(m_dir / "start"));

    // A drive that cannot be entered: the drive list silently returns to the drive before.
    const DWORD drives = ::GetLogicalDrives();
    wchar_t missing[] = L"?:";
    for (int letter = 25; letter >= 3 && missing[0] == L'?'; --letter) {
        if ((drives & (1u << letter)) == 0) missing[0] = static_cast<wchar_t>(L'a' + letter);
    }
    ASSERT_NE(missing[0], L'?');
    HWND driveList = Control(IDC_DRIVELIST);
    wchar_t before[8] = {};
    ::GetWindowTextW(driveList, before, 8);
    EXPECT_EQ(std::towlower(before[0]), std::towlower(Wide(m_dir)[0]));  // the drive shown
    ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DRIVELIST, CBN_DROPDOWN),
                   reinterpret_cast<LPARAM>(driveList));
    const LRESULT index = ::SendMessageW(driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(missing));
    ::SendMessageW(driveList, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DRIVELIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(driveList));
    EXPECT_EQ(WindowText(driveList), before);
    EXPECT_EQ(WindowText(Control(IDC_SOURCEDIR)), Wide(m_dir / "start"));
}

TEST_F(FsDialogTest, CancelEscapeAndTheCloseBoxChangeNothing)
{
    // A scanned simulator with a pending type, which no way of cancelling may touch.
    const fs::path aircraft = m_dir / "FS9" / "aircraft";
    fs::create_directories(aircraft / "Bell 206");
    WriteBytes(aircraft / "Bell 206" / "bell.air", Concat({Marker(), Bytes{1}}));
    MainWindowHarness main(Wide(m_dir / "FS9"));
    main.Command(IDM_SELECT_FS2004);
    main.Mark(0);
    main.Command(IDM_TYPE_AIRCRAFT);
    const std::wstring caption = main.Caption();
    const std::string aircraftDir = main.Window().State().AircraftDir;

    struct Way {
        const char* name;
        void (*close)(MainWindowHarness&, HWND dialog);
    };
    const Way ways[] = {
        {"Abbrechen",
         [](MainWindowHarness&, HWND d) { ::SendMessageW(::GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Esc", [](MainWindowHarness& m, HWND d) { m.Key(::GetDlgItem(d, IDC_SOURCEDIR), VK_ESCAPE); }},
        {"close box", [](MainWindowHarness&, HWND d) { ::SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        main.Command(IDM_SELECT_OWN);
        HWND dialog = main.Window().Dialog().Handle();
        ASSERT_NE(dialog, nullptr);
        ::SetWindowTextW(::GetDlgItem(dialog, IDC_SOURCEDIR), Wide(m_dir).c_str());
        way.close(main, dialog);
        main.Pump();
        EXPECT_EQ(main.Window().Dialog().Handle(), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(main.Handle()));
        EXPECT_EQ(::GetForegroundWindow(), main.Handle());
        EXPECT_EQ(main.Caption(), caption);
        EXPECT_EQ(main.Window().State().AircraftDir, aircraftDir);
        EXPECT_TRUE(main.MenuChecked(IDM_SELECT_FS2004));
        EXPECT_FALSE(main.MenuChecked(IDM_SELECT_OWN));
        ASSERT_EQ(main.RowCount(), 1);
        EXPECT_EQ(main.Cell(0, 2), L"Aircraft");  // still pending
        EXPECT_TRUE(main.MenuEnabled(IDM_WRITE));
    }
}

TEST_F(FsDialogTest, EnterAcceptsTheFolderAndAnEmptyOneIsReported)
{
    fs::create_directories(m_dir / "empty");
    m_main.Command(IDM_SELECT_OWN);
    ASSERT_NE(Dialog(), nullptr);
    ::SetWindowTextW(Control(IDC_SOURCEDIR), Wide(m_dir / "empty").c_str());

    MessageBoxWatcher boxes;
    m_main.Key(Control(IDC_SOURCEDIR), VK_RETURN);
    const auto seen = boxes.Boxes();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Korvalis");
    EXPECT_EQ(seen[0].text, L"No airfiles found in this directory!");
    EXPECT_EQ(m_main.Caption(), L"Korvalis - " + Wide(m_dir / "empty") + L"\\");
    EXPECT_TRUE(m_main.MenuChecked(IDM_SELECT_OWN));
    ExpectClosedAndMainBack();

    // The checked own entry offers the chooser again, so another folder can be picked.
    m_main.Command(IDM_SELECT_OWN);
    EXPECT_NE(Dialog(), nullptr);
    ::SendMessageW(Control(IDCANCEL), BM_CLICK, 0, 0);
    m_main.Pump();
    ExpectClosedAndMainBack();
    EXPECT_EQ(m_main.Caption(), L"Korvalis - " + Wide(m_dir / "empty") + L"\\");
}

TEST_F(FsDialogTest, AboutShowsOnlyTheTextAndACentredOk)
{
    m_main.Command(IDM_ABOUT);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(WindowText(Dialog()), L"About");
    EXPECT_FALSE(::IsWindowEnabled(m_main.Handle()));
    EXPECT_NE(::GetWindowLongW(Dialog(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    std::vector<int> visible;
    for (int id : {IDC_DRIVELIST, IDC_DIRLIST, IDC_SOURCEDIR, IDCANCEL, IDOK, IDC_ABOUTLABEL}) {
        if (::IsWindowVisible(Control(id))) visible.push_back(id);
    }
    EXPECT_EQ(visible, (std::vector<int>{IDOK, IDC_ABOUTLABEL}));

    // Seven lines, each ended by a lone carriage return: no line feeds.
    const std::wstring text = WindowText(Control(IDC_ABOUTLABEL));
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        if (c == L'\r')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], L"Korvalis");
    EXPECT_EQ(lines[3], L"2004");
    EXPECT_EQ(lines[5], L"Version " KORVALIS_VERSION_TEXT);
    EXPECT_EQ(lines[6].rfind(L"Mailto: ", 0), 0u);
    for (int empty : {1, 4}) EXPECT_TRUE(lines[static_cast<std::size_t>(empty)].empty());

    RECT client, ok;
    ::GetClientRect(Dialog(), &client);
    ::GetWindowRect(Control(IDOK), &ok);
    ::MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_LE(std::abs(ok.left - (client.right - ok.right)), 1);

    m_main.CtrlKey('R');
    EXPECT_NE(Dialog(), nullptr);
    ::SendMessageW(Control(IDOK), BM_CLICK, 0, 0);
    m_main.Pump();
    ExpectClosedAndMainBack();
    EXPECT_EQ(m_main.Caption(), L"Korvalis");
}

}  // namespace
}  // namespace korvalis::test
