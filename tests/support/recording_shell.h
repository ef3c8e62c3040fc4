#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue_shell.h"

namespace korvalis::test {

// Records every effect in order, so tests can check what came before what.
class RecordingShell final : public CatalogueShell {
public:
    void SetHourglass(bool busy) override { calls.push_back(busy ? "hourglass" : "pointer"); }
    void ShowMessage(const std::string& text) override { calls.push_back("message: " + text); }
    void SetWriteEnabled(bool enabled) override
    {
        writeEnabled = enabled;
        calls.push_back(enabled ? "write on" : "write off");
    }

    std::vector<std::string> calls;
    std::optional<bool> writeEnabled;  // nullopt: never set
};

}  // namespace korvalis::test
