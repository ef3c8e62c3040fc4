// Scans and writes on the worker, as the window shows them under Wine: what is off while work
// runs, Esc and End, the status bar, and the tooltip after the list scrolls.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <future>

#include "catalogue/error_text.h"
#include "core/airfile.h"
#include "core/airfile_internal.h"
#include "core/file_io.h"
#include "core/text.h"
#include "tests/support/hooked_routines.h"
#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

namespace fs = std::filesystem;

class WorkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_main.Command(IDM_SELECT_FS2004);
        ASSERT_EQ(m_main.RowCount(), 3);
    }
    void TearDown() override
    {
        if (m_main.Handle() != nullptr) m_main.Window().Commands().SetFileRoutines(SystemAirfileRoutines());
    }

    Simulator m_sim;
    MainWindowHarness m_main{Wide(m_sim.root)};
};

TEST_F(WorkTest, WhileAWriteRunsWhatWouldChangeTheRowsIsOffAndEscStopsIt)
{
    m_main.Command(IDM_SELECT_MY);  // AI Boeing 737 and MY Cessna
    m_main.Command(IDM_TYPE_NONFLYABLE);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    HookedRoutines held([released](int file) {
        if (file == 0) released.wait();  // the work is held at its first file
    });
    m_main.Window().Commands().SetFileRoutines(held);
    ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_WRITE, 0);
    m_main.Pump();
    ASSERT_TRUE(m_main.Window().Working());

    for (UINT id : {IDM_SELECT_FS2004, IDM_SELECT_OWN, IDM_TYPE_AIRCRAFT, IDM_TYPE_HELICOPTER,
                    IDM_TYPE_NONFLYABLE, IDM_READ, IDM_WRITE, IDM_SELECT_MY}) {
        EXPECT_FALSE(m_main.MenuEnabled(id)) << id;
    }
    EXPECT_TRUE(m_main.MenuEnabled(IDM_ABOUT));
    EXPECT_TRUE(m_main.MenuEnabled(IDM_END));
    EXPECT_EQ(m_main.StatusText(1), L"Writing 1 of 2 (Esc to stop)");
    const auto progressShown = [&] {
        return (::GetWindowLongW(m_main.Window().ProgressHandle(), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    EXPECT_TRUE(progressShown());
    EXPECT_NE(::SendMessageW(m_main.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(m_main.Handle()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              0)
        << "the hourglass shows";

    // Neither keys, nor the header, nor a click change the rows or their marks meanwhile.
    const std::vector<std::wstring> before = {m_main.Cell(0, 0), m_main.Cell(1, 0), m_main.Cell(2, 0)};
    m_main.Pump();
    for (WPARAM key : {WPARAM{'A'}, WPARAM{'R'}}) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        MSG message{m_main.List(), WM_KEYDOWN, key, 1, 0, {}};
        m_main.Window().PreTranslate(message);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    }
    NMLISTVIEW click{};
    click.hdr = {m_main.List(), IDC_AIRFILES, static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iSubItem = 2;
    ::SendMessageW(m_main.Handle(), WM_NOTIFY, IDC_AIRFILES, reinterpret_cast<LPARAM>(&click));
    ::SendMessageW(m_main.List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 30));
    m_main.Pump();
    EXPECT_EQ((std::vector<std::wstring>{m_main.Cell(0, 0), m_main.Cell(1, 0), m_main.Cell(2, 0)}), before);
    EXPECT_EQ(::SendMessageW(m_main.List(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
    EXPECT_EQ(m_main.RowCount(), 3);

    // Esc asks the write to stop; it does so after the file it is on, before the next.
    MessageBoxWatcher boxes;
    MSG escape{m_main.List(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    EXPECT_TRUE(m_main.Window().PreTranslate(escape));
    release.set_value();
    m_main.Settle();
    EXPECT_FALSE(m_main.Window().Working());
    EXPECT_EQ(m_main.StatusText(1), L"Stopped after 1 of 2: 1 written");
    EXPECT_TRUE(boxes.Boxes().empty());
    int written = 0;
    for (const auto& [folder, file] :
         {std::pair{"AI Boeing 737", "b737.air"}, std::pair{"MY Cessna", "c172.air"}}) {
        const bool done = ReferenceType(ReadBytes(m_sim.File(folder, file))) == "2";
        EXPECT_EQ(m_main.Marked(RowOf(m_main, WideFromUtf8(folder))), !done) << folder;
        written += done ? 1 : 0;
    }
    EXPECT_EQ(written, 1);
    EXPECT_FALSE(progressShown());
    EXPECT_TRUE(m_main.MenuEnabled(IDM_WRITE));
}

TEST_F(WorkTest, TheProgressBarGoesBeforeAnyMessage)
{
    SetReadOnly(m_sim.File("AI Boeing 737", "b737.air"), true);
    const std::function<void()> commands[] = {
        [&] {  // a write that fails
            m_main.Mark(RowOf(m_main, L"AI Boeing 737"));
            m_main.Command(IDM_TYPE_HELICOPTER);
            m_main.Command(IDM_WRITE);
        },
        [&] {  // a restore that fails
            m_main.Mark(RowOf(m_main, L"AI Boeing 737"));
            m_main.Command(IDM_RESTORE);
        },
        [&] {  // a scan that finds nothing
            fs::create_directories(m_sim.root / "Empty");
            m_main.Window().State().AircraftDir = PathToUtf8(m_sim.root / "Empty") + "\\";
            m_main.Command(IDM_READ);
        },
    };
    for (const auto& command : commands) {
        MessageBoxWatcher boxes(m_main.Window().ProgressHandle());
        command();
        const auto seen = boxes.Boxes();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_FALSE(seen[0].watchedShown) << Utf8FromWide(seen[0].text);
    }
    SetReadOnly(m_sim.File("AI Boeing 737", "b737.air"), false);
}

TEST_F(WorkTest, TheStatusBarCountsAndSaysWhatTheLastCommandCameTo)
{
    EXPECT_EQ(m_main.StatusText(0), L"3 airfiles, 0 marked, 0 changed and not written");
    EXPECT_EQ(m_main.StatusText(1), L"");
    m_main.Command(IDM_SELECT_MY);
    m_main.Command(IDM_TYPE_HELICOPTER);
    EXPECT_EQ(m_main.StatusText(0), L"3 airfiles, 2 marked, 2 changed and not written");

    SetReadOnly(m_sim.File("AI Boeing 737", "b737.air"), true);
    {
        MessageBoxWatcher boxes;
        m_main.Command(IDM_WRITE);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    SetReadOnly(m_sim.File("AI Boeing 737", "b737.air"), false);
    const std::wstring failure = L"1 written, 1 failed: 1 " +
                                 Wide(PathFromUtf8(WithoutStop(ErrorText(io::AccessDeniedError())))) +
                                 L" (first: AI Boeing 737\\b737.air)";
    // The line drops the system message's full stop; the whole text, which the window may cut, is
    // in the part's tooltip.
    EXPECT_EQ(m_main.StatusText(1), failure);
    EXPECT_EQ(m_main.StatusTip(), failure);
    EXPECT_EQ(m_main.StatusText(0), L"3 airfiles, 1 marked, 1 changed and not written");

    // A file without a type marker is looked at but not listed, and the scan says so.
    Put(m_sim.aircraft / "Glider" / "glider.air", Hex("00 01 02"));
    m_main.Command(IDM_READ);
    EXPECT_EQ(m_main.StatusText(1), L"1 .air file without a type marker");
    EXPECT_EQ(m_main.StatusText(0), L"3 airfiles, 0 marked, 0 changed and not written");
}

// While a write runs, the list still answers the keys, but whatever they would do to the marks is
// put back: the write's end unmarks what it wrote, and nothing else may be left marked.
TEST_F(WorkTest, NoKeyChangesTheMarksWhileAWriteRuns)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM key;
        bool ctrl, shift;
        int focusAfter;  // from the first row; -1: wherever
    };
    const Case cases[] = {
        {"Ctrl+Shift+End", WM_KEYDOWN, VK_END, true, true, -1},
        {"Ctrl+Shift+Home", WM_KEYDOWN, VK_HOME, true, true, -1},
        {"Ctrl+Shift+PgDn", WM_KEYDOWN, VK_NEXT, true, true, -1},
        {"Ctrl+Shift+PgUp", WM_KEYDOWN, VK_PRIOR, true, true, -1},
        {"Ctrl+Shift+Down", WM_KEYDOWN, VK_DOWN, true, true, -1},
        {"Ctrl+Shift+Up", WM_KEYDOWN, VK_UP, true, true, -1},
        {"Shift+Down", WM_KEYDOWN, VK_DOWN, false, true, -1},
        {"Space", WM_KEYDOWN, VK_SPACE, false, false, -1},
        {"Space's character", WM_CHAR, L' ', false, false, -1},
        {"Ctrl+Space", WM_KEYDOWN, VK_SPACE, true, false, -1},
        {"a letter", WM_CHAR, L'm', false, false, -1},
        {"Down", WM_KEYDOWN, VK_DOWN, false, false, -1},
        {"End", WM_KEYDOWN, VK_END, false, false, -1},
        {"Shift+End", WM_KEYDOWN, VK_END, false, true, -1},
        {"Ctrl+A", WM_KEYDOWN, 'A', true, false, -1},
        {"Ctrl+Down moves the focus", WM_KEYDOWN, VK_DOWN, true, false, 1},
        {"PgDn moves the focus", WM_KEYDOWN, VK_NEXT, false, false, 2},
    };
    const auto marks = [&] {
        std::vector<bool> marked;
        for (int i = 0; i < m_main.RowCount(); ++i) marked.push_back(m_main.Marked(i));
        return marked;
    };
    const auto hold = [](bool ctrl, bool shift) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
    };
    m_main.Mark(RowOf(m_main, L"Bell 206"));
    m_main.Command(IDM_TYPE_AIRCRAFT);
    // Nothing pumps the window's messages below: the write's end waits, so it runs throughout.
    ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_WRITE, 0);
    ASSERT_TRUE(m_main.Window().Working());
    const std::vector<bool> before = marks();
    for (const Case& c : cases) {
        ListView_SetItemState(m_main.List(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
        hold(c.ctrl, c.shift);
        ::SendMessageW(m_main.List(), c.message, c.key, 1);
        hold(false, false);
        EXPECT_EQ(marks(), before) << c.name;
        if (c.focusAfter >= 0) {
            EXPECT_EQ(ListView_GetNextItem(m_main.List(), -1, LVNI_FOCUSED), c.focusAfter) << c.name;
        }
    }
    ASSERT_TRUE(m_main.Window().Working());
    m_main.Settle();
    EXPECT_EQ(marks(), std::vector<bool>(3, false)) << "the row written is unmarked, and no other is marked";
}

// The worker's wake-up message may be lost; the work still ends, and shows its end, without it.
TEST_F(WorkTest, WorkEndsWhenEveryWakeUpIsLost)
{
    const std::function<void()> commands[] = {
        [&] { ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_READ, 0); },
        [&] {
            m_main.Command(IDM_SELECT_MY);
            m_main.Command(IDM_TYPE_NONFLYABLE);
            ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_WRITE, 0);
        },
    };
    for (const auto& command : commands) {
        command();
        ASSERT_TRUE(m_main.Window().Working());
        int lost = 0;
        const DWORD start = ::GetTickCount();
        while (m_main.Window().Working() && ::GetTickCount() - start < 5000) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_APP_WORK) {
                    ++lost;
                    continue;
                }
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        EXPECT_GT(lost, 0);
        ASSERT_FALSE(m_main.Window().Working()) << "stranded";
        EXPECT_EQ(m_main.RowCount(), 3);
    }
    EXPECT_EQ(m_main.Cell(RowOf(m_main, L"MY Cessna"), 2), L"non flyable");
    EXPECT_EQ(ReferenceType(ReadBytes(m_sim.File("MY Cessna", "c172.air"))), "2");
    EXPECT_EQ(::SendMessageW(m_main.List(), LVM_GETSELECTEDCOUNT, 0, 0), 0)
        << "the rows written are unmarked";
}

// A key that waited in the queue while a scan ran is dropped once the scan is over; one made
// after it acts. The times are the stamps the messages carry, so nothing here waits on a clock.
TEST_F(WorkTest, InputMadeWhileWorkRanDoesNotActAfterItEnds)
{
    struct Case {
        const char* name;
        WPARAM key;
        bool toList;        // else to the main window
        bool madeDuring;    // stamped while the scan ran
        bool startsScan;    // F5 through the accelerators
        bool marksLastRow;  // End in the list
    };
    const Case cases[] = {
        {"F5 pressed during the scan", VK_F5, false, true, false, false},
        {"F5 pressed after it", VK_F5, false, false, true, false},
        {"End pressed in the list during the scan", VK_END, true, true, false, false},
        {"End pressed in the list after it", VK_END, true, false, false, true},
    };
    for (const Case& c : cases) {
        ListView_SetItemState(m_main.List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        HookedRoutines held([released](int file) {
            if (file < 0) released.wait();  // the scan is held at its start
        });
        m_main.Window().Commands().SetFileRoutines(held);
        ::SendMessageW(m_main.Handle(), WM_COMMAND, IDM_READ, 0);
        m_main.Pump();
        ASSERT_TRUE(m_main.Window().Working()) << c.name;
        // One tick back: strictly before the scan can end, whatever the clock's step.
        const DWORD during = ::GetTickCount() - 1;
        release.set_value();
        m_main.Settle();
        m_main.Window().Commands().SetFileRoutines(SystemAirfileRoutines());
        ASSERT_EQ(m_main.RowCount(), 3) << c.name;

        m_main.RouteAt(c.toList ? m_main.List() : m_main.Handle(), c.key,
                       c.madeDuring ? during : ::GetTickCount());
        EXPECT_EQ(m_main.Window().Working(), c.startsScan) << c.name;
        m_main.Settle();
        EXPECT_EQ(m_main.Marked(m_main.RowCount() - 1), c.marksLastRow) << c.name;
    }
}

TEST_F(WorkTest, EndDuringWorkEndsTheProgramAndLeavesEveryFileWhole)
{
    struct Case {
        const char* name;
        UINT command;
        int closeAt;  // the file of a write, or -1: the start of a scan
    };
    for (const Case& c : {Case{"a scan", IDM_READ, -1}, Case{"a write", IDM_WRITE, 1}}) {
        SCOPED_TRACE(c.name);
        Simulator sim;
        MainWindowHarness main(Wide(sim.root));
        main.Command(IDM_SELECT_FS2004);
        main.Command(IDM_SELECT_MY);
        main.Command(IDM_TYPE_NONFLYABLE);
        const HWND window = main.Handle();
        HookedRoutines closing([window, c](int file) {
            if (file == c.closeAt) ::PostMessageW(window, WM_CLOSE, 0, 0);
        });
        main.Window().Commands().SetFileRoutines(closing);
        ::SendMessageW(window, WM_COMMAND, c.command, 0);
        main.Settle();
        EXPECT_EQ(main.Handle(), nullptr);
        for (const auto& [folder, file] :
             {std::pair{"AI Boeing 737", "b737.air"}, std::pair{"MY Cessna", "c172.air"}}) {
            const fs::path air = sim.File(folder, file);
            const std::string type = ReferenceType(ReadBytes(air));
            EXPECT_TRUE(type == "0" || type == "2") << air.string();
            EXPECT_EQ(fs::exists(BackupOf(air)), type == "2") << air.string() << ": backup and byte together";
            EXPECT_FALSE(fs::exists(detail::TemporaryBackupPath(air))) << air.string();
        }
    }
}

TEST_F(WorkTest, TheTooltipFollowsTheListWhenItScrolls)
{
    for (int i = 0; i < 40; ++i)
        Put(m_sim.aircraft / ("Plane " + std::to_string(i + 10)) / "p.air", AirOfType(0));
    m_main.Command(IDM_READ);
    ASSERT_EQ(m_main.RowCount(), 43);
    const std::wstring first = m_main.TipAt(0, 0);
    EXPECT_EQ(first, m_main.Cell(0, 0));
    ::SendMessageW(m_main.List(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    const int top = ListView_GetTopIndex(m_main.List());
    ASSERT_GT(top, 0) << "the list scrolled";

    // The mouse has not moved: the tip is the one of the row now under it.
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_main.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(m_main.List());
    tool.lpszText = text;
    ::SendMessageW(m_main.Window().TooltipHandle(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), m_main.Cell(top, 0));
    EXPECT_NE(std::wstring(text), first);
}

}  // namespace
}  // namespace korvalis::test
