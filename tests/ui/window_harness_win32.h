#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui/main_window.h"

namespace korvalis::test {

// A simulator folder with an aircraft directory of three aircraft, two of them AI traffic:
// "AI Boeing 737" (b737.air, type 0), "Bell 206" (bell.air, 1), "MY Cessna" (c172.air, 0).
struct Simulator {
    Simulator();
    std::filesystem::path File(const char* folder, const char* file) const
    {
        return aircraft / folder / file;
    }

    std::filesystem::path root;
    std::filesystem::path aircraft;
};

// A main window as the program creates it, hidden, with the simulators' records given by
// the test: FS2004 at fs2004Path (empty: not recorded), FS2002 never recorded.
class MainWindowHarness {
public:
    explicit MainWindowHarness(const std::wstring& fs2004Path = {});
    ~MainWindowHarness();

    MainWindow& Window() { return *m_window; }
    HWND Handle() const { return m_window->Handle(); }
    HWND List() const { return m_window->ListHandle(); }

    // A menu command as the menu sends it.
    void Command(int id);
    // A key with Ctrl held, through the program's own message routing (dialog, accelerators).
    // True when the routing took the key.
    bool CtrlKey(WPARAM key);
    // A key (no modifier) sent to a window through the program's own message routing.
    void Key(HWND target, WPARAM key);
    // A key stamped with the given GetTickCount() time, through the program's own routing; true
    // when the routing took it.
    bool RouteAt(HWND target, WPARAM key, DWORD time);
    void Pump();
    // Pumps until the work a command started is over and shown.
    void Settle();

    std::wstring MenuText(UINT id) const;
    bool MenuEnabled(UINT id) const;
    bool MenuChecked(UINT id) const;
    std::wstring Caption() const;
    int RowCount() const;
    std::wstring Cell(int index, int column) const;
    bool Marked(int index) const;
    void Mark(int index);
    // The tooltip shown with the mouse over a cell of the list.
    std::wstring TipAt(int index, int column);
    // The text of one of the status bar's two parts.
    std::wstring StatusText(int part) const;
    // The text of the tooltip over part two.
    std::wstring StatusTip() const;
    // A right-click on a row of the list, as the mouse gives it.
    void RightClick(int index);

private:
    bool Route(HWND target, WPARAM key);

    std::unique_ptr<MainWindow> m_window;
};

// Watches for the program's message box while the test thread is inside it: records its
// caption, text and buttons, then presses OK, or `answer` (IDYES, IDNO) in a box that has it.
class MessageBoxWatcher {
public:
    struct Seen {
        std::wstring caption;
        std::wstring text;
        bool onlyOk = false;
        bool yesNo = false;  // exactly the buttons Yes and No
        bool icon = false;
        bool watchedShown = false;  // whether the window given to the watcher had WS_VISIBLE meanwhile
    };

    // `watched`: a window whose visibility is noted with each box.
    explicit MessageBoxWatcher(HWND watched = nullptr, int answer = IDOK);
    ~MessageBoxWatcher();
    std::vector<Seen> Boxes();

private:
    void Watch();

    HWND m_watched;
    int m_answer;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
    std::thread m_thread;
};

// Watches for the program's popup menus: records each one's entries, then closes it with Esc,
// or, given an entry's access key, chooses that entry once `when` (if given) is true.
class MenuWatcher {
public:
    struct Entry {
        std::wstring text;
        bool enabled = false;
    };
    explicit MenuWatcher(wchar_t choose = 0, const std::atomic<bool>* when = nullptr);
    ~MenuWatcher();
    std::vector<std::vector<Entry>> Menus();

private:
    void Watch();

    wchar_t m_choose;
    const std::atomic<bool>* m_when;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::vector<Entry>> m_seen;
    std::thread m_thread;
};

// The window's launches, recorded; the shell's call answers as `select` says, a start as
// `startResult` says.
class RecordingLaunch final : public ShellLaunch {
public:
    HRESULT SelectInFolder(const std::filesystem::path& file) override
    {
        selected.push_back(file);
        return select(file);
    }
    std::int32_t StartProcess(const std::wstring& program, const std::wstring& commandLine) override
    {
        processes.push_back({program, commandLine});
        return startResult;
    }
    std::int32_t StartWithVerb(HWND, const std::filesystem::path& program, const wchar_t* verb) override
    {
        withVerb.push_back({program, verb});
        return startResult;
    }

    std::function<HRESULT(const std::filesystem::path&)> select = [](const std::filesystem::path&) {
        return S_OK;
    };
    std::int32_t startResult = 0;
    std::vector<std::filesystem::path> selected;
    std::vector<std::pair<std::wstring, std::wstring>> processes;  // program, command line
    std::vector<std::pair<std::filesystem::path, std::wstring>> withVerb;
};

// The row showing this folder, -1 when none does.
int RowOf(MainWindowHarness& main, const std::wstring& folder);

std::wstring WindowText(HWND window);
std::wstring Wide(const std::filesystem::path& path);

}  // namespace korvalis::test
