#pragma once

#include "catalogue/catalogue.h"
#include "tools/work_loop.h"

namespace korvalis::test {

// A catalogue as the window drives it: commands on this thread, their work on the worker, and
// what the work posts run here. Each command that starts work returns once that work is over.
class CatalogueRig {
public:
    CatalogueRig(SessionState& state, AirfileList& list, CatalogueShell& shell)
        : m_catalogue(state, list, shell, m_loop.GetWorker())
    {
    }

    Catalogue& Get() { return m_catalogue; }
    void Load_Airfiles() { Then(&Catalogue::Load_Airfiles); }
    void AssignTypeToMarked(std::int16_t index) { m_catalogue.AssignTypeToMarked(index); }
    void WriteMarkedTypes() { Then(&Catalogue::WriteMarkedTypes); }
    void RestoreMarkedFromBackups() { Then(&Catalogue::RestoreMarkedFromBackups); }
    void SelectAITraffic() { m_catalogue.SelectAITraffic(); }
    void Finish() { m_loop.RunUntilIdle(); }

private:
    void Then(void (Catalogue::*command)())
    {
        (m_catalogue.*command)();
        Finish();
    }

    WorkLoop m_loop;
    Catalogue m_catalogue;
};

}  // namespace korvalis::test
