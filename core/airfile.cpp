#include "core/airfile.h"

#include <memory>

#include "core/airfile_internal.h"
#include "core/file_io.h"
#include "core/marker_scan.h"

namespace korvalis {

namespace {

// Memory stays flat whatever a file named .air holds. The type record of real files sits
// in their first kilobyte, so the first read is small and most files take just that one.
constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kFirstReadSize = 4 * 1024;

using io::ErrorCode;
using io::File;

// Every failure carries a number other than 0 and -1, even one the system gave none for.
ErrorCode Failed(ErrorCode error) { return error != 0 && error != -1 ? error : kErrorShortTransfer; }

std::unique_ptr<std::uint8_t[]> NewChunk()
{
    return std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize);
}

// The error a stopped read returns inside this file; never leaves it.
constexpr ErrorCode kStopped = 0x200001FF;

// Reads on from the file's position until the scanner has the type byte or the file ends.
ErrorCode ScanFile(File& file, MarkerScanner& scanner, std::uint8_t* chunk, const StopCheck& stop = {})
{
    std::size_t want = kFirstReadSize;
    while (!scanner.Complete()) {
        if (want == kChunkSize && stop && stop()) return kStopped;
        ErrorCode error = 0;
        const std::int64_t got = file.Read(chunk, want, error);
        want = kChunkSize;
        if (got < 0) return Failed(error);
        if (got == 0) break;
        scanner.Feed(chunk, static_cast<std::size_t>(got));
    }
    return 0;
}

std::filesystem::path WithSuffix(const std::filesystem::path& path, const char* suffix)
{
    std::filesystem::path result = path;
    result += suffix;  // ASCII only, so the narrow overload is safe on every platform
    return result;
}

bool SameStretch(const MarkerScanner& a, const MarkerScanner& b)
{
    return a.Complete() && b.Complete() && a.MarkerOffset() == b.MarkerOffset() && a.Digest() == b.Digest();
}

}  // namespace

AirfileRead ReadAirfileTypeOf(const std::filesystem::path& path, const StopCheck& stop)
{
    AirfileRead read;
    ErrorCode error = 0;
    File file = File::OpenRead(path, io::Share::ReadWrite, error);
    if (!file.IsOpen()) {
        read.outcome = AirfileRead::Outcome::Failed;
        read.error = Failed(error);
        return read;
    }
    MarkerScanner scanner;
    const auto chunk = NewChunk();
    error = ScanFile(file, scanner, chunk.get(), stop);
    if (error == kStopped) {
        read.outcome = AirfileRead::Outcome::Stopped;
    } else if (error != 0) {
        read.outcome = AirfileRead::Outcome::Failed;
        read.error = error;
    } else if (scanner.Complete()) {
        read.outcome = AirfileRead::Outcome::Type;
        read.type = scanner.TypeByte();
    }
    return read;
}

std::string ReadAirfileType(const std::filesystem::path& path)
{
    const AirfileRead read = ReadAirfileTypeOf(path);
    return read.outcome == AirfileRead::Outcome::Type ? std::to_string(read.type) : std::string();
}

std::int32_t WriteAirfileType(const std::filesystem::path& path, std::int16_t typeCode)
{
    return detail::WriteAirfileTypeWithHook(path, typeCode, {});
}

std::int32_t RestoreAirfileType(const std::filesystem::path& path, std::uint8_t& restoredType, bool* inBackup)
{
    const auto chunk = NewChunk();
    ErrorCode error = 0;
    const auto backupFailed = [inBackup](ErrorCode why) {
        if (inBackup != nullptr) *inBackup = true;
        return why;
    };
    if (inBackup != nullptr) *inBackup = false;

    // The backup is only read, and nobody may write it meanwhile; a read-only one is fine.
    MarkerScanner saved(true);
    {
        File backup = File::OpenRead(WithSuffix(path, kBackupSuffix), io::Share::ReadOnly, error);
        if (!backup.IsOpen()) return backupFailed(Failed(error));
        if ((error = ScanFile(backup, saved, chunk.get())) != 0) return backupFailed(Failed(error));
    }
    if (!saved.Complete()) return backupFailed(kErrorBackupNoTypeByte);

    const io::PathInfo target = io::QueryPath(path);
    if (target.error != 0) return Failed(target.error);
    if (target.readOnly) return io::AccessDeniedError();
    // The file is read in the handle that writes it, with other writers kept out, so what is
    // compared is what is written to.
    File file = File::OpenWrite(path, io::Share::ReadOnly, error);
    if (!file.IsOpen()) return Failed(error);
    MarkerScanner current(true);
    if ((error = ScanFile(file, current, chunk.get())) != 0) return Failed(error);
    if (!current.Complete()) return kWriteNoMarker;
    // A backup of another version of the file would put its byte where it does not belong.
    if (current.MarkerOffset() != saved.MarkerOffset() || current.MarkerDigest() != saved.MarkerDigest())
        return kErrorBackupMismatch;

    const std::uint8_t typeByte = saved.TypeByte();
    if (!file.Seek(current.TypeByteOffset(), error)) return Failed(error);
    if (!file.WriteAll(&typeByte, 1, error)) return Failed(error);
    if ((error = file.Close()) != 0) return Failed(error);
    restoredType = typeByte;
    return kWriteOk;
}

namespace detail {

std::filesystem::path TemporaryBackupPath(const std::filesystem::path& path)
{
    return WithSuffix(WithSuffix(path, kBackupSuffix), ".tmp");
}

std::int32_t WriteAirfileTypeWithHook(const std::filesystem::path& path, std::int16_t typeCode,
                                      const WriteHook& hook)
{
    const auto notify = [&hook](WriteStep step) {
        if (hook) hook(step);
    };
    const auto chunk = NewChunk();
    ErrorCode error = 0;

    // One handle serves the marker search and the copy, with writers kept out from the first
    // byte read to the last one copied. No type byte behind the marker (none at all, or the
    // marker ends the file) means nothing to write: no backup, nothing created.
    File source = File::OpenRead(path, io::Share::ReadOnly, error);
    if (!source.IsOpen()) return Failed(error);
    MarkerScanner first(true);
    if ((error = ScanFile(source, first, chunk.get())) != 0) return Failed(error);
    if (!first.Complete()) return kWriteNoMarker;
    notify(WriteStep::FirstReadDone);

    // The old backup is only ever replaced whole, so refuse early what could not be replaced.
    const std::filesystem::path backupPath = WithSuffix(path, kBackupSuffix);
    const std::filesystem::path tempPath = TemporaryBackupPath(path);
    const io::PathInfo backup = io::QueryPath(backupPath);
    if (backup.error != 0) return Failed(backup.error);
    if (backup.exists && (backup.directory || backup.readOnly)) return io::AccessDeniedError();

    // The copy goes only into a file made new: opening an existing name would write through a
    // link there into the .air file itself or any other file. Whatever an interrupted run or
    // anyone else left at the temporary name goes first, only when there is something, and
    // with the file let go meanwhile: a hard link to it could not go while it is held.
    File temp = File::CreateNew(tempPath, error);
    if (!temp.IsOpen() && io::AlreadyExists(error)) {
        source.Close();
        io::RemoveQuietly(tempPath);
        temp = File::CreateNew(tempPath, error);
        if (temp.IsOpen()) source = File::OpenRead(path, io::Share::ReadOnly, error);
    }
    if (!temp.IsOpen()) return Failed(error);
    const auto abandon = [&](ErrorCode why) {
        temp.Close();
        io::RemoveQuietly(tempPath);
        return why;
    };
    if (!source.IsOpen()) return abandon(Failed(error));
    notify(WriteStep::BackupOpened);

    // Copy in chunks from the start, checking that the stretch up to the type byte is what the
    // search saw.
    if (!source.Seek(0, error)) return abandon(Failed(error));
    MarkerScanner copiedScan(true);
    std::uint64_t copied = 0;
    for (;;) {
        const std::int64_t got = source.Read(chunk.get(), kChunkSize, error);
        if (got < 0) return abandon(Failed(error));
        if (got == 0) break;
        copiedScan.Feed(chunk.get(), static_cast<std::size_t>(got));
        if (!temp.WriteAll(chunk.get(), static_cast<std::size_t>(got), error)) return abandon(Failed(error));
        copied += static_cast<std::uint64_t>(got);
    }
    notify(WriteStep::BackupCopied);
    if (!SameStretch(first, copiedScan)) return abandon(kErrorFileChanged);
    if (!temp.Flush(error)) return abandon(Failed(error));
    // Where nothing keeps others from removing or replacing the file under an open handle, what
    // was copied must still be the file at its name before it becomes the backup: the same file,
    // not another with the same bytes put there meanwhile.
    io::FileIdentity copiedFrom;
    if (!source.Identity(copiedFrom, error)) return abandon(Failed(error));
    if (!io::StillNamedBy(source, path, error))
        return abandon(error != 0 ? Failed(error) : kErrorFileReplaced);

    // The complete copy takes the backup's name in one step: a crash leaves the old backup or
    // the new one, never half of either.
    source.Close();
    if ((error = temp.Close()) != 0) return abandon(Failed(error));
    if ((error = io::ReplaceWith(tempPath, backupPath)) != 0) return abandon(Failed(error));
    notify(WriteStep::BackupReplaced);

    // Only then is the file opened for writing. Root may write a read-only file under Linux and Wine; Windows
    // never lets anyone.
    const io::PathInfo target = io::QueryPath(path);
    if (target.error != 0) return Failed(target.error);
    if (target.readOnly) return io::AccessDeniedError();
    File file = File::OpenWrite(path, io::Share::ReadOnly, error);
    if (!file.IsOpen()) return Failed(error);
    notify(WriteStep::OpenedForWriting);

    if (typeCode < 0 || typeCode > 255) return kErrorTypeCodeRange;
    // The byte goes only into the file the backup was copied from.
    io::FileIdentity writing;
    if (!file.Identity(writing, error)) return Failed(error);
    if (writing != copiedFrom) return kErrorFileReplaced;
    const auto typeByte = static_cast<std::uint8_t>(typeCode);

    // Another program may have changed the file since the copy: never write at a stale offset.
    std::uint64_t size = 0;
    if (!file.Size(size, error)) return Failed(error);
    if (size != copied) return kErrorFileChanged;
    MarkerScanner recheck(true);
    if ((error = ScanFile(file, recheck, chunk.get())) != 0) return Failed(error);
    if (!SameStretch(first, recheck)) return kErrorFileChanged;

    // The one byte, at the offset the first read found.
    if (!file.Seek(first.TypeByteOffset(), error)) return Failed(error);
    if (!file.WriteAll(&typeByte, 1, error)) return Failed(error);
    return file.Close();
}

}  // namespace detail

}  // namespace korvalis
