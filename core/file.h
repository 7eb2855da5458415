#pragma once

#include "core/unique.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace reelbond {

// The code with which an open refuses what is not a file on a disk (a pipe, a device), the
// system's ERROR_BAD_FILE_TYPE: reading one could wait or go on for ever.
inline constexpr int NotADiskFileCode = 222;

// Owners of what CreateFile opens and what FindFirstFile starts, both invalid as
// INVALID_HANDLE_VALUE.
struct FileHandleCloser {
    static void* Invalid() noexcept;
    void operator()(void* handle) const noexcept;
};
struct SearchCloser : FileHandleCloser {
    void operator()(void* search) const noexcept;
};
using UniqueFileHandle = Unique<void*, FileHandleCloser>;
using UniqueSearch = Unique<void*, SearchCloser>;

// A raw, unbuffered file. Every operation succeeds or raises IoError; an
// operation on a file that is not open raises code 103. Here and below, paths may be of any
// length: longer than the system's plain limit of 260 characters works too.
class File {
public:
    // An existing file with read and write access, shared for reading and writing with
    // others. A file marked read-only is refused with "File access denied", one that is not
    // a disk file with NotADiskFileCode.
    static File OpenExisting(const std::string& path);
    // An existing file with read access, shared with other readers but not with writers, so
    // that it cannot change while it is read.
    static File OpenForReading(const std::string& path);
    // Creates a new, empty file of a name of its own in the directory of path, with read and
    // write access. The system deletes it when it is closed, and when the program ends in
    // any other way, unless TakePlaceOf has put it in place first.
    static File CreateBeside(const std::string& path);
    // Takes over a handle just opened, or raises the error of the open that failed; one that
    // is not a disk file is closed and refused with NotADiskFileCode.
    static File Adopt(void* handle);

    File() = default;

    bool IsOpen() const noexcept { return bool(handle_); }
    std::int64_t Size() const;
    std::int64_t Position() const;
    void Seek(std::int64_t position);
    // Reads until count bytes arrived or the file ended; returns how many arrived.
    std::size_t ReadUpTo(void* buffer, std::size_t count);
    // Reads exactly count bytes; fewer is "Read beyond end of file".
    void Read(void* buffer, std::size_t count);
    // Writes exactly count bytes; fewer is "Disk full".
    void Write(const void* buffer, std::size_t count);
    // Cuts the file to length bytes.
    void Truncate(std::int64_t length);
    // Puts a file made by CreateBeside in the place of the file target (replaced if there is
    // one, whose hidden and system marks it takes on); from then on the file is kept. It
    // stays open, at the same position.
    void TakePlaceOf(const std::string& target);
    void Close();

private:
    explicit File(void* handle) noexcept : handle_(handle) {}
    void* Handle() const;
    // Whether the system deletes the file once it is closed.
    void SetDeletedOnClose(bool deleted);

    UniqueFileHandle handle_;
};

// The absolute form of path: resolved against the current directory (or the drive's), with
// "." and ".." taken out. Raises IoError where the system cannot form it.
std::string FullPath(const std::string& path);

// The path as the wide file functions take it, in the \\?\ form once it is too long for the
// plain one.
std::wstring SystemPath(const std::string& path);

// True when path names an existing file that is not a directory.
bool FileExists(const std::string& path);

// Raises the error that TakePlaceOf would meet at the existing file path, found without
// changing it: "File access denied" where it is read-only or may not be deleted, the
// system's sharing violation where another program holds it open.
void CheckReplaceable(const std::string& path);

// True when path does not name a file on a disk at all: a reserved device name (NUL, CON,
// AUX, PRN, COM1, LPT1, ..., with or without an extension, in any directory) or a device
// or pipe path such as \\.\pipe\name. Decided from the name alone.
bool IsDeviceName(const std::string& path);

// What is at a path, looked at once through an open for attributes only, so that nothing
// there changes and neither a read-only mark nor another program's lock is in the way;
// other paths are then compared with it.
class FileAtPath {
public:
    explicit FileAtPath(const std::string& path);

    // False when something other than a disk file is there, such as a pipe or a device.
    bool IsDiskFile() const { return !facts_ || facts_->isDisk; }
    // True when other names this file, however spelled (case, "..", short name, hard or
    // symbolic link, another drive letter); where either cannot be asked, when both
    // full paths are equal.
    bool IsSameFileAs(const std::string& other) const;

    // Size and time of last write, which every name of a file shares.
    struct Stamp {
        std::int64_t size;
        std::uint64_t lastWriteTime;
        bool operator==(const Stamp&) const = default;
    };
    // What one open for attributes tells of a file.
    struct Facts {
        std::uint32_t volumeSerialNumber;
        std::uint64_t fileIndex;
        std::uint32_t links;
        std::wstring finalPath;
        bool isDisk;
        Stamp stamp;
    };
    // Whether two opens of disk files reached one file.
    static bool IsOneFile(const Facts& one, const Facts& other);

private:
    std::wstring fullPath_;
    std::optional<Facts> facts_;
    std::optional<Stamp> stamp_;
};

} // namespace reelbond
