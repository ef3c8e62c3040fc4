#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "ui/airfile_listview.h"

namespace korvalis {

// Puts the marked rows on the clipboard as tab-separated text, in the order shown; with nothing
// marked the clipboard keeps what it has.
void CopyMarkedRows(HWND owner, const AirfileListView& rows, const std::string& aircraftDir);

// What the window starts through Windows, one seam for each road: the shell showing a file in
// its folder, a program started by its command line, and a program started with a verb.
class ShellLaunch {
public:
    virtual ~ShellLaunch() = default;
    // SHOpenFolderAndSelectItems on `file`.
    virtual HRESULT SelectInFolder(const std::filesystem::path& file) = 0;
    // CreateProcessW: 0 when started, else the system's error number.
    virtual std::int32_t StartProcess(const std::wstring& program, const std::wstring& commandLine) = 0;
    // ShellExecuteExW with `verb` and no arguments: 0 when started, else the system's error number
    // (ERROR_CANCELLED when the user declined).
    virtual std::int32_t StartWithVerb(HWND owner, const std::filesystem::path& program,
                                       const wchar_t* verb) = 0;
};
ShellLaunch& SystemShellLaunch() noexcept;

// Shows `file` selected in its folder in Explorer: through the shell, else explorer.exe by its
// full path in the Windows folder. 0 when shown, else the system's error number.
std::int32_t OpenInExplorer(const std::filesystem::path& file, ShellLaunch& launch);

// The full path of this program's own file, however long.
std::filesystem::path OwnProgramPath();

}  // namespace korvalis
