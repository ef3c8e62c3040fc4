#include "ui/main_window.h"

#include <commctrl.h>

#include "catalogue/error_text.h"
#include "core/text.h"
#include "ui/commands.h"
#include "ui/dpi.h"
#include "ui/failure_report.h"
#include "ui/menu_bar.h"
#include "ui/resource.h"
#include "ui/shell_actions.h"

namespace korvalis {

namespace {

constexpr wchar_t kClassName[] = L"KorvalisMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed size
constexpr double kClientWidth = 8385, kClientHeight = 5475;
constexpr double kListWidth = 8355, kListHeight = 5415;

// What the user is told the program was doing when a message's handling failed.
const wchar_t* Activity(UINT message)
{
    switch (message) {
        case WM_CREATE:
            return L"starting up";
        case WM_COMMAND:
        case WM_CONTEXTMENU:  // the context menu's command runs while it is handled
            return L"carrying out a command";
        case WM_NOTIFY:
            return L"showing the aircraft list";
        case WM_PAINT:
            return L"drawing the window";
        case WM_APP_WORK:
            return L"showing what the work found";
        default:
            return L"answering the window system";
    }
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_KORVALIS));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

MainWindow::MainWindow() noexcept
    : m_worker([this] {
          HWND target = m_wakeTarget;
          return target != nullptr && ::PostMessageW(target, WM_APP_WORK, 0, 0) != FALSE;
      }),
      m_work(m_worker, m_rows, m_status, m_menuBar, [this] { ShowCounts(); }),
      m_catalogue(m_state, m_rows, m_work, m_worker),
      m_dialog(m_state),
      m_choice(m_state, m_menuBar, *this, m_dialog, *this),
      m_list(m_state, m_rows)
{
}

MainWindow::~MainWindow()
{
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
    m_worker.Shutdown();
}

bool MainWindow::Create(HINSTANCE instance, const RegistryReader& readRegistry)
{
    m_readRegistry = readRegistry;
    if (!RegisterWindowClass(instance, &MainWindow::WindowProc)) return false;
    m_accelerators = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ::CreateWindowExW(0, kClassName, WideFromUtf8(kProgramTitle).c_str(), kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    return m_hwnd != nullptr;
}

void MainWindow::Show(int showCommand)
{
    ::ShowWindow(m_hwnd, showCommand);
    ::UpdateWindow(m_hwnd);
}

int MainWindow::Run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool MainWindow::PreTranslate(MSG& message)
{
    if (m_work.IsStaleInput(message)) return true;
    // While the dialog is open it takes its own keys (Enter, Esc, Tab) and the main
    // window's shortcuts stay silent, as the main window itself is disabled.
    if (m_dialog.IsOpen()) return ::IsDialogMessageW(m_dialog.Handle(), &message) != 0;
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && States().stopWork) {
        m_catalogue.StopWork();
        return true;
    }
    return m_accelerators != nullptr && ::TranslateAcceleratorW(m_hwnd, m_accelerators, &message) != 0;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const auto byDefault = [&] { return ::DefWindowProcW(hwnd, message, wParam, lParam); };
    if (self == nullptr) return byDefault();
    return GuardedProc(
        Activity(message), [&] { return self->HandleMessage(message, wParam, lParam); }, byDefault);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return m_list.OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_CONTEXTMENU:
            m_list.OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETFOCUS:
            // Keyboard marking and the selection's colour belong to the list.
            if (m_list.Handle() != nullptr) ::SetFocus(m_list.Handle());
            return 0;
        case WM_SETCURSOR:
            if (m_work.OnSetCursor()) return TRUE;
            break;
        case WM_APP_WORK:
            m_worker.RunPosted();
            return 0;
        case WM_TIMER:
            if (m_work.OnTimer(wParam)) return 0;
            break;
        case WM_APP_COUNTS:
            ShowCounts();
            return 0;
        case WM_APP_FAILURE:
            ShowFailureReport(m_hwnd, lParam);
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(m_hwnd);
            return 0;  // no question: pending types are discarded
        case WM_DESTROY:
            // Work stops first: a scan at once, a write after the file it is on.
            m_wakeTarget = nullptr;
            m_worker.Shutdown();
            m_dialog.Close();
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetFailureReportWindow(nullptr);
            ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
            m_hwnd = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

bool MainWindow::OnCreate()
{
    m_dpi = DpiForWindow(m_hwnd);
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(m_hwnd, GWLP_HINSTANCE));
    ListHooks hooks{[this](const ContextMenuCommand* menu) { return States(menu); },
                    [this](int id) { OnCommand(id); }, [this] { ScheduleCounts(); },
                    [this] { m_work.MarksChanged(); }};
    if (!m_list.Create(m_hwnd, instance, std::move(hooks)) || !m_status.Create(m_hwnd, instance))
        return false;
    ApplyLayout();
    m_list.CreateTooltip(m_dpi, static_cast<HFONT>(m_font.Get()));
    m_menuBar.Attach(m_hwnd, [this] { return States(); });
    m_work.Attach(m_hwnd);
    m_dialog.SetMainWindow(m_hwnd);
    m_dialog.SetAcceptHandler([this](const std::string& folder) { m_choice.AcceptOwnDirectory(folder); });
    SetFailureReportWindow(m_hwnd);
    m_wakeTarget = m_hwnd;

    // Start-up: columns from the list's width, the simulators' records, their entries.
    AddColumns();
    Get_FSPath(m_state, m_readRegistry);
    m_catalogue.SetRedirectedFolders(SystemRedirectedFolders());
    m_choice.ApplyStartupRule();
    ShowCounts();
    return true;
}

void MainWindow::OnCommand(int id)
{
    // Keys, menus and every other sender are held to the same rules.
    const ContextMenuCommand* menu = m_list.ContextMenu();
    if (!CommandAvailable(id, States(menu))) return;
    switch (id) {
        case IDM_SELECT_FS2004:
            m_choice.OnSelectFS2004();
            break;
        case IDM_SELECT_FS2002:
            m_choice.OnSelectFS2002();
            break;
        case IDM_SELECT_OWN:
            m_choice.OnSelectOwn();
            break;
        case IDM_TYPE_AIRCRAFT:
        case IDM_TYPE_HELICOPTER:
        case IDM_TYPE_NONFLYABLE:
            m_catalogue.AssignTypeToMarked(static_cast<std::int16_t>(id - IDM_TYPE_FIRST));
            break;
        case IDM_READ:
            Load_Airfiles();
            break;
        case IDM_WRITE:
            m_catalogue.WriteMarkedTypes();
            break;
        case IDM_SELECT_MY:
            m_catalogue.SelectAITraffic();
            break;
        case IDM_ABOUT:
            m_state.DialogMode = "About";
            m_dialog.OpenModeless();
            break;
        case IDM_END:
            ::DestroyWindow(m_hwnd);
            break;
        case IDM_SELECT_ALL:
            ListView_SetItemState(m_rows.Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
            break;
        case IDM_COPY:
            CopyMarkedRows(m_hwnd, m_rows, m_state.AircraftDir);
            break;
        case IDM_RESTORE:
            m_catalogue.RestoreMarkedFromBackups();
            break;
        case IDM_OPEN_FOLDER:  // available only from the context menu opened on a row
            if (const std::int32_t error = OpenInExplorer(menu->file, *m_launch); error != 0)
                m_work.ShowOutcome({{"Explorer could not be started: " + ErrorText(error), {}}});
            break;
        case IDM_MARK_ROWS:
            OnMarkRows();
            break;
        case IDM_INVERT_MARKS:
            OnInvertMarks();
            break;
        default:
            if (id >= IDM_MARK_KIND_FIRST && id <= IDM_MARK_KIND_LAST)
                OnMarkRowsOfKind(static_cast<RowKind>(id - IDM_MARK_KIND_FIRST));
            break;
    }
}

CommandStates MainWindow::States(const ContextMenuCommand* menu) const
{
    CommandContext context;
    context.rows = m_rows.Count();
    context.marked = m_rows.Handle() != nullptr ? m_rows.MarkedCount() : 0;
    context.working = m_work.Working();
    context.scanning = m_work.Working() && m_catalogue.Scanning();
    context.writeEnabled = m_work.WriteEnabled();
    context.fs2004Found = m_menuBar.Found(DirectoryEntry::FS2004);
    context.fs2002Found = m_menuBar.Found(DirectoryEntry::FS2002);
    context.contextMenu = menu != nullptr && menu->open;
    context.onRow = context.contextMenu && !menu->file.empty();
    return AvailableCommands(context);
}

void MainWindow::ScheduleCounts()
{
    // Marks change one row at a time; the counts are redrawn once for a run of them.
    if (m_countsPending || m_hwnd == nullptr) return;
    m_countsPending = ::PostMessageW(m_hwnd, WM_APP_COUNTS, 0, 0) != FALSE;
}

void MainWindow::ShowCounts()
{
    m_countsPending = false;
    m_status.ShowCounts(
        WideFromUtf8(CountsText(m_rows.Count(), m_rows.MarkedCount(), m_rows.ChangedCount())));
}

void MainWindow::Load_Airfiles() { m_catalogue.Load_Airfiles(); }

void MainWindow::OnMarkRows()
{
    const std::optional<MarkRequest> request = AskWhatToMark(m_hwnd, m_lastMark);
    if (!request) return;
    m_lastMark = *request;
    const RowQuery query(request->text, request->kind);
    const MarkResult result = MarkRows(
        m_rows, [&](const AirfileRow& row) { return query.Matches(row); }, request->Scope());
    ShowMarkOutcome(result, NoRowMatchesText(Utf8FromWide(query.Name().Text()), request->amongMarked,
                                             request->kind ? RowKindText(*request->kind) : ""));
}

void MainWindow::OnMarkRowsOfKind(RowKind kind)
{
    ShowMarkOutcome(MarkRowsOfKind(m_rows, kind), NoRowMatchesText(RowKindText(kind)));
}

void MainWindow::OnInvertMarks()
{
    InvertMarks(m_rows);
    m_work.ShowUntilMarksChange({{MarkedRowsText(m_rows.MarkedCount()), {}}});
}

void MainWindow::ShowMarkOutcome(const MarkResult& result, const std::string& noMatch)
{
    if (result.matched == 0) {
        m_work.ShowUntilMarksChange({{noMatch, {}}});
        return;
    }
    m_rows.FocusOn(result.first - 1, true);  // the first row found
    // The note comes last: the list tells of the command's own changes while they are made, and
    // any told after it would take the note away.
    m_work.ShowUntilMarksChange({{MarkedRowsText(m_rows.MarkedCount()), {}}});
}

// The design is in twips, turned into pixels for the window's DPI, with the status bar below
// the design's area at the height its font needs.
void MainWindow::AddColumns()
{
    RECT rect;
    ::GetWindowRect(m_list.Handle(), &rect);
    // Single precision on purpose: the widths are the design's own arithmetic.
    const float w = static_cast<float>(PixelsToTwips(rect.right - rect.left, m_dpi));
    const float widths[] = {(w - 1700.0f) / 8.0f * 5.0f, (w - 1700.0f) / 8.0f * 3.0f, 1300.0f};
    for (int i = 0; i < kListColumnCount; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kListColumns[i].header);
        column.cx = TwipsToPixels(widths[i], m_dpi);
        column.iSubItem = i;
        ListView_InsertColumn(m_list.Handle(), i, &column);
    }
}

void MainWindow::ApplyLayout()
{
    // Every control gets the new font before the old one goes: none may hold a deleted font.
    UniqueGdiObject font(CreateMessageFont(m_dpi));
    m_list.SetFont(static_cast<HFONT>(font.Get()));
    ::SendMessageW(m_status.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    m_font = std::move(font);

    const int statusHeight = m_status.FitFont(static_cast<HFONT>(m_font.Get()), m_dpi);
    SizeClientTo(m_hwnd, TwipsToPixels(kClientWidth, m_dpi),
                 TwipsToPixels(kClientHeight, m_dpi) + statusHeight, true, m_dpi);
    ::MoveWindow(m_list.Handle(), 0, 0, TwipsToPixels(kListWidth, m_dpi), TwipsToPixels(kListHeight, m_dpi),
                 TRUE);
    m_status.FollowParent();
    ShowCounts();
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    const UINT old = m_dpi;
    m_dpi = dpi;
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
    for (int i = 0; i < kListColumnCount; ++i) {
        const int width = ListView_GetColumnWidth(m_list.Handle(), i);
        ListView_SetColumnWidth(m_list.Handle(), i,
                                ::MulDiv(width, static_cast<int>(dpi), static_cast<int>(old)));
    }
}

void MainWindow::SetWindowCaption(const std::string& caption)
{
    ::SetWindowTextW(m_hwnd, WideFromUtf8(caption).c_str());
}

void MainWindow::RemoveAllRows() { m_rows.RemoveAll(); }

void MainWindow::ShowList() { ::ShowWindow(m_list.Handle(), SW_SHOW); }

}  // namespace korvalis
