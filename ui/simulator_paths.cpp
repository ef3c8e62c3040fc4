#include "ui/simulator_paths.h"

#include <utility>

namespace korvalis {

void Get_FSPath(SessionState& state, const RegistryReader& read)
{
    // Both reads come first: neither outcome may decide whether the other record is read.
    std::string fs2002 = read(kRootLocalMachine, kFS2002Key, kExePathValue);
    std::string fs2004 = read(kRootLocalMachine, kFS2004Key, kExePathValue);
    state.FS2002Path = RecordedPath(std::move(fs2002));
    state.FS2004Path = RecordedPath(std::move(fs2004));
}

}  // namespace korvalis
