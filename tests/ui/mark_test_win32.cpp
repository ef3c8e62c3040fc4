// Finding the rows to change under Wine: the "Mark rows" dialog, the type entries, inverting the
// marks, and type-ahead that goes on across a space.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

std::vector<std::wstring> Folders(MainWindowHarness& main)
{
    std::vector<std::wstring> folders;
    for (int i = 0; i < main.RowCount(); ++i)
        folders.push_back(main.Cell(i, 0) + (main.Marked(i) ? L"*" : L""));
    return folders;
}

int Focused(MainWindowHarness& main) { return ListView_GetNextItem(main.List(), -1, LVNI_FOCUSED); }

// Drives the "Mark rows" dialog from another thread while the test thread is inside it: one
// step per opening. Records what the dialog showed, types, ticks and closes it.
class MarkDialogDriver {
public:
    enum class Close { Enter, CancelButton, Escape, CloseBox };
    struct Step {
        const wchar_t* text;  // typed over what is there
        bool keep;
        Close close;
    };
    struct Seen {
        std::wstring text;
        bool keep = false;
        bool allSelected = false;
        bool markWithBlanks = true;  // "Mark" enabled with only blanks typed
        bool markWithText = false;   // and with the step's text
    };

    explicit MarkDialogDriver(std::vector<Step> steps)
        : m_steps(std::move(steps)), m_thread([this] { Run(); })
    {
    }
    ~MarkDialogDriver()
    {
        m_stop = true;
        m_thread.join();
    }
    std::vector<Seen> Dialogs()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }

private:
    void Run()
    {
        for (const Step& step : m_steps) {
            HWND box = nullptr;
            while (!m_stop && (box = Find()) == nullptr)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (box == nullptr) return;
            HWND edit = ::GetDlgItem(box, IDC_MARKTEXT), keep = ::GetDlgItem(box, IDC_MARKKEEP);
            Seen seen;
            seen.text = WindowText(edit);
            seen.keep = ::SendMessageW(keep, BM_GETCHECK, 0, 0) == BST_CHECKED;
            const auto selection = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
            seen.allSelected = LOWORD(selection) == 0 && HIWORD(selection) == seen.text.size();
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  \t "));
            seen.markWithBlanks = ::IsWindowEnabled(::GetDlgItem(box, IDOK)) != FALSE;
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text));
            seen.markWithText = ::IsWindowEnabled(::GetDlgItem(box, IDOK)) != FALSE;
            ::SendMessageW(keep, BM_SETCHECK, step.keep ? BST_CHECKED : BST_UNCHECKED, 0);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_seen.push_back(seen);
            }
            switch (step.close) {
                case Close::Enter:
                    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
                    break;
                case Close::Escape:
                    ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
                    break;
                case Close::CancelButton:
                    ::PostMessageW(::GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
                    break;
                case Close::CloseBox:
                    ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                    break;
            }
            while (!m_stop && ::IsWindow(box)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    static HWND Find()
    {
        for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", L"Mark rows"); box != nullptr;
             box = ::FindWindowExW(nullptr, box, L"#32770", L"Mark rows")) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(box, &owner);
            if (owner == ::GetCurrentProcessId() && ::IsWindowVisible(box)) return box;
        }
        return nullptr;
    }

    std::vector<Step> m_steps;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
    std::thread m_thread;
};

// The harness's three aircraft, a zeppelin whose type byte no type cell shows, and two Pipers.
class MarkTest : public ::testing::Test {
protected:
    MarkTest()
    {
        const auto air = [](int type) {
            return Concat(
                {Bytes(64, 0x5A), Marker(), Bytes{static_cast<std::uint8_t>(type)}, Hex("00 00 80 3F")});
        };
        Put(m_sim.aircraft / "Zeppelin NT" / "zep.air", air(7));
        Put(m_sim.aircraft / "Piper PA-28" / "pa28.air", air(0));
        Put(m_sim.aircraft / "Piper J-3 Cub" / "j3.air", air(0));
    }
    void SetUp() override
    {
        m_main.Command(IDM_SELECT_FS2004);
        ASSERT_EQ(m_main.RowCount(), 6);
        m_main.Window().Rows().Sort({SortColumn::Folder, false});
        ASSERT_EQ(Folders(m_main),
                  (std::vector<std::wstring>{L"AI Boeing 737", L"Bell 206", L"MY Cessna", L"Piper J-3 Cub",
                                             L"Piper PA-28", L"Zeppelin NT"}));
    }
    void MarkOnly(std::initializer_list<int> rows)
    {
        ListView_SetItemState(m_main.List(), -1, 0, LVIS_SELECTED);
        for (int row : rows) m_main.Mark(row);
        m_main.Settle();
    }

    Simulator m_sim;
    MainWindowHarness m_main{Wide(m_sim.root)};
};

TEST_F(MarkTest, TheDialogReplacesOrKeepsTheMarksRemembersItsLastUseAndCancelChangesNothing)
{
    using Close = MarkDialogDriver::Close;
    using Rows = std::vector<std::wstring>;
    MarkDialogDriver driver({{L" c?72.AIR ", false, Close::Enter},
                             {L"737", true, Close::Enter},
                             {L"concorde", false, Close::Enter},
                             {L"piper", true, Close::CancelButton},
                             {L"bell", false, Close::Escape},
                             {L"bell", false, Close::CloseBox}});
    MarkOnly({1});

    // A pattern for the whole file name, blanks around it dropped: only its row stays marked.
    EXPECT_TRUE(m_main.CtrlKey('F'));
    EXPECT_EQ(Folders(m_main), (Rows{L"AI Boeing 737", L"Bell 206", L"MY Cessna*", L"Piper J-3 Cub",
                                     L"Piper PA-28", L"Zeppelin NT"}));
    EXPECT_EQ(Focused(m_main), 2);
    EXPECT_EQ(m_main.StatusText(1), L"1 row marked");
    // Kept: marks are only added.
    m_main.Command(IDM_MARK_ROWS);
    EXPECT_EQ(Folders(m_main), (Rows{L"AI Boeing 737*", L"Bell 206", L"MY Cessna*", L"Piper J-3 Cub",
                                     L"Piper PA-28", L"Zeppelin NT"}));
    EXPECT_EQ(Focused(m_main), 0);
    EXPECT_EQ(m_main.StatusText(1), L"2 rows marked");
    // Nothing matches: no mark changes, and the status bar says what was sought.
    const Rows before = Folders(m_main);
    m_main.Command(IDM_MARK_ROWS);
    EXPECT_EQ(Folders(m_main), before);
    EXPECT_EQ(m_main.StatusText(1), L"No row matches \"concorde\"");
    // Cancel, Esc and the close box change nothing.
    for (int i = 0; i < 3; ++i) m_main.Command(IDM_MARK_ROWS);
    EXPECT_EQ(Folders(m_main), before);
    EXPECT_EQ(m_main.StatusText(1), L"No row matches \"concorde\"");

    const auto dialogs = driver.Dialogs();
    ASSERT_EQ(dialogs.size(), 6u);
    // Empty and unchecked the first time, then what "Mark" last took, all selected.
    const std::pair<std::wstring, bool> shown[] = {{L"", false},         {L" c?72.AIR ", false},
                                                   {L"737", true},       {L"concorde", false},
                                                   {L"concorde", false}, {L"concorde", false}};
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
        EXPECT_EQ(dialogs[i].text, shown[i].first) << i;
        EXPECT_EQ(dialogs[i].keep, shown[i].second) << i;
        EXPECT_TRUE(dialogs[i].allSelected) << i;
        EXPECT_FALSE(dialogs[i].markWithBlanks) << i;
        EXPECT_TRUE(dialogs[i].markWithText) << i;
    }
}

TEST_F(MarkTest, TheTypeEntriesMarkTheRowsAsShownAndInvertKeepsTheFocus)
{
    using Rows = std::vector<std::wstring>;
    MarkOnly({1});
    m_main.Command(IDM_TYPE_AIRCRAFT);  // Bell 206: Aircraft, not yet written
    struct Case {
        int kind;
        Rows marked;
        const wchar_t* status;
        int focused;
    };
    const Case cases[] = {
        {0,
         {L"AI Boeing 737*", L"Bell 206*", L"MY Cessna*", L"Piper J-3 Cub*", L"Piper PA-28*", L"Zeppelin NT"},
         L"5 rows marked",
         0},
        {4,
         {L"AI Boeing 737", L"Bell 206*", L"MY Cessna", L"Piper J-3 Cub", L"Piper PA-28", L"Zeppelin NT"},
         L"1 row marked",
         1},
        {3,
         {L"AI Boeing 737", L"Bell 206", L"MY Cessna", L"Piper J-3 Cub", L"Piper PA-28", L"Zeppelin NT*"},
         L"1 row marked",
         5},
        // Nothing shows Helicopter any more: the marks stay.
        {1,
         {L"AI Boeing 737", L"Bell 206", L"MY Cessna", L"Piper J-3 Cub", L"Piper PA-28", L"Zeppelin NT*"},
         L"No row matches \"Helicopter\"",
         5},
        {2,
         {L"AI Boeing 737", L"Bell 206", L"MY Cessna", L"Piper J-3 Cub", L"Piper PA-28", L"Zeppelin NT*"},
         L"No row matches \"non flyable\"",
         5},
    };
    for (const Case& c : cases) {
        m_main.Command(IDM_MARK_KIND_FIRST + c.kind);
        EXPECT_EQ(Folders(m_main), c.marked) << c.kind;
        EXPECT_EQ(m_main.StatusText(1), c.status) << c.kind;
        EXPECT_EQ(Focused(m_main), c.focused) << c.kind;
    }

    MarkOnly({1, 4});
    ListView_SetItemState(m_main.List(), 2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_TRUE(m_main.CtrlKey('I'));
    EXPECT_EQ(Folders(m_main), (Rows{L"AI Boeing 737*", L"Bell 206", L"MY Cessna*", L"Piper J-3 Cub*",
                                     L"Piper PA-28", L"Zeppelin NT*"}));
    EXPECT_EQ(m_main.StatusText(1), L"4 rows marked");
    EXPECT_EQ(Focused(m_main), 2);
    m_main.Command(IDM_INVERT_MARKS);
    EXPECT_EQ(Folders(m_main), (Rows{L"AI Boeing 737", L"Bell 206*", L"MY Cessna", L"Piper J-3 Cub",
                                     L"Piper PA-28*", L"Zeppelin NT"}));
    EXPECT_EQ(m_main.StatusText(1), L"2 rows marked");
}

TEST_F(MarkTest, TheNewEntriesAreGreyAndTheirKeysSilentWithoutRows)
{
    m_main.Window().Rows().RemoveAll();
    MenuWatcher watcher;
    ::SendMessageW(m_main.List(), WM_KEYUP, VK_APPS, 1);
    m_main.Settle();
    m_main.CtrlKey('F');  // no dialog opens: the test would hang in it
    m_main.CtrlKey('I');
    const auto menus = watcher.Menus();
    ASSERT_EQ(menus.size(), 1u);
    std::vector<std::pair<std::wstring, bool>> marking;
    for (const auto& entry : menus[0]) {
        if (entry.text.find(L"ark") != std::wstring::npos) marking.emplace_back(entry.text, entry.enabled);
    }
    EXPECT_EQ(marking, (std::vector<std::pair<std::wstring, bool>>{{L"&Mark rows...\tCtrl+F", false},
                                                                   {L"Mark rows of t&ype", false},
                                                                   {L"&Invert marks\tCtrl+I", false}}));
}

TEST_F(MarkTest, TypeAheadGoesOnAcrossASpaceAndASpaceAloneStillMarks)
{
    using Rows = std::vector<std::wstring>;
    MarkOnly({});
    const auto type = [&](const std::wstring& text) {
        for (wchar_t c : text) {
            if (c == L' ') ::SendMessageW(m_main.List(), WM_KEYDOWN, VK_SPACE, 1);
            ::SendMessageW(m_main.List(), WM_CHAR, c, 1);
        }
        m_main.Settle();
    };
    type(L"piper p");
    EXPECT_EQ(Folders(m_main), (Rows{L"AI Boeing 737", L"Bell 206", L"MY Cessna", L"Piper J-3 Cub",
                                     L"Piper PA-28*", L"Zeppelin NT"}));
    EXPECT_EQ(Focused(m_main), 4);

    // After the pause a space is the list's mark key again; a letter starts a new search.
    MarkOnly({});
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * ::GetDoubleClickTime() + 100));
    type(L" ");
    EXPECT_EQ(Folders(m_main), (Rows{L"AI Boeing 737", L"Bell 206", L"MY Cessna", L"Piper J-3 Cub",
                                     L"Piper PA-28*", L"Zeppelin NT"}));
    type(L"b");
    EXPECT_EQ(Focused(m_main), 1);
}

}  // namespace
}  // namespace korvalis::test
