#pragma once

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue_shell.h"
#include "catalogue/status_text.h"

namespace korvalis::test {

// Records every effect in order, so tests can check what came before what. The pointer, the
// message box and "Write" go to `calls`; the status line and the working state apart. A call
// named in `throwAt` throws instead, once, after `throwAfter` such calls, as when memory runs out.
class RecordingShell final : public CatalogueShell {
public:
    void SetHourglass(bool busy) override
    {
        ThrowAt(busy ? "hourglass" : "pointer");
        calls.push_back(busy ? "hourglass" : "pointer");
    }
    void ShowMessage(const std::string& text) override
    {
        ThrowAt("message");
        calls.push_back("message: " + text);
    }
    void SetWriteEnabled(bool enabled) override
    {
        ThrowAt(enabled ? "write on" : "write off");
        writeEnabled = enabled;
        calls.push_back(enabled ? "write on" : "write off");
    }
    void SetWorking(bool on) override
    {
        ThrowAt(on ? "working" : "not working");
        working.push_back(on);
    }
    void ShowProgress(const std::string& text, int done, int total) override
    {
        ThrowAt("progress");
        progress.push_back(text);
        lastDone = done;
        lastTotal = total;
    }
    void ShowOutcome(const StatusNotes& notes) override
    {
        ThrowAt("outcome");
        outcomes.push_back(JoinedNotes(notes));
        outcomeNotes.push_back(notes);
    }
    void WorkFailed(WorkKind kind) override { failures.push_back(kind); }
    void OfferRestartAsAdministrator(const std::string& aircraftDir) override
    {
        calls.push_back("restart offered: " + aircraftDir);
    }

    std::string throwAt;
    int throwAfter = 0;
    std::vector<std::string> calls;
    std::optional<bool> writeEnabled;  // nullopt: never set
    std::vector<bool> working;
    std::vector<std::string> progress;
    int lastDone = 0, lastTotal = 0;
    std::vector<std::string> outcomes;  // as part two shows them
    std::vector<StatusNotes> outcomeNotes;
    std::vector<WorkKind> failures;

private:
    void ThrowAt(const char* call)
    {
        if (!throwAt.empty() && throwAt == call && throwAfter-- <= 0) {
            throwAt.clear();
            throw std::bad_alloc();
        }
    }
};

}  // namespace korvalis::test
