#pragma once

namespace korvalis {

// What the commands depend on: the rows, their marks, the work that runs and the states the
// commands themselves set.
struct CommandContext {
    int rows = 0;
    int marked = 0;
    bool working = false;       // a scan, write or restore runs
    bool scanning = false;      // of them, a scan: the rows are only added to meanwhile
    bool writeEnabled = false;  // "Write" as the commands left it (a type was given, nothing failed)
    bool fs2004Found = true;    // the simulator entries as the start-up rule left them
    bool fs2002Found = true;
    bool onRow = false;        // the context menu was opened on a row
    bool contextMenu = false;  // the command comes from the list's context menu
};

// Which commands are available, wherever the user reaches them: the menu bar, the context
// menu, the accelerators and the list's own keys and header.
struct CommandStates {
    // The menu bar, and the accelerators that stand for its entries.
    bool selectFS2004 = false;
    bool selectFS2002 = false;
    bool selectOwn = false;
    bool setType = false;  // the context menu's "Set type to" besides, which needs a marked row
    bool read = false;
    bool write = false;
    bool markAITraffic = false;
    // The list: Ctrl+A, a header click, type-ahead, and the keys and clicks that move the marks.
    // A write or restore holds the rows by position, so the marks stay still while it runs; a scan
    // only adds rows, and the list stays usable.
    bool selectAll = false;
    bool sort = false;
    bool typeAhead = false;
    bool markByInput = false;
    bool stopWork = false;  // Esc
    // The context menu.
    bool restore = false;
    bool openFolder = false;
    bool copy = false;
    // The context menu's marking entries and their keys (Ctrl+F, Ctrl+I).
    bool markRows = false;
    bool markRowsOfType = false;
    bool invertMarks = false;

    bool operator==(const CommandStates&) const = default;
};

CommandStates AvailableCommands(const CommandContext& context);

}  // namespace korvalis
