#include "ui/shell_actions.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "catalogue/row_text.h"

namespace korvalis {

namespace {

bool SetClipboardText(HWND owner, const std::wstring& text)
{
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (memory != nullptr) {
        if (void* target = ::GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            // Once handed over, the clipboard owns the memory.
            done = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!done) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return done;
}

}  // namespace

void CopyMarkedRows(HWND owner, const AirfileListView& rows, const std::string& aircraftDir)
{
    std::vector<int> positions;
    for (int i = ListView_GetNextItem(rows.Handle(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(rows.Handle(), i, LVNI_SELECTED)) {
        positions.push_back(i + 1);
    }
    const std::wstring text = CopyText(rows, positions, aircraftDir);
    if (!text.empty()) SetClipboardText(owner, text);
}

namespace {

// Explorer splits its arguments at commas outside quotes, so the path is quoted whole; a
// Windows name cannot hold a quote itself.
std::wstring ExplorerSelectCommandLine(const std::wstring& explorer, const std::wstring& file)
{
    return L"\"" + explorer + L"\" /select,\"" + file + L"\"";
}

class SystemLaunch final : public ShellLaunch {
public:
    HRESULT SelectInFolder(const std::filesystem::path& file) override
    {
        // The shell's objects want a single-threaded apartment on the calling (window's) thread.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        HRESULT hr = E_FAIL;
        if (PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(file.c_str())) {
            hr = ::SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
            ::ILFree(item);
        }
        if (SUCCEEDED(com)) ::CoUninitialize();
        return hr;
    }
    std::int32_t StartProcess(const std::wstring& program, const std::wstring& commandLine) override
    {
        std::wstring line = commandLine;  // CreateProcessW may write into it
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process)) {
            return static_cast<std::int32_t>(::GetLastError());
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return 0;
    }
    std::int32_t StartWithVerb(HWND owner, const std::filesystem::path& program, const wchar_t* verb) override
    {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        // No box of the system's own: the window says what failed. The program may end right
        // after, so the start must be complete when the call returns.
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.hwnd = owner;
        info.lpVerb = verb;
        info.lpFile = program.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ::ShellExecuteExW(&info) ? 0 : static_cast<std::int32_t>(::GetLastError());
    }
};

}  // namespace

ShellLaunch& SystemShellLaunch() noexcept
{
    static SystemLaunch launch;
    return launch;
}

std::int32_t OpenInExplorer(const std::filesystem::path& file, ShellLaunch& launch)
{
    // Wine answers S_FALSE and still opens the folder: only a failure tries Explorer itself.
    if (SUCCEEDED(launch.SelectInFolder(file))) return 0;
    // Named by its full path: a bare "explorer.exe" is looked for in the program's own folder
    // first, where anything of that name could stand.
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return static_cast<std::int32_t>(::GetLastError());
    const std::wstring program = std::wstring(windows, length) + L"\\explorer.exe";
    return launch.StartProcess(program, ExplorerSelectCommandLine(program, file.wstring()));
}

std::filesystem::path OwnProgramPath()
{
    // The call cuts the path off when the buffer is short, and says so only by filling it.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size() || path.size() >= 65536) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace korvalis
