#include "file.h"

#include "io_error.h"
#include "text.h"

#include <algorithm>
#include <utility>
#include <windows.h>

namespace reelbond {
namespace {

// One ReadFile or WriteFile moves at most a DWORD of bytes, and reads of more than
// about 2 GiB were seen to come back short: larger transfers go in pieces.
constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

DWORD PieceOf(std::size_t remaining) {
    return static_cast<DWORD>(std::min(remaining, MaxTransfer));
}

std::optional<FileIdentity> QueryIdentity(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::string FullPath(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::string full(needed, '\0');
    full.resize(GetFullPathNameA(path.c_str(), needed, full.data(), nullptr));
    return full;
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HANDLE OpenHandle(const std::string& path, DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

File File::OpenExisting(const std::string& path) {
    // Windows refuses write access to a read-only file; Wine running as root does not,
    // so the refusal is made here for both.
    if (IsReadOnlyFile(path))
        throw IoError(ERROR_ACCESS_DENIED);
    return Adopt(OpenHandle(path, OPEN_EXISTING));
}

File File::Create(const std::string& path) {
    if (IsReadOnlyFile(path))
        throw IoError(ERROR_ACCESS_DENIED);
    // A file that does not exist yet is made without truncating it: after a truncation,
    // ext4 (under Wine) starts writing the file to disk each time it is closed, which
    // slows a link that reopens its output for every input.
    HANDLE handle = OpenHandle(path, CREATE_NEW);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
        handle = OpenHandle(path, CREATE_ALWAYS);
    return Adopt(handle);
}

File File::Adopt(void* handle) {
    if (handle == INVALID_HANDLE_VALUE)
        ThrowLastError();
    return File(handle);
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_)
            CloseHandle(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

File::~File() {
    if (handle_)
        CloseHandle(handle_);
}

bool File::IsOpen() const noexcept {
    return handle_ != nullptr;
}

void* File::Handle() const {
    if (!handle_)
        throw IoError(IoError::FileNotOpen);
    return handle_;
}

std::int64_t File::Size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(), &size))
        ThrowLastError();
    return size.QuadPart;
}

void File::Seek(std::int64_t position) {
    LARGE_INTEGER distance;
    distance.QuadPart = position;
    if (!SetFilePointerEx(Handle(), distance, nullptr, FILE_BEGIN))
        ThrowLastError();
}

std::size_t File::ReadUpTo(void* buffer, std::size_t count) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!ReadFile(Handle(), bytes + done, PieceOf(count - done), &got, nullptr))
            ThrowLastError();
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void File::Read(void* buffer, std::size_t count) {
    if (ReadUpTo(buffer, count) != count)
        throw IoError(IoError::ShortRead);
}

void File::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD piece = PieceOf(count - done);
        DWORD put = 0;
        if (!WriteFile(Handle(), bytes + done, piece, &put, nullptr))
            ThrowLastError();
        if (put != piece)
            throw IoError(IoError::ShortWrite);
        done += put;
    }
}

void File::Truncate(std::int64_t length) {
    Seek(length);
    if (!SetEndOfFile(Handle()))
        ThrowLastError();
}

FileIdentity File::Identity() const {
    const auto identity = QueryIdentity(Handle());
    if (!identity)
        ThrowLastError();
    return *identity;
}

void File::Close() {
    HANDLE handle = std::exchange(handle_, nullptr);
    if (!handle)
        throw IoError(IoError::FileNotOpen);
    if (!CloseHandle(handle))
        ThrowLastError();
}

bool FileExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const auto identity = QueryIdentity(handle);
    CloseHandle(handle);
    return identity;
}

bool SameFile(const std::string& first, const std::string& second) {
    const auto a = IdentityOf(first);
    const auto b = IdentityOf(second);
    if (a && b)
        return *a == *b;
    return EqualIgnoringCase(FullPath(first), FullPath(second));
}

} // namespace reelbond
