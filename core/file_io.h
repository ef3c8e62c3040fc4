#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace korvalis::io {

// Operating-system error number: GetLastError() on Windows, errno elsewhere. 0 means none.
using ErrorCode = std::int32_t;

// What other openers may do while we hold a file. Only Windows enforces it.
enum class Share { ReadWrite, ReadOnly };

// Which file a handle stands for: the volume and the file's number on it. Under Windows only the
// number is filled in (the volume is 0): the files compared lie in one folder, so on one volume.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

class File {
public:
    File() noexcept = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // An existing file for reading.
    static File OpenRead(const std::filesystem::path& path, Share share, ErrorCode& error);
    // An existing file for reading and writing; never created, never truncated.
    static File OpenWrite(const std::filesystem::path& path, Share share, ErrorCode& error);
    // A new file for writing, shared with nobody; fails when anything already has the name,
    // so a link standing there is never written through.
    static File CreateNew(const std::filesystem::path& path, ErrorCode& error);

    [[nodiscard]] bool IsOpen() const noexcept;

    // Bytes read, 0 at the end of the file, -1 on failure (error set).
    std::int64_t Read(void* buffer, std::size_t size, ErrorCode& error);
    bool WriteAll(const void* data, std::size_t size, ErrorCode& error);
    bool Seek(std::uint64_t offset, ErrorCode& error);
    bool Size(std::uint64_t& size, ErrorCode& error);
    bool Flush(ErrorCode& error);
    bool Identity(FileIdentity& identity, ErrorCode& error) const;
    // Closes the file; returns the error of the close itself (0 when none or not open).
    ErrorCode Close();

private:
#ifdef _WIN32
    using Native = void*;  // HANDLE; nullptr when closed
    static constexpr Native kClosed = nullptr;
#else
    using Native = int;
    static constexpr Native kClosed = -1;
#endif
    explicit File(Native native) noexcept : m_native(native) {}
    Native m_native = kClosed;
};

struct PathInfo {
    bool exists = false;
    bool directory = false;
    bool readOnly = false;  // the read-only attribute (Windows) or no write bit at all (POSIX)
    ErrorCode error = 0;    // set when the query failed for a reason other than absence
};

PathInfo QueryPath(const std::filesystem::path& path);

// Whether `path` still names the file `held` has open, which was opened with Share::ReadOnly:
// false with `error` 0 when another file, or none, is there now; false with `error` set when
// that could not be found out.
bool StillNamedBy(const File& held, const std::filesystem::path& path, ErrorCode& error);

// Puts `from` in place of `to` in one step, replacing an existing `to`.
ErrorCode ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to);

// Deletes a file; failures are ignored, as the callers only tidy up.
void RemoveQuietly(const std::filesystem::path& path) noexcept;

// The error number for access refused by a read-only attribute.
ErrorCode AccessDeniedError() noexcept;

// Whether a creation failed because something already has the name.
bool AlreadyExists(ErrorCode error) noexcept;

#ifdef _WIN32
// The path as Win32 file calls take it: unchanged when short, else in extended-length form.
std::wstring Win32Path(const std::filesystem::path& path);
#endif

}  // namespace korvalis::io
