#include "ui/main_window.h"

#include "catalogue/name_match.h"
#include "core/text.h"

// Marking rows by name, by type, and inverting the marks: the context menu's entries, Ctrl+F and
// Ctrl+I. The commands themselves work on the list through catalogue/marking.
namespace korvalis {

void MainWindow::OnMarkRows()
{
    const std::optional<MarkRequest> request = AskWhatToMark(m_hwnd, m_lastMark);
    if (!request) return;
    m_lastMark = *request;
    const NameMatcher matcher(request->text);
    ShowMarkOutcome(MarkRows(
                        m_rows, [&](const AirfileRow& row) { return matcher.Matches(row); }, request->keep),
                    Utf8FromWide(matcher.Text()));
}

void MainWindow::OnMarkRowsOfKind(RowKind kind)
{
    ShowMarkOutcome(MarkRowsOfKind(m_rows, kind), RowKindText(kind));
}

void MainWindow::OnInvertMarks()
{
    InvertMarks(m_rows);
    ShowOutcome(MarkedRowsText(m_rows.MarkedCount()));
}

void MainWindow::ShowMarkOutcome(const MarkResult& result, const std::string& sought)
{
    if (result.matched == 0) {
        ShowOutcome(NoRowMatchesText(sought));
        return;
    }
    m_rows.FocusOn(result.first - 1);  // the first row found
    ShowOutcome(MarkedRowsText(m_rows.MarkedCount()));
}

}  // namespace korvalis
