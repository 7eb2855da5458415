#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace reelbond {

// Which file a handle refers to, however its path was spelled.
struct FileIdentity {
    std::uint32_t VolumeSerialNumber;
    std::uint64_t FileIndex;
    bool operator==(const FileIdentity&) const = default;
};

// A raw, unbuffered file. Every operation succeeds or raises IoError; an
// operation on a file that is not open raises code 103.
class File {
public:
    // An existing file with read and write access, shared for reading and writing with
    // others. A file marked read-only is refused with "File access denied".
    static File OpenExisting(const std::string& path);
    // Creates the file, or truncates an existing one to length 0; same access and sharing.
    static File Create(const std::string& path);

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool IsOpen() const noexcept;
    std::int64_t Size() const;
    void Seek(std::int64_t position);
    // Reads until count bytes arrived or the file ended; returns how many arrived.
    std::size_t ReadUpTo(void* buffer, std::size_t count);
    // Reads exactly count bytes; fewer is "Read beyond end of file".
    void Read(void* buffer, std::size_t count);
    // Writes exactly count bytes; fewer is "Disk full".
    void Write(const void* buffer, std::size_t count);
    // Cuts the file to length bytes.
    void Truncate(std::int64_t length);
    FileIdentity Identity() const;
    void Close();

private:
    explicit File(void* handle) noexcept : handle_(handle) {}
    // Takes over a handle just opened, or raises the error of the open that failed.
    static File Adopt(void* handle);
    void* Handle() const;

    void* handle_ = nullptr;
};

// True when path names an existing file that is not a directory.
bool FileExists(const std::string& path);

// The identity of the file at path, read through an open for attributes only, so the file
// is never changed and neither a read-only mark nor another program's lock is in the way;
// nullopt when there is no such file or it cannot be asked.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// True when both paths name one file: by identity where both can be asked, otherwise by
// their full paths compared without regard to case.
bool SameFile(const std::string& first, const std::string& second);

} // namespace reelbond
