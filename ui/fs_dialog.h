#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/session_state.h"
#include "ui/directory_choice.h"

namespace korvalis {

// frmFSDialog: the folder chooser ("Dir") and the About box ("About"), one dialog with two
// faces chosen by DialogMode when it opens. It opens without modality but keeps the main
// window disabled and itself on top until it closes.
class FsDialog final : public FolderDialog {
public:
    explicit FsDialog(SessionState& state) noexcept : m_state(state) {}
    ~FsDialog() override;
    FsDialog(const FsDialog&) = delete;
    FsDialog& operator=(const FsDialog&) = delete;

    void SetMainWindow(HWND main) noexcept { m_main = main; }
    // "OK" in the "Dir" face hands the folder text here (the own-folder acceptance).
    void SetAcceptHandler(std::function<void(const std::string&)> accept) { m_accept = std::move(accept); }

    void OpenModeless() override;
    void Close() override;

    // Takes a window out of the always-on-top layer.
    static void MakeWindowNormal(HWND window);

    [[nodiscard]] bool IsOpen() const noexcept { return m_hwnd != nullptr; }
    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }
    // The folder the directory list shows, exactly as txtSourceDir receives it.
    [[nodiscard]] const std::wstring& DirPath() const noexcept { return m_dirPath; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnInitDialog();
    void OnCommand(int id, int code);
    void OnOk();
    void Layout();
    void CentreOverMain();

    void FillDrives();
    void OnDriveChange();
    // Sets the directory list's path; false when the folder cannot be listed.
    bool SetDirPath(const std::wstring& path);
    void OnDirOpen();
    void OnFolderChange();

    SessionState& m_state;
    HWND m_main = nullptr;
    HWND m_hwnd = nullptr;
    std::function<void(const std::string&)> m_accept;
    std::wstring m_dirPath;
    std::vector<std::wstring> m_dirItems;  // the full path behind each directory list entry
    std::wstring m_lastDrive;              // LastDrive: the drive shown before a change
};

// The About text, lines separated by a single carriage return.
std::wstring AboutText();

}  // namespace korvalis
