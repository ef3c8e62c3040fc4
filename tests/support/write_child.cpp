// The catalogue's write as the program runs it, in a process of its own, for a test that kills it:
//   write_child AIRCRAFT_DIR TYPE
// Scans the folder, marks every row, gives it TYPE and writes, on the worker. Says "writing" when
// the write starts and "done" when it has ended, each on a line of its own.
#include <cstdio>
#include <cstdlib>

#include "catalogue/catalogue.h"
#include "tools/work_loop.h"
#include "tests/support/memory_airfile_list.h"

namespace {

class Quiet final : public korvalis::CatalogueShell {
public:
    void SetHourglass(bool) override {}
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void SetWriteEnabled(bool) override {}
    void SetWorking(bool) override {}
    void ShowProgress(const std::string&, int, int) override {}
    void ShowOutcome(const korvalis::StatusNotes&) override {}
    void WorkFailed(korvalis::WorkKind) override { std::exit(3); }
    void OfferRestartAsAdministrator(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    korvalis::SessionState state;
    state.AircraftDir = argv[1];
    korvalis::MemoryAirfileList list;
    Quiet shell;
    korvalis::WorkLoop loop;
    korvalis::Catalogue catalogue(state, list, shell, loop.GetWorker());
    catalogue.Load_Airfiles();
    loop.RunUntilIdle();
    for (int i = 1; i <= list.Count(); ++i) list.SetMarked(i, true);
    catalogue.AssignTypeToMarked(static_cast<std::int16_t>(std::atoi(argv[2])));
    std::printf("writing\n");
    std::fflush(stdout);
    catalogue.WriteMarkedTypes();
    loop.RunUntilIdle();
    std::printf("done\n");
    return 0;
}
