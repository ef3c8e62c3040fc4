#include "core/file_io.h"

#include <windows.h>

#include "core/handles_win32.h"

#include <utility>

namespace korvalis::io {

namespace {

ErrorCode LastError() { return static_cast<ErrorCode>(::GetLastError()); }

DWORD ShareFlags(Share share)
{
    // Others may always read; with ReadOnly nobody else may write or delete meanwhile.
    return share == Share::ReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                                     : FILE_SHARE_READ;
}

void* OpenHandle(const std::filesystem::path& path, DWORD access, DWORD share, DWORD disposition,
                 ErrorCode& error)
{
    HANDLE h = ::CreateFileW(Win32Path(path).c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = LastError();
        return nullptr;
    }
    error = 0;
    return h;
}

bool IdentityOf(HANDLE handle, FileIdentity& identity, ErrorCode& error)
{
    // The file's number from the file system's record of the handle. GetFileInformationByHandle
    // would give it too, with the volume's serial number, which under Wine costs the server about
    // ten requests a call; the files compared lie in one folder, so on one volume.
    using QueryInformationFile = LONG(WINAPI*)(HANDLE, void* ioStatus, void* info, ULONG size, int infoClass);
    static const auto query = reinterpret_cast<QueryInformationFile>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
    constexpr int kFileInternalInformation = 6;
    struct {
        void* status;
        ULONG_PTR information;
    } ioStatus{};
    LARGE_INTEGER index{};
    if (query != nullptr && query(handle, &ioStatus, &index, sizeof index, kFileInternalInformation) >= 0) {
        identity = {0, static_cast<std::uint64_t>(index.QuadPart)};
        error = 0;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        error = LastError();
        return false;
    }
    identity = {0, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    error = 0;
    return true;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept : m_native(std::exchange(other.m_native, kClosed)) {}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        m_native = std::exchange(other.m_native, kClosed);
    }
    return *this;
}

File File::OpenRead(const std::filesystem::path& path, Share share, ErrorCode& error)
{
    return File(OpenHandle(path, GENERIC_READ, ShareFlags(share), OPEN_EXISTING, error));
}

File File::OpenWrite(const std::filesystem::path& path, Share share, ErrorCode& error)
{
    return File(OpenHandle(path, GENERIC_READ | GENERIC_WRITE, ShareFlags(share), OPEN_EXISTING, error));
}

File File::CreateNew(const std::filesystem::path& path, ErrorCode& error)
{
    return File(OpenHandle(path, GENERIC_WRITE, 0, CREATE_NEW, error));
}

bool File::IsOpen() const noexcept { return m_native != kClosed; }

std::int64_t File::Read(void* buffer, std::size_t size, ErrorCode& error)
{
    DWORD got = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!::ReadFile(m_native, buffer, want, &got, nullptr)) {
        error = LastError();
        return -1;
    }
    error = 0;
    return got;
}

bool File::WriteAll(const void* data, std::size_t size, ErrorCode& error)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD put = 0;
        if (!::WriteFile(m_native, next, want, &put, nullptr)) {
            error = LastError();
            return false;
        }
        if (put == 0) {
            error = ERROR_WRITE_FAULT;
            return false;
        }
        next += put;
        size -= put;
    }
    error = 0;
    return true;
}

bool File::Seek(std::uint64_t offset, ErrorCode& error)
{
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(m_native, to, nullptr, FILE_BEGIN)) {
        error = LastError();
        return false;
    }
    error = 0;
    return true;
}

bool File::Size(std::uint64_t& size, ErrorCode& error)
{
    LARGE_INTEGER got;
    if (!::GetFileSizeEx(m_native, &got)) {
        error = LastError();
        return false;
    }
    size = static_cast<std::uint64_t>(got.QuadPart);
    error = 0;
    return true;
}

bool File::Flush(ErrorCode& error)
{
    if (!::FlushFileBuffers(m_native)) {
        error = LastError();
        return false;
    }
    error = 0;
    return true;
}

bool File::Identity(FileIdentity& identity, ErrorCode& error) const
{
    return IdentityOf(m_native, identity, error);
}

ErrorCode File::Close()
{
    if (m_native == kClosed) return 0;
    return ::CloseHandle(std::exchange(m_native, kClosed)) ? 0 : LastError();
}

PathInfo QueryPath(const std::filesystem::path& path)
{
    PathInfo info;
    const DWORD attributes = ::GetFileAttributesW(Win32Path(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            info.error = static_cast<ErrorCode>(error);
        return info;
    }
    info.exists = true;
    info.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return info;
}

bool StillNamedBy(const File&, const std::filesystem::path&, ErrorCode& error)
{
    // Opened without FILE_SHARE_DELETE, the held file can be neither deleted nor renamed, nor can
    // another be renamed over its name (Wine refuses it too), until it is closed.
    error = 0;
    return true;
}

ErrorCode ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::MoveFileExW(Win32Path(from).c_str(), Win32Path(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : LastError();
}

void RemoveQuietly(const std::filesystem::path& path) noexcept { ::DeleteFileW(Win32Path(path).c_str()); }

ErrorCode AccessDeniedError() noexcept { return ERROR_ACCESS_DENIED; }

bool AlreadyExists(ErrorCode error) noexcept
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Paths of MAX_PATH characters or more fail in every Win32 file call unless the system has
// long paths switched on, which it has not by default; the "\\?\" form works everywhere.
// That form skips all normalisation, so it is made from the full path, which has only
// backslashes and no "." or "..".
std::wstring Win32Path(const std::filesystem::path& path)
{
    const std::wstring& text = path.native();
    if (text.size() < MAX_PATH || text.rfind(L"\\\\?\\", 0) == 0 || text.rfind(L"\\\\.\\", 0) == 0)
        return text;
    const DWORD needed = ::GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return text;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return text;
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share\...
    return L"\\\\?\\" + full;
}

}  // namespace korvalis::io
