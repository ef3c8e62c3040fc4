// Finding the rows to change under Wine: the "Mark rows" dialog, the type entries, inverting the
// marks, and type-ahead that goes on across a space.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <tuple>

#include "catalogue/sort_key.h"
#include "tests/support/test_support.h"
#include "tests/ui/window_harness_win32.h"
#include "ui/resource.h"

namespace korvalis::test {
namespace {

// The marked rows' indexes, as "1 4".
std::string Marks(MainWindowHarness& main)
{
    std::string marks;
    for (int i = 0; i < main.RowCount(); ++i) {
        if (!main.Marked(i)) continue;
        if (!marks.empty()) marks += ' ';
        marks += std::to_string(i);
    }
    return marks;
}

// Drives the "Mark rows" dialog from another thread while the test thread is inside it: one
// step per opening. Records what the dialog showed, types, ticks and closes it.
class MarkDialogDriver {
public:
    enum class Close { Enter, CancelButton, Escape, CloseBox };
    struct Step {
        const wchar_t* text;  // typed over what is there
        int type;             // chosen in the drop-down list: 0 any type, 1 Aircraft...
        bool keep;
        bool among;
        Close close;
    };
    struct Seen {
        std::wstring text;
        int type = -1;
        bool keep = false;
        bool among = false;
        bool allSelected = false;
        bool markWithBlanks = true;      // "Mark" enabled with only blanks typed and any type
        bool markWithTypeAlone = false;  // with only blanks typed and a type
        bool markWithText = false;       // and with the step's text and type
        std::wstring ticksByClicks;      // Keep and Only among ticked after a click on each in turn
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
            HWND among = ::GetDlgItem(box, IDC_MARKAMONG), type = ::GetDlgItem(box, IDC_MARKTYPE);
            const auto checked = [](HWND button) {
                return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
            };
            const auto choose = [&](int entry) {
                // As the user's choice tells the dialog; CB_SETCURSEL alone does not.
                ::SendMessageW(type, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
                ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_MARKTYPE, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(type));
            };
            const auto markEnabled = [&] { return ::IsWindowEnabled(::GetDlgItem(box, IDOK)) != FALSE; };
            Seen seen;
            seen.text = WindowText(edit);
            seen.type = static_cast<int>(::SendMessageW(type, CB_GETCURSEL, 0, 0));
            seen.keep = checked(keep);
            seen.among = checked(among);
            const auto selection = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
            seen.allSelected = LOWORD(selection) == 0 && HIWORD(selection) == seen.text.size();
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  \t "));
            choose(0);
            seen.markWithBlanks = markEnabled();
            choose(2);
            seen.markWithTypeAlone = markEnabled();
            for (HWND button : {keep, among}) ::SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
            for (HWND button : {keep, among, keep}) {
                ::SendMessageW(button, BM_CLICK, 0, 0);
                seen.ticksByClicks += checked(keep) ? L"K" : checked(among) ? L"O" : L"-";
            }
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text));
            choose(step.type);
            seen.markWithText = markEnabled();
            ::SendMessageW(keep, BM_SETCHECK, step.keep ? BST_CHECKED : BST_UNCHECKED, 0);
            ::SendMessageW(among, BM_SETCHECK, step.among ? BST_CHECKED : BST_UNCHECKED, 0);
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

// The harness's three aircraft, a zeppelin whose type byte no type cell shows, and two Pipers,
// sorted by folder: 0 AI Boeing 737, 1 Bell 206, 2 MY Cessna, 3 Piper J-3 Cub, 4 Piper PA-28,
// 5 Zeppelin NT.
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
        m_main.Window().Rows().Sort({SortColumn::Folder, false});
        ASSERT_EQ(m_main.RowCount(), 6);
        ASSERT_EQ(m_main.Cell(4, 0), L"Piper PA-28");
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
    MarkDialogDriver driver({{L" c?72.AIR ", 0, false, false, Close::Enter},
                             {L"737", 0, true, false, Close::Enter},
                             {L"concorde", 0, false, false, Close::Enter},
                             {L"piper", 1, true, false, Close::CancelButton},
                             {L"bell", 0, false, true, Close::Escape},
                             {L"bell", 0, false, false, Close::CloseBox},
                             {L"never opened", 0, false, false, Close::Escape}});
    MarkOnly({1});
    struct Case {
        const char* marks;
        int focused;
        const wchar_t* status;
    };
    const Case cases[] = {
        {"2", 2, L"1 row marked"},     // a pattern for the whole file name, blanks dropped
        {"0 2", 0, L"2 rows marked"},  // kept: marks only added
        {"0 2", 0, L"No row matches \"concorde\""},
        {"0 2", 0, L"No row matches \"concorde\""},  // Cancel, Esc and the close box
        {"0 2", 0, L"No row matches \"concorde\""},
        {"0 2", 0, L"No row matches \"concorde\""},
    };
    for (const Case& c : cases) {
        if (&c == cases)
            EXPECT_TRUE(m_main.CtrlKey('F'));
        else
            m_main.Command(IDM_MARK_ROWS);
        EXPECT_EQ(Marks(m_main), c.marks);
        EXPECT_EQ(ListView_GetNextItem(m_main.List(), -1, LVNI_FOCUSED), c.focused);
        EXPECT_EQ(m_main.StatusText(1), c.status);
    }

    // Without rows the entries are grey and their keys do nothing.
    m_main.Window().Rows().RemoveAll();
    m_main.CtrlKey('F');
    m_main.CtrlKey('I');
    EXPECT_EQ(m_main.StatusText(1), L"No row matches \"concorde\"");

    // Empty and unchecked the first time, then what "Mark" last took, all selected; "Mark" grey
    // with only blanks typed and any type.
    const std::pair<std::wstring, bool> shown[] = {{L"", false},         {L" c?72.AIR ", false},
                                                   {L"737", true},       {L"concorde", false},
                                                   {L"concorde", false}, {L"concorde", false}};
    const auto dialogs = driver.Dialogs();
    ASSERT_EQ(dialogs.size(), std::size(shown));
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
        EXPECT_EQ(std::pair(dialogs[i].text, dialogs[i].keep), shown[i]) << i;
        EXPECT_TRUE(dialogs[i].allSelected && !dialogs[i].markWithBlanks && dialogs[i].markWithText) << i;
    }
}

TEST_F(MarkTest, TheDialogAsksForANameAndATypeAmongTheMarkedRowsOrAllAndItsTwoTicksExcludeEachOther)
{
    using Close = MarkDialogDriver::Close;
    constexpr int kAny = 0, kAircraft = 1;
    MarkDialogDriver driver({{L"AI *", kAircraft, false, false, Close::Enter},
                             {L"", kAircraft, false, true, Close::Enter},
                             {L"bell", kAircraft, false, true, Close::Enter}});
    struct Case {
        int before;  // a command first, 0: none
        const char* marks;
        const wchar_t* status;
    };
    const Case cases[] = {
        {0, "0", L"1 row marked"},
        {IDM_SELECT_MY, "0 2", L"2 rows marked"},  // the AI traffic's aircraft
        {0, "0 2", L"No row matches \"bell\" among the marked rows of type Aircraft"},
    };
    MarkOnly({1});
    for (const Case& c : cases) {
        if (c.before != 0) m_main.Command(c.before);
        m_main.Command(IDM_MARK_ROWS);
        EXPECT_EQ(Marks(m_main), c.marks) << c.marks;
        EXPECT_EQ(m_main.StatusText(1), c.status) << c.marks;
    }
    // Any type and no tick the first time, then what "Mark" last took.
    const std::tuple<int, bool, bool> shown[] = {
        {kAny, false, false}, {kAircraft, false, false}, {kAircraft, false, true}};
    const auto dialogs = driver.Dialogs();
    ASSERT_EQ(dialogs.size(), std::size(shown));
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
        const auto& d = dialogs[i];
        EXPECT_EQ(std::tuple(d.type, d.keep, d.among), shown[i]) << i;
        EXPECT_TRUE(!d.markWithBlanks && d.markWithTypeAlone && d.markWithText) << i;
        EXPECT_EQ(d.ticksByClicks, L"KOK") << i;
    }
}

TEST_F(MarkTest, AMarkingNoteGoesWhenTheMarksChangeAnyOtherWayAndTheLastWorksOutcomeComesBack)
{
    MarkOnly({1});
    m_main.Command(IDM_TYPE_HELICOPTER);  // "Write" comes on
    m_main.Command(IDM_WRITE);
    ASSERT_EQ(m_main.StatusText(1), L"1 written");
    const std::pair<std::function<void()>, const wchar_t*> cases[] = {
        {[&] { m_main.CtrlKey('A'); }, L"1 written"},  // every row at once
        {[&] { ListView_SetItemState(m_main.List(), 0, 0, LVIS_SELECTED); }, L"1 written"},  // one row
        {[&] {
             m_main.Window().Rows().Sort({SortColumn::File, false});
         },
         L"4 rows marked"},  // the same marks
    };
    for (const auto& [change, after] : cases) {
        MarkOnly({});
        m_main.Command(IDM_MARK_KIND_FIRST);  // Aircraft, with the notifications of its own changes
        EXPECT_EQ(m_main.StatusText(1), L"4 rows marked");
        change();
        m_main.Settle();
        EXPECT_EQ(m_main.StatusText(1), after);
    }
}

TEST_F(MarkTest, TheFirstRowFoundIsShownWithRowsAroundIt)
{
    std::vector<AirfileRow> rows(300);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].folder = L"Q " + std::to_wstring(1000 + i);
        rows[i].folderKey = SortKey(rows[i].folder);
        rows[i].pendingType = rows[i].fileType = static_cast<std::uint8_t>(i == 200 ? 2 : 1);
    }
    m_main.Window().Rows().Append(std::move(rows));
    const int found = 5 + 200;                // after the five rows before "Q"
    m_main.Command(IDM_MARK_KIND_FIRST + 2);  // non flyable
    EXPECT_EQ(ListView_GetNextItem(m_main.List(), -1, LVNI_FOCUSED), found);
    const int top = ListView_GetTopIndex(m_main.List()), page = ListView_GetCountPerPage(m_main.List());
    EXPECT_TRUE(found - top >= 3 && top + page - 1 - found >= 3) << top << " " << page;
}

TEST_F(MarkTest, TheTypeEntriesMarkTheRowsAsShownAndInvertKeepsTheFocus)
{
    MarkOnly({1});
    m_main.Command(IDM_TYPE_AIRCRAFT);  // Bell 206 shows Aircraft, not yet written
    struct Case {
        int command;
        const char* marks;
        const wchar_t* status;
        int focused;
    };
    const Case cases[] = {
        {IDM_MARK_KIND_FIRST + 0, "0 1 2 3 4", L"5 rows marked", 0},
        {IDM_MARK_KIND_FIRST + 4, "1", L"1 row marked", 1},  // changed and not written
        {IDM_MARK_KIND_FIRST + 3, "5", L"1 row marked", 5},  // without a type
        {IDM_MARK_KIND_FIRST + 1, "5", L"No row matches \"Helicopter\"", 5},
        {IDM_MARK_KIND_FIRST + 2, "5", L"No row matches \"non flyable\"", 5},
        {IDM_INVERT_MARKS, "0 1 2 3 4", L"5 rows marked", 5},
        {IDM_INVERT_MARKS, "5", L"1 row marked", 5},
    };
    for (const Case& c : cases) {
        m_main.Command(c.command);
        EXPECT_EQ(Marks(m_main), c.marks) << c.command;
        EXPECT_EQ(m_main.StatusText(1), c.status) << c.command;
        EXPECT_EQ(ListView_GetNextItem(m_main.List(), -1, LVNI_FOCUSED), c.focused) << c.command;
    }
    MarkOnly({1, 4});
    EXPECT_TRUE(m_main.CtrlKey('I'));
    EXPECT_EQ(Marks(m_main), "0 2 3 5");
}

TEST_F(MarkTest, TypeAheadGoesOnAcrossASpaceAndASpaceAloneStillMarks)
{
    MarkOnly({});
    const auto type = [&](const std::wstring& text) {
        for (wchar_t c : text) {
            if (c == L' ') ::SendMessageW(m_main.List(), WM_KEYDOWN, VK_SPACE, 1);
            ::SendMessageW(m_main.List(), WM_CHAR, c, 1);
        }
        m_main.Settle();
    };
    type(L"piper p");
    EXPECT_EQ(Marks(m_main), "4");
    EXPECT_EQ(ListView_GetNextItem(m_main.List(), -1, LVNI_FOCUSED), 4);

    // After the pause a space is the list's mark key again; a letter starts a new search.
    MarkOnly({});
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * ::GetDoubleClickTime() + 100));
    type(L" ");
    EXPECT_EQ(Marks(m_main), "4");
    type(L"b");
    EXPECT_EQ(Marks(m_main), "1");
}

}  // namespace
}  // namespace korvalis::test
