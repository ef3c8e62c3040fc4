#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/directory_choice.h"

namespace korvalis::test {
namespace {

using Entry = DirectoryEntry;

const char* Name(Entry entry)
{
    switch (entry) {
        case Entry::FS2004:
            return "FS2004";
        case Entry::FS2002:
            return "FS2002";
        case Entry::Own:
            return "Own";
    }
    return "?";
}

// What the main window looked like at the moment the scan was asked for.
struct ScanMoment {
    std::string aircraftDir;
    std::string windowCaption;
    std::set<Entry> checked;
    int rows = 0;
    bool listVisible = false;
    bool dialogOpen = false;
};

// frmMain, its menu, frmFSDialog and the scan in memory. Every call is logged in order.
class FakeMain : public DirectoryMenu, public ChoiceWindow, public FolderDialog, public AirfileScan {
public:
    struct MenuItem {
        std::string caption;
        bool enabled = true;
        bool checked = false;
    };

    explicit FakeMain(SessionState& state) : m_state(state) {}

    void SetCaption(Entry entry, const std::string& caption) override
    {
        Log(std::string("caption ") + Name(entry) + " " + caption);
        items[entry].caption = caption;
    }
    void SetEnabled(Entry entry, bool enabled) override
    {
        Log(std::string("enabled ") + Name(entry) + " " + (enabled ? "1" : "0"));
        items[entry].enabled = enabled;
    }
    bool IsChecked(Entry entry) const override { return items.at(entry).checked; }
    void SetChecked(Entry entry, bool checked) override
    {
        Log(std::string("checked ") + Name(entry) + " " + (checked ? "1" : "0"));
        items[entry].checked = checked;
    }
    void SetWindowCaption(const std::string& caption) override
    {
        Log("window " + caption);
        windowCaption = caption;
    }
    void RemoveAllRows() override
    {
        Log("rows removed");
        rows = 0;
    }
    void ShowList() override
    {
        Log("list shown");
        listVisible = true;
    }
    void OpenModeless() override
    {
        Log("dialog opened " + m_state.DialogMode);
        dialogOpen = true;
    }
    void Close() override
    {
        Log("dialog closed");
        dialogOpen = false;
    }
    void Load_Airfiles() override
    {
        Log("scan");
        ScanMoment moment{m_state.AircraftDir, windowCaption, {}, rows, listVisible, dialogOpen};
        for (const auto& [entry, item] : items) {
            if (item.checked) moment.checked.insert(entry);
        }
        scans.push_back(moment);
        rows = 5;  // whatever the folder holds
    }

    // "Abbrechen" or the close box: the dialog closes itself and tells the choice nothing.
    void CancelDialog() { dialogOpen = false; }

    std::set<Entry> Checked() const
    {
        std::set<Entry> checked;
        for (const auto& [entry, item] : items) {
            if (item.checked) checked.insert(entry);
        }
        return checked;
    }
    int Count(const std::string& call) const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    // As the menu resource holds them before start-up.
    std::map<Entry, MenuItem> items{
        {Entry::FS2004, {"FS 200&4"}}, {Entry::FS2002, {"FS 200&2"}}, {Entry::Own, {"&Own Directory"}}};
    std::string windowCaption = "Korvalis";
    int rows = 7;  // rows left from an earlier scan
    bool listVisible = false;
    bool dialogOpen = false;
    std::vector<std::string> calls;
    std::vector<ScanMoment> scans;

private:
    void Log(const std::string& call) { calls.push_back(call); }
    SessionState& m_state;
};

// One run of the program's main window: state, doubles and the choice wired together.
struct Session {
    explicit Session(const std::string& fs2002, const std::string& fs2004)
        : main(state), choice(state, main, main, main, main)
    {
        state.FS2002Path = fs2002;
        state.FS2004Path = fs2004;
        choice.ApplyStartupRule();
    }
    SessionState state;
    FakeMain main;
    DirectoryChoice choice;
};

TEST(DirectoryChoice, StartupRuleCaptionsAndEnablesTheSimulatorEntries)
{
    struct Case {
        const char* name;
        std::string fs2002, fs2004;
        std::string caption2002;
        bool enabled2002;
        std::string caption2004;
        bool enabled2004;
    };
    const Case cases[] = {
        {"both recorded", "C:\\FS2002", "D:\\Games\\FS9", "FS2002 - C:\\FS2002\\Aircraft", true,
         "FS2004 - D:\\Games\\FS9\\Aircraft", true},
        {"neither recorded", "", "", "FS2002 - not found in Registry", false,
         "FS2004 - not found in Registry", false},
        {"only FS2004", "", "D:\\FS9", "FS2002 - not found in Registry", false, "FS2004 - D:\\FS9\\Aircraft",
         true},
        {"only FS2002", "C:\\FS2002", "", "FS2002 - C:\\FS2002\\Aircraft", true,
         "FS2004 - not found in Registry", false},
        {"trailing separator kept", "C:\\FS2002\\", "D:\\", "FS2002 - C:\\FS2002\\\\Aircraft", true,
         "FS2004 - D:\\\\Aircraft", true},
        {"ampersands doubled", "C:\\Games & Sims\\FS2002", "D:\\R&D&&Co",
         "FS2002 - C:\\Games && Sims\\FS2002\\Aircraft", true, "FS2004 - D:\\R&&D&&&&Co\\Aircraft", true},
        {"non-ASCII text passes unchanged", "C:\\Spiele\\Flugsimulator \xC3\x84",
         "E:\\\xE9\xA3\x9B\xE8\xA1\x8C", "FS2002 - C:\\Spiele\\Flugsimulator \xC3\x84\\Aircraft", true,
         "FS2004 - E:\\\xE9\xA3\x9B\xE8\xA1\x8C\\Aircraft", true},
        {"spaces kept as read", " C:\\FS ", "", "FS2002 -  C:\\FS \\Aircraft", true,
         "FS2004 - not found in Registry", false},
    };
    for (const auto& c : cases) {
        Session run(c.fs2002, c.fs2004);
        const auto& items = run.main.items;
        EXPECT_EQ(items.at(Entry::FS2002).caption, c.caption2002) << c.name;
        EXPECT_EQ(items.at(Entry::FS2002).enabled, c.enabled2002) << c.name;
        EXPECT_EQ(items.at(Entry::FS2004).caption, c.caption2004) << c.name;
        EXPECT_EQ(items.at(Entry::FS2004).enabled, c.enabled2004) << c.name;
        EXPECT_EQ(items.at(Entry::Own).caption, "&Own Directory") << c.name;
        EXPECT_TRUE(items.at(Entry::Own).enabled) << c.name;
        EXPECT_TRUE(run.main.Checked().empty()) << c.name;
        EXPECT_EQ(run.state.AircraftDir, "") << c.name;
        EXPECT_EQ(run.main.windowCaption, "Korvalis") << c.name;
        EXPECT_TRUE(run.main.scans.empty()) << c.name;
        EXPECT_EQ(run.main.rows, 7) << c.name;
        EXPECT_FALSE(run.main.dialogOpen) << c.name;
        // Only captions and enabled states change at start-up.
        for (const auto& call : run.main.calls) {
            EXPECT_TRUE(call.rfind("caption FS200", 0) == 0 || call.rfind("enabled FS200", 0) == 0)
                << c.name << ": " << call;
        }
    }
}

TEST(DirectoryChoice, SimulatorCommandSetsTheDirectoryThenScans)
{
    struct Case {
        const char* name;
        std::string fs2002, fs2004;
        Entry command;
        std::string aircraftDir;
        std::string windowCaption;
    };
    const Case cases[] = {
        {"FS2002", "C:\\FS2002", "D:\\FS9", Entry::FS2002, "C:\\FS2002\\aircraft\\",
         "Korvalis - C:\\FS2002\\aircraft\\"},
        {"FS2004", "C:\\FS2002", "D:\\FS9", Entry::FS2004, "D:\\FS9\\aircraft\\",
         "Korvalis - D:\\FS9\\aircraft\\"},
        {"path ending in a separator doubles it", "C:\\FS2002\\", "", Entry::FS2002,
         "C:\\FS2002\\\\aircraft\\", "Korvalis - C:\\FS2002\\\\aircraft\\"},
        {"ampersand stays single outside the menu", "", "D:\\R&D", Entry::FS2004, "D:\\R&D\\aircraft\\",
         "Korvalis - D:\\R&D\\aircraft\\"},
        {"forward slashes are not separators", "C:/FS2002", "", Entry::FS2002, "C:/FS2002\\aircraft\\",
         "Korvalis - C:/FS2002\\aircraft\\"},
        {"non-ASCII", "", "E:\\Fl\xC3\xBCge", Entry::FS2004, "E:\\Fl\xC3\xBCge\\aircraft\\",
         "Korvalis - E:\\Fl\xC3\xBCge\\aircraft\\"},
    };
    for (const auto& c : cases) {
        Session run(c.fs2002, c.fs2004);
        const auto captions = run.main.items;
        if (c.command == Entry::FS2002) {
            run.choice.OnSelectFS2002();
        } else {
            run.choice.OnSelectFS2004();
        }
        EXPECT_EQ(run.state.AircraftDir, c.aircraftDir) << c.name;
        EXPECT_EQ(run.main.windowCaption, c.windowCaption) << c.name;
        EXPECT_EQ(run.main.Checked(), std::set<Entry>{c.command}) << c.name;
        ASSERT_EQ(run.main.scans.size(), 1u) << c.name;
        EXPECT_EQ(run.main.calls.back(), "scan") << c.name << ": the scan comes last";
        const ScanMoment& scan = run.main.scans.front();
        EXPECT_EQ(scan.aircraftDir, c.aircraftDir) << c.name;
        EXPECT_EQ(scan.windowCaption, c.windowCaption) << c.name;
        EXPECT_EQ(scan.checked, std::set<Entry>{c.command}) << c.name;
        EXPECT_EQ(scan.rows, 0) << c.name << ": old rows removed before the scan";
        EXPECT_TRUE(scan.listVisible) << c.name;
        EXPECT_EQ(run.main.Count("dialog opened Dir"), 0) << c.name;
        for (const Entry entry : {Entry::FS2004, Entry::FS2002, Entry::Own}) {
            EXPECT_EQ(run.main.items.at(entry).caption, captions.at(entry).caption)
                << c.name << ": captions stay";
            EXPECT_EQ(run.main.items.at(entry).enabled, captions.at(entry).enabled) << c.name;
        }
    }
}

TEST(DirectoryChoice, AcceptedOwnFolderBecomesTheDirectory)
{
    struct Case {
        const char* name;
        std::string folder;
        std::string ownCaption;
        std::string aircraftDir;
        std::string windowCaption;
    };
    const Case cases[] = {
        {"plain folder", "D:\\Planes", "Own Directory - D:\\Planes", "D:\\Planes\\",
         "Korvalis - D:\\Planes\\"},
        {"drive root keeps one separator", "C:\\", "Own Directory - C:\\", "C:\\", "Korvalis - C:\\"},
        {"empty text", "", "Own Directory - ", "\\", "Korvalis - \\"},
        {"folder ending in a separator", "D:\\Planes\\", "Own Directory - D:\\Planes\\", "D:\\Planes\\",
         "Korvalis - D:\\Planes\\"},
        {"ampersand doubled in the menu only", "D:\\R&D", "Own Directory - D:\\R&&D", "D:\\R&D\\",
         "Korvalis - D:\\R&D\\"},
        {"forward slash gets a backslash", "D:/Planes/", "Own Directory - D:/Planes/", "D:/Planes/\\",
         "Korvalis - D:/Planes/\\"},
        {"network share", "\\\\server\\fleet", "Own Directory - \\\\server\\fleet", "\\\\server\\fleet\\",
         "Korvalis - \\\\server\\fleet\\"},
        {"non-ASCII", "D:\\\xD0\xA1\xD0\xB0\xD0\xBC", "Own Directory - D:\\\xD0\xA1\xD0\xB0\xD0\xBC",
         "D:\\\xD0\xA1\xD0\xB0\xD0\xBC\\", "Korvalis - D:\\\xD0\xA1\xD0\xB0\xD0\xBC\\"},
    };
    for (const Entry before : {Entry::FS2002, Entry::FS2004}) {
        for (const auto& c : cases) {
            const std::string name = std::string(c.name) + " after " + Name(before);
            Session run("C:\\FS2002", "D:\\FS9");
            if (before == Entry::FS2002) {
                run.choice.OnSelectFS2002();
            } else {
                run.choice.OnSelectFS2004();
            }
            run.state.DialogMode = "About";
            run.choice.OnSelectOwn();
            EXPECT_EQ(run.state.DialogMode, "Dir") << name;
            EXPECT_EQ(run.main.calls.back(), "dialog opened Dir")
                << name << ": DialogMode is set before opening";
            EXPECT_EQ(run.main.scans.size(), 1u) << name << ": opening the dialog changes nothing yet";

            run.choice.AcceptOwnDirectory(c.folder);
            EXPECT_EQ(run.main.items.at(Entry::Own).caption, c.ownCaption) << name;
            EXPECT_EQ(run.state.AircraftDir, c.aircraftDir) << name;
            EXPECT_EQ(run.main.windowCaption, c.windowCaption) << name;
            EXPECT_EQ(run.main.Checked(), std::set<Entry>{Entry::Own}) << name;
            EXPECT_FALSE(run.main.dialogOpen) << name;
            ASSERT_EQ(run.main.scans.size(), 2u) << name;
            EXPECT_EQ(run.main.calls.back(), "scan") << name;
            const ScanMoment& scan = run.main.scans.back();
            EXPECT_FALSE(scan.dialogOpen) << name << ": the dialog closes before the scan";
            EXPECT_EQ(scan.checked, std::set<Entry>{Entry::Own}) << name;
            EXPECT_EQ(scan.aircraftDir, c.aircraftDir) << name;
            EXPECT_EQ(scan.windowCaption, c.windowCaption) << name;
            EXPECT_EQ(scan.rows, 0) << name;
            EXPECT_TRUE(scan.listVisible) << name;
            EXPECT_EQ(run.main.items.at(Entry::FS2002).caption, "FS2002 - C:\\FS2002\\Aircraft") << name;
            EXPECT_EQ(run.main.items.at(Entry::FS2004).caption, "FS2004 - D:\\FS9\\Aircraft") << name;
        }
    }
}

// A user's way through the menu, one step at a time.
struct Step {
    enum Kind { FS2002, FS2004, Own, Ok, Cancel } kind;
    std::string folder;  // for Ok
};

void Perform(Session& run, const Step& step)
{
    switch (step.kind) {
        case Step::FS2002:
            run.choice.OnSelectFS2002();
            break;
        case Step::FS2004:
            run.choice.OnSelectFS2004();
            break;
        case Step::Own:
            run.choice.OnSelectOwn();
            break;
        case Step::Ok:
            run.choice.AcceptOwnDirectory(step.folder);
            break;
        case Step::Cancel:
            run.main.CancelDialog();
            break;
    }
}

TEST(DirectoryChoice, FollowsTheChoiceStates)
{
    const Step fs2002{Step::FS2002, ""}, fs2004{Step::FS2004, ""}, own{Step::Own, ""},
        cancel{Step::Cancel, ""};
    const Step okPlanes{Step::Ok, "D:\\Planes"}, okMore{Step::Ok, "E:\\More"};
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::set<Entry> checked;
        std::string aircraftDir;
        std::string ownCaption;
        std::size_t scans;
        int dialogOpenings;
    };
    const std::string fresh = "&Own Directory";
    const Case cases[] = {
        {"nothing chosen", {}, {}, "", fresh, 0, 0},
        {"FS2002", {fs2002}, {Entry::FS2002}, "C:\\FS2002\\aircraft\\", fresh, 1, 0},
        {"FS2002 twice scans once", {fs2002, fs2002}, {Entry::FS2002}, "C:\\FS2002\\aircraft\\", fresh, 1, 0},
        {"FS2002 then FS2004", {fs2002, fs2004}, {Entry::FS2004}, "D:\\FS9\\aircraft\\", fresh, 2, 0},
        {"FS2004 twice then FS2002",
         {fs2004, fs2004, fs2002},
         {Entry::FS2002},
         "C:\\FS2002\\aircraft\\",
         fresh,
         2,
         0},
        {"own folder", {own, okPlanes}, {Entry::Own}, "D:\\Planes\\", "Own Directory - D:\\Planes", 1, 1},
        {"the checked own entry opens the dialog again",
         {own, okPlanes, own},
         {Entry::Own},
         "D:\\Planes\\",
         "Own Directory - D:\\Planes",
         1,
         2},
        {"cancel keeps the own folder",
         {own, okPlanes, own, cancel},
         {Entry::Own},
         "D:\\Planes\\",
         "Own Directory - D:\\Planes",
         1,
         2},
        {"another own folder straight away",
         {own, okPlanes, own, okMore},
         {Entry::Own},
         "E:\\More\\",
         "Own Directory - E:\\More",
         2,
         2},
        {"own caption outlives its check mark",
         {own, okPlanes, fs2004},
         {Entry::FS2004},
         "D:\\FS9\\aircraft\\",
         "Own Directory - D:\\Planes",
         2,
         1},
        {"another own folder after a simulator",
         {own, okPlanes, fs2002, own, okMore},
         {Entry::Own},
         "E:\\More\\",
         "Own Directory - E:\\More",
         3,
         2},
        {"dialog reopens after a simulator",
         {own, okPlanes, fs2002, own},
         {Entry::FS2002},
         "C:\\FS2002\\aircraft\\",
         "Own Directory - D:\\Planes",
         2,
         2},
        {"cancel at start changes nothing", {own, cancel}, {}, "", fresh, 0, 1},
        {"cancel keeps the simulator",
         {fs2004, own, cancel},
         {Entry::FS2004},
         "D:\\FS9\\aircraft\\",
         fresh,
         1,
         1},
        {"cancel, then accept",
         {own, cancel, own, okPlanes},
         {Entry::Own},
         "D:\\Planes\\",
         "Own Directory - D:\\Planes",
         1,
         2},
        {"simulator after own",
         {own, okPlanes, fs2002},
         {Entry::FS2002},
         "C:\\FS2002\\aircraft\\",
         "Own Directory - D:\\Planes",
         2,
         1},
    };
    for (const auto& c : cases) {
        Session run("C:\\FS2002", "D:\\FS9");
        for (const auto& step : c.steps) Perform(run, step);
        EXPECT_EQ(run.main.Checked(), c.checked) << c.name;
        EXPECT_EQ(run.state.AircraftDir, c.aircraftDir) << c.name;
        EXPECT_EQ(run.main.windowCaption, c.aircraftDir.empty() ? "Korvalis" : "Korvalis - " + c.aircraftDir)
            << c.name;
        EXPECT_EQ(run.main.items.at(Entry::Own).caption, c.ownCaption) << c.name;
        EXPECT_EQ(run.main.scans.size(), c.scans) << c.name;
        EXPECT_EQ(run.main.Count("dialog opened Dir"), c.dialogOpenings) << c.name;
        EXPECT_EQ(run.main.items.at(Entry::FS2002).caption, "FS2002 - C:\\FS2002\\Aircraft") << c.name;
        EXPECT_EQ(run.main.items.at(Entry::FS2004).caption, "FS2004 - D:\\FS9\\Aircraft") << c.name;
    }
}

TEST(DirectoryChoice, ChoosingTheCurrentSourceAgainDoesNothing)
{
    struct Case {
        const char* name;
        std::vector<Step> choose;
        Step again;
        bool opensDialog;  // the own entry offers the chooser again; nothing else happens yet
    };
    const Case cases[] = {
        {"FS2002", {{Step::FS2002, ""}}, {Step::FS2002, ""}, false},
        {"FS2004", {{Step::FS2004, ""}}, {Step::FS2004, ""}, false},
        {"own folder", {{Step::Own, ""}, {Step::Ok, "D:\\Planes"}}, {Step::Own, ""}, true},
    };
    for (const auto& c : cases) {
        Session run("C:\\FS2002", "D:\\FS9");
        for (const auto& step : c.choose) Perform(run, step);
        run.main.rows = 3;  // rows the user has marked and retyped since the scan
        const std::string dir = run.state.AircraftDir;
        const std::string mode = run.state.DialogMode;
        const auto callsBefore = run.main.calls.size();

        const int openings = run.main.Count("dialog opened Dir");
        Perform(run, c.again);
        EXPECT_EQ(run.main.calls.size(), callsBefore + (c.opensDialog ? 1 : 0))
            << c.name << ": no menu, window or scan call";
        EXPECT_EQ(run.main.Count("dialog opened Dir"), openings + (c.opensDialog ? 1 : 0)) << c.name;
        EXPECT_EQ(run.main.rows, 3) << c.name;
        EXPECT_EQ(run.state.AircraftDir, dir) << c.name;
        EXPECT_EQ(run.state.DialogMode, c.opensDialog ? "Dir" : mode) << c.name;
        EXPECT_EQ(run.main.dialogOpen, c.opensDialog) << c.name;
    }
}

TEST(DirectoryChoice, WithNeitherSimulatorTheOwnFolderCanBeChosenAgain)
{
    Session run("", "");
    EXPECT_FALSE(run.main.items.at(Entry::FS2002).enabled);
    EXPECT_FALSE(run.main.items.at(Entry::FS2004).enabled);
    // A disabled entry's command, should it arrive anyway, must not build "\aircraft\".
    run.choice.OnSelectFS2002();
    run.choice.OnSelectFS2004();
    EXPECT_EQ(run.state.AircraftDir, "");
    EXPECT_TRUE(run.main.scans.empty());

    run.choice.OnSelectOwn();
    run.choice.AcceptOwnDirectory("D:\\Planes");
    run.choice.OnSelectOwn();
    run.choice.AcceptOwnDirectory("E:\\More");
    EXPECT_EQ(run.main.Count("dialog opened Dir"), 2);
    EXPECT_EQ(run.state.AircraftDir, "E:\\More\\");
    EXPECT_EQ(run.main.scans.size(), 2u);
}

TEST(MenuText, DoublesEveryAmpersand)
{
    struct Case {
        std::string path, expected;
    };
    const Case cases[] = {
        {"", ""},
        {"C:\\FS2002", "C:\\FS2002"},
        {"&", "&&"},
        {"a&b", "a&&b"},
        {"&&", "&&&&"},
        {"&leading and trailing&", "&&leading and trailing&&"},
        {"R&D & Co", "R&&D && Co"},
        {"\xC3\xA4&\xC3\xB6", "\xC3\xA4&&\xC3\xB6"},
    };
    for (const auto& c : cases) EXPECT_EQ(MenuText(c.path), c.expected) << c.path;
}

}  // namespace
}  // namespace korvalis::test
