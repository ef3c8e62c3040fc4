#include "ui/commands.h"

namespace korvalis {

bool CommandAvailable(int id, const CommandStates& states)
{
    for (const CommandRule& rule : kCommandRules) {
        if (id >= rule.first && id <= rule.last) return states.*rule.available;
    }
    return true;
}

}  // namespace korvalis
