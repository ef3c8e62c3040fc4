#include "catalogue/command_states.h"

namespace korvalis {

CommandStates AvailableCommands(const CommandContext& c)
{
    // While work runs, nothing may start more work or change the rows, their marks or their
    // order; what only reads the rows (Copy, Open folder) stays.
    const bool idle = !c.working;
    const bool anyMarked = c.marked > 0;
    CommandStates s;
    s.selectFS2004 = c.fs2004Found && idle;
    s.selectFS2002 = c.fs2002Found && idle;
    s.selectOwn = s.read = s.markAITraffic = idle;
    // The menu bar's type entries are there whenever the rows may change; the context menu acts
    // on the marked rows, so there a type needs one.
    s.setType = idle && (anyMarked || !c.contextMenu);
    s.write = c.writeEnabled && idle;
    s.selectAll = s.typeAhead = s.markByInput = idle || c.scanning;
    s.sort = idle && c.rows > 0;
    s.stopWork = c.working;
    s.restore = anyMarked && idle;
    s.openFolder = c.onRow;
    s.copy = anyMarked;
    s.markRows = s.markRowsOfType = s.invertMarks = idle && c.rows > 0;
    return s;
}

}  // namespace korvalis
