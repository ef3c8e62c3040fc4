#pragma once

#include <string>
#include <vector>

#include "cli/run.h"

namespace korvalis::cli {

// stdout and stderr as UTF-8 (a console of Windows written in UTF-16), and whether stderr is a
// terminal.
CliIo SystemIo();

// Ctrl+C (SIGINT, or the console's control handler) asks `stop` to stop; it must live until the
// program ends.
void StopOnInterrupt(StopSignal& stop);

}  // namespace korvalis::cli
