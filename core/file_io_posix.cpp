#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace korvalis::io {

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

namespace {

int OpenFd(const std::filesystem::path& path, int flags, ErrorCode& error)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        // Windows' file calls refuse a folder; open(2) accepts one for reading.
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            error = EISDIR;
            return -1;
        }
    }
    return fd;
}

}  // namespace

File File::OpenRead(const std::filesystem::path& path, Share, ErrorCode& error)
{
    return File(OpenFd(path, O_RDONLY, error));
}

File File::OpenWrite(const std::filesystem::path& path, Share, ErrorCode& error)
{
    return File(OpenFd(path, O_RDWR, error));
}

File File::CreateNew(const std::filesystem::path& path, ErrorCode& error)
{
    // O_EXCL also refuses a symbolic link, even one whose target does not exist.
    return File(OpenFd(path, O_WRONLY | O_CREAT | O_EXCL, error));
}

bool File::IsOpen() const noexcept { return m_native != kClosed; }

std::int64_t File::Read(void* buffer, std::size_t size, ErrorCode& error)
{
    ssize_t got;
    do {
        got = ::read(m_native, buffer, size);
    } while (got < 0 && errno == EINTR);
    error = got < 0 ? errno : 0;
    return got;
}

bool File::WriteAll(const void* data, std::size_t size, ErrorCode& error)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(m_native, next, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        next += put;
        size -= static_cast<std::size_t>(put);
    }
    error = 0;
    return true;
}

bool File::Seek(std::uint64_t offset, ErrorCode& error)
{
    if (::lseek(m_native, static_cast<off_t>(offset), SEEK_SET) < 0) {
        error = errno;
        return false;
    }
    error = 0;
    return true;
}

bool File::Size(std::uint64_t& size, ErrorCode& error)
{
    struct stat st {};
    if (::fstat(m_native, &st) != 0) {
        error = errno;
        return false;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    error = 0;
    return true;
}

bool File::Flush(ErrorCode& error)
{
    if (::fsync(m_native) != 0) {
        error = errno;
        return false;
    }
    error = 0;
    return true;
}

bool File::Identity(FileIdentity& identity, ErrorCode& error) const
{
    struct stat st {};
    if (::fstat(m_native, &st) != 0) {
        error = errno;
        return false;
    }
    identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    error = 0;
    return true;
}

ErrorCode File::Close()
{
    if (m_native == kClosed) return 0;
    const int rc = ::close(std::exchange(m_native, kClosed));
    return rc == 0 || errno == EINTR ? 0 : errno;
}

PathInfo QueryPath(const std::filesystem::path& path)
{
    PathInfo info;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) info.error = errno;
        return info;
    }
    info.exists = true;
    info.directory = S_ISDIR(st.st_mode);
    // Root ignores mode bits, so "read-only" is read from the bits themselves, as Wine does.
    info.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return info;
}

bool StillNamedBy(const File& held, const std::filesystem::path& path, ErrorCode& error)
{
    // Nothing here keeps others from renaming another file over the name while it is held.
    FileIdentity heldIdentity;
    if (!held.Identity(heldIdentity, error)) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = errno == ENOENT ? 0 : errno;
        return false;
    }
    error = 0;
    return heldIdentity ==
           FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

ErrorCode ReplaceWith(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void RemoveQuietly(const std::filesystem::path& path) noexcept { ::unlink(path.c_str()); }

ErrorCode AccessDeniedError() noexcept { return EACCES; }

bool AlreadyExists(ErrorCode error) noexcept { return error == EEXIST; }

}  // namespace korvalis::io
