#include "ui/fs_dialog.h"

#include <windowsx.h>

#include <algorithm>
#include <filesystem>

#include "korvalis_version.h"

#include "catalogue/enumerate.h"
#include "core/text.h"
#include "core/window_topmost.h"
#include "ui/dpi.h"
#include "ui/failure_report.h"
#include "ui/folder_path.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

constexpr double kClientWidth = 4545, kClientHeight = 3660;
constexpr TwipsRect kDriveList = {60, 60, 4455, 315};
constexpr TwipsRect kDirList = {60, 480, 4455, 2340};
constexpr TwipsRect kSourceDir = {60, 2880, 4455, 285};
constexpr TwipsRect kOkButton = {1380, 3240, 1215, 375};
constexpr TwipsRect kCancelButton = {60, 3240, 1215, 375};
constexpr TwipsRect kAboutLabel = {60, 900, 4515, 1575};

std::wstring Child(const std::wstring& parent, const std::wstring& name)
{
    return (std::filesystem::path(parent) / name).wstring();
}

std::wstring WindowsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    return length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

// The folders the directory list offers: the same visible sub-folders the scan would look into.
bool ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& names)
{
    const bool listed = EnumerateFolderEntries(
        folder, [&](const std::filesystem::path& name, std::optional<bool> isDirectory) {
            if (isDirectory == true && name != L"." && name != L"..") names.push_back(name.wstring());
        });
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    return listed;
}

}  // namespace

void FsDialog::MakeWindowNormal(HWND window)
{
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::wstring AboutText()
{
    const wchar_t* lines[] = {L"Korvalis",
                              L"",
                              L"Copyright (C) 2026 the Korvalis developers",
                              L"2004",
                              L"",
                              L"Version " KORVALIS_VERSION_TEXT,
                              L"Mailto: developers@korvalis.example"};
    std::wstring text = lines[0];
    for (std::size_t i = 1; i < std::size(lines); ++i) text += std::wstring(L"\r") + lines[i];
    return text;
}

FsDialog::~FsDialog()
{
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
}

void FsDialog::OpenModeless()
{
    if (m_hwnd != nullptr) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Owned by the main window, so it has no taskbar button of its own; it disables the
    // main window itself.
    ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FSDIALOG), m_main, &FsDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
    if (m_hwnd == nullptr) return;
    ::ShowWindow(m_hwnd, SW_SHOW);
    SetWindowTopmost(m_hwnd);
    if (m_main != nullptr) ::EnableWindow(m_main, FALSE);
}

void FsDialog::Close()
{
    if (m_hwnd == nullptr) return;
    MakeWindowNormal(m_hwnd);
    if (m_main != nullptr) {
        // Enabled before the dialog goes, so that Windows does not hand the focus elsewhere.
        ::EnableWindow(m_main, TRUE);
        ::SetForegroundWindow(m_main);
        ::BringWindowToTop(m_main);
    }
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    ::DestroyWindow(hwnd);
}

INT_PTR CALLBACK FsDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<FsDialog*>(lParam);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<FsDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;
    return GuardedProc(
        L"handling the folder dialog",
        [&] { return self->HandleMessage(message, wParam, lParam); }, [] { return INT_PTR{FALSE}; });
}

INT_PTR FsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            Close();
            return TRUE;
        case WM_DPICHANGED:
            Layout();
            return TRUE;
        default:
            return FALSE;
    }
}

void FsDialog::OnInitDialog()
{
    Layout();
    CentreOverMain();
    if (m_state.DialogMode == "About") {
        ::SetWindowTextW(m_hwnd, L"About");
        for (int id : {IDC_DIRLIST, IDC_DRIVELIST, IDCANCEL, IDC_SOURCEDIR}) {
            ::ShowWindow(::GetDlgItem(m_hwnd, id), SW_HIDE);
        }
        ::SetDlgItemTextW(m_hwnd, IDC_ABOUTLABEL, AboutText().c_str());
        ::ShowWindow(::GetDlgItem(m_hwnd, IDC_ABOUTLABEL), SW_SHOW);
        ::SetFocus(::GetDlgItem(m_hwnd, IDOK));
        return;
    }
    ::ShowWindow(::GetDlgItem(m_hwnd, IDC_ABOUTLABEL), SW_HIDE);
    FillDrives();
    std::wstring current(MAX_PATH, L'\0');
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
    if (length > current.size()) {
        current.resize(length);
        length = ::GetCurrentDirectoryW(length, current.data());
    }
    current.resize(length);
    SetDirPath(current);
}

void FsDialog::Layout()
{
    const UINT dpi = DpiForWindow(m_hwnd);
    const auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
    SizeClientTo(m_hwnd, px(kClientWidth), px(kClientHeight), false, dpi);
    const auto place = [&](int id, const TwipsRect& r, double left) {
        ::MoveWindow(::GetDlgItem(m_hwnd, id), px(left), px(r.top), px(r.width), px(r.height), TRUE);
    };
    place(IDC_DRIVELIST, kDriveList, kDriveList.left);
    place(IDC_DIRLIST, kDirList, kDirList.left);
    place(IDC_SOURCEDIR, kSourceDir, kSourceDir.left);
    place(IDC_ABOUTLABEL, kAboutLabel, kAboutLabel.left);
    place(IDCANCEL, kCancelButton, kCancelButton.left);
    if (m_state.DialogMode == "About") {
        // Centred in the client area; the outer width would put it off by the border.
        RECT client;
        ::GetClientRect(m_hwnd, &client);
        const int left = (client.right - px(kOkButton.width)) / 2;
        ::MoveWindow(::GetDlgItem(m_hwnd, IDOK), left, px(kOkButton.top), px(kOkButton.width),
                     px(kOkButton.height), TRUE);
    } else {
        place(IDOK, kOkButton, kOkButton.left);
    }
}

void FsDialog::CentreOverMain()
{
    if (m_main != nullptr) CentreOver(m_hwnd, m_main);
}

void FsDialog::OnCommand(int id, int code)
{
    switch (id) {
        case IDOK:
            OnOk();
            break;
        case IDCANCEL:
            Close();
            break;
        case IDC_DIRLIST:
            if (code == LBN_DBLCLK) OnDirOpen();
            break;
        case IDC_DRIVELIST:
            // LastDrive follows the list whenever the user is about to pick, so a failed change
            // can go back to the drive shown before.
            if (code == CBN_DROPDOWN || code == CBN_SETFOCUS) {
                HWND drives = ::GetDlgItem(m_hwnd, IDC_DRIVELIST);
                const int index = ComboBox_GetCurSel(drives);
                if (index >= 0) {
                    wchar_t text[8] = {};
                    if (ComboBox_GetLBTextLen(drives, index) < 8) ComboBox_GetLBText(drives, index, text);
                    m_lastDrive = text;
                }
            } else if (code == CBN_SELCHANGE) {
                OnDriveChange();
            }
            break;
        default:
            break;
    }
}

void FsDialog::OnOk()
{
    if (m_state.DialogMode == "About") {
        Close();
        return;
    }
    HWND edit = ::GetDlgItem(m_hwnd, IDC_SOURCEDIR);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    // The acceptance closes this dialog before it scans.
    if (m_accept) m_accept(Utf8FromWide(text));
}

void FsDialog::FillDrives()
{
    HWND drives = ::GetDlgItem(m_hwnd, IDC_DRIVELIST);
    ComboBox_ResetContent(drives);
    wchar_t buffer[512] = {};
    const DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
    for (const wchar_t* drive = buffer; drive < buffer + length && *drive != L'\0';
         drive += ::lstrlenW(drive) + 1) {
        // Shown in lower case, as the classic drive list does.
        const wchar_t letter =
            drive[0] >= L'A' && drive[0] <= L'Z' ? static_cast<wchar_t>(drive[0] + 32) : drive[0];
        const wchar_t name[] = {letter, L':', L'\0'};
        ComboBox_AddString(drives, name);
    }
}

bool FsDialog::SetDirPath(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length > full.size()) {
        full.resize(length);
        length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    }
    if (length == 0) return false;
    full.resize(length);
    // The chain of open folders from the root down, then the folders inside the current one.
    const std::vector<std::wstring> chain = FolderChain(full);
    full = chain.back();

    std::vector<std::wstring> children;
    if (!ListSubfolders(full, children)) return false;

    HWND list = ::GetDlgItem(m_hwnd, IDC_DIRLIST);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListBox_ResetContent(list);
    m_dirItems.clear();
    std::size_t depth = 0;
    for (const std::wstring& folder : chain) {
        const std::wstring name = depth == 0 ? folder : folder.substr(folder.find_last_of(L'\\') + 1);
        ListBox_AddString(list, (std::wstring(depth * 2, L' ') + L"[-] " + name).c_str());
        m_dirItems.push_back(folder);
        ++depth;
    }
    for (const std::wstring& name : children) {
        ListBox_AddString(list, (std::wstring(depth * 2, L' ') + L"[+] " + name).c_str());
        m_dirItems.push_back(Child(full, name));
    }
    ListBox_SetCurSel(list, static_cast<int>(chain.size()) - 1);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);

    m_dirPath = full;
    // Keep the drive list on the drive shown.
    HWND drives = ::GetDlgItem(m_hwnd, IDC_DRIVELIST);
    const std::wstring drive = DriveToShow(full, m_lastDrive, WindowsFolder());
    const int index = ComboBox_FindStringExact(drives, -1, drive.c_str());
    if (index >= 0) ComboBox_SetCurSel(drives, index);
    m_lastDrive = drive;
    OnFolderChange();
    return true;
}

void FsDialog::OnDirOpen()
{
    const int index = ListBox_GetCurSel(::GetDlgItem(m_hwnd, IDC_DIRLIST));
    if (index < 0 || static_cast<std::size_t>(index) >= m_dirItems.size()) return;
    SetDirPath(m_dirItems[static_cast<std::size_t>(index)]);
}

void FsDialog::OnDriveChange()
{
    HWND drives = ::GetDlgItem(m_hwnd, IDC_DRIVELIST);
    const int index = ComboBox_GetCurSel(drives);
    wchar_t drive[8] = {};
    if (index < 0 || ComboBox_GetLBTextLen(drives, index) >= 8) return;
    ComboBox_GetLBText(drives, index, drive);
    // The drive's own current folder, as the classic drive list enters it.
    if (SetDirPath(drive)) return;
    const int previous = ComboBox_FindStringExact(drives, -1, m_lastDrive.c_str());
    ComboBox_SetCurSel(drives, previous);
}

void FsDialog::OnFolderChange() { ::SetDlgItemTextW(m_hwnd, IDC_SOURCEDIR, m_dirPath.c_str()); }

}  // namespace korvalis
