#pragma once

#include <cstdint>
#include <string>

#include "catalogue/airfile_list.h"
#include "catalogue/catalogue_shell.h"
#include "catalogue/session_state.h"

namespace korvalis {

// The type texts a row shows, by type code; matched exactly when written back.
inline constexpr const char* kTypeTexts[] = {"Aircraft", "Helicopter", "non flyable"};

// The commands on the aircraft rows: scan, give a type, write, mark AI traffic.
class Catalogue {
public:
    Catalogue(SessionState& state, AirfileList& list, CatalogueShell& shell) noexcept
        : m_state(state), m_list(list), m_shell(shell)
    {
    }

    // Rebuilds the rows from the .air files one folder below AircraftDir.
    void Load_Airfiles();
    // Gives every marked row the type text of menu entry `index` (0, 1, 2).
    void AssignTypeToMarked(std::int16_t index);
    // Writes each marked row's type into its file; written rows are un-marked.
    void WriteMarkedTypes();
    // Marks exactly the rows whose folder name holds "MY" or "AI".
    void SelectAITraffic();

private:
    SessionState& m_state;
    AirfileList& m_list;
    CatalogueShell& m_shell;
};

// The type text for a type code read from a file, "" for codes other than 0, 1 and 2.
std::string TypeTextForCode(const std::string& code);

}  // namespace korvalis
