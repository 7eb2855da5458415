#include "file.h"

#include "io_error.h"
#include "text.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace reelbond {
namespace {

// One ReadFile or WriteFile moves at most a DWORD of bytes, and reads of more than
// about 2 GiB were seen to come back short: larger transfers go in pieces.
constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

DWORD PieceOf(std::size_t remaining) {
    return static_cast<DWORD>(std::min(remaining, MaxTransfer));
}

// The full path as the system forms it; none where it cannot.
std::optional<std::wstring> TryFullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return std::nullopt;
    full.resize(length);
    return full;
}

// The full path, or the path as given where the system cannot form one.
std::wstring WideFullPath(const std::string& path) {
    const std::wstring wide = Widened(path);
    return TryFullPath(wide).value_or(wide);
}

} // namespace

// As given while the path is short; once its full path reaches the plain limit (under Wine
// the plain form fails with 206 from 260 characters on), that full path in the \\?\ form,
// \\?\UNC\ for a share.
std::wstring SystemPath(const std::string& path) {
    const std::wstring wide = Widened(path);
    const auto full = TryFullPath(wide);
    if (!full || full->size() < MAX_PATH || full->starts_with(L"\\\\?\\") ||
        full->starts_with(L"\\\\.\\"))
        return wide;
    if (full->starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full->substr(2);
    return L"\\\\?\\" + *full;
}

namespace {

HANDLE OpenHandle(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
    return CreateFileW(SystemPath(path).c_str(), access, sharing, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// \\.\NUL, \\.\pipe\name, \\?\GLOBALROOT\...: everything in the device namespace but a
// drive or a share reached through \\?\.
bool IsDevicePath(const std::string& full) {
    if (full.starts_with("\\\\.\\"))
        return true;
    if (!full.starts_with("\\\\?\\"))
        return false;
    const std::string rest = full.substr(4);
    const bool drive =
        rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':';
    return !drive && !EqualIgnoringCase(Widened(rest.substr(0, 4)), L"UNC\\");
}

// The names Windows keeps for devices, whatever follows the first dot and however written.
bool IsReservedName(std::string name) {
    name.resize(std::min(name.find('.'), name.size()));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static const std::set<std::string> Reserved = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (Reserved.count(name))
        return true;
    if (name.size() < 4 || (name.substr(0, 3) != "COM" && name.substr(0, 3) != "LPT"))
        return false;
    // A digit, or a superscript one, two or three (UTF-8).
    const std::string port = name.substr(3);
    return (port.size() == 1 && std::isdigit(static_cast<unsigned char>(port[0]))) ||
           port == "\xC2\xB9" || port == "\xC2\xB2" || port == "\xC2\xB3";
}

// A final path that goes through a network share, where the client cannot see how the
// server's folders are shared.
bool IsOnShare(const std::wstring& finalPath) {
    return EqualIgnoringCase(finalPath.substr(0, 8), L"\\\\?\\UNC\\");
}

std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), MAX_PATH, 0);
    if (length >= MAX_PATH) {
        path.resize(length);
        length = GetFinalPathNameByHandleW(handle, path.data(), length, 0);
    }
    path.resize(length < path.size() ? length : 0);
    return path;
}

std::int64_t SizeOf(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((std::uint64_t{high} << 32) | low);
}

std::uint64_t TimeOf(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

std::optional<FileAtPath::Facts> FactsAt(const std::string& path) {
    // Opened for attributes only.
    const UniqueFileHandle file(OpenHandle(path, FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           OPEN_EXISTING));
    if (!file)
        return std::nullopt;
    const bool isDisk = GetFileType(file.get()) == FILE_TYPE_DISK;
    BY_HANDLE_FILE_INFORMATION info;
    if (!isDisk || !GetFileInformationByHandle(file.get(), &info))
        return FileAtPath::Facts{0, 0, 0, L"", isDisk, {}};
    return FileAtPath::Facts{
        info.dwVolumeSerialNumber,
        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
        info.nNumberOfLinks,
        FinalPathOf(file.get()),
        true,
        {SizeOf(info.nFileSizeHigh, info.nFileSizeLow), TimeOf(info.ftLastWriteTime)}};
}

// From the attributes alone, which costs far less than an open (under Wine, asking an open
// file for its identity costs a millisecond, for the volume's serial number).
std::optional<FileAtPath::Stamp> StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileAtPath::Stamp{SizeOf(data.nFileSizeHigh, data.nFileSizeLow),
                             TimeOf(data.ftLastWriteTime)};
}

bool MarkDeletedOnClose(HANDLE file, bool deleted) {
    FILE_DISPOSITION_INFO disposition{deleted};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Gives the open file the hidden and system marks of the file at path, if there is one.
void TakeMarksOf(HANDLE file, const std::wstring& path) {
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD old = GetFileAttributesW(path.c_str());
    if (old == INVALID_FILE_ATTRIBUTES || !(old & marks))
        return;
    FILE_BASIC_INFO basic{.FileAttributes = (old & marks) | FILE_ATTRIBUTE_ARCHIVE};
    if (!SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic))
        ThrowLastError();
}

// Renames the open file to the full path target, replacing a file there; through the handle,
// so that the file stays open and nobody else's open is needed.
void RenameOver(HANDLE file, const std::wstring& target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(target.begin(), target.end(), rename->FileName);
    if (!SetFileInformationByHandle(file, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size())))
        ThrowLastError();
}

} // namespace

void* FileHandleCloser::Invalid() noexcept {
    return INVALID_HANDLE_VALUE;
}

void FileHandleCloser::operator()(void* handle) const noexcept {
    CloseHandle(handle);
}

void SearchCloser::operator()(void* search) const noexcept {
    FindClose(search);
}

File File::OpenExisting(const std::string& path) {
    // Windows refuses write access to a read-only file; Wine running as root does not,
    // so the refusal is made here for both.
    if (IsReadOnlyFile(path))
        throw IoError(ERROR_ACCESS_DENIED);
    return Adopt(OpenHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            OPEN_EXISTING));
}

File File::OpenForReading(const std::string& path) {
    return Adopt(OpenHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

File File::CreateBeside(const std::string& path) {
    const std::string full = FullPath(path);
    const std::string directory = full.substr(0, full.find_last_of('\\') + 1);
    // Made new, never by truncating a file: after a truncation ext4 (under Wine) writes the
    // file to disk when it is closed. A name taken by another file, left from a process of
    // the same number, is never touched: the next one is tried.
    for (unsigned attempt = 1;; ++attempt) {
        const std::string name = directory + "~rb" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        HANDLE handle = OpenHandle(name, GENERIC_READ | GENERIC_WRITE | DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_NEW);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
            continue;
        File file = Adopt(handle);
        // Marked for deletion rather than opened with FILE_FLAG_DELETE_ON_CLOSE: that flag can
        // be taken back only through FileDispositionInfoEx (Windows 10 1607 on), which Wine 8
        // does not have.
        file.SetDeletedOnClose(true);
        return file;
    }
}

static_assert(NotADiskFileCode == ERROR_BAD_FILE_TYPE);

File File::Adopt(void* handle) {
    if (handle == INVALID_HANDLE_VALUE)
        ThrowLastError();
    File file(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK)
        throw IoError(NotADiskFileCode);
    return file;
}

void* File::Handle() const {
    if (!handle_)
        throw IoError(IoError::FileNotOpen);
    return handle_.get();
}

std::int64_t File::Position() const {
    LARGE_INTEGER position;
    if (!SetFilePointerEx(Handle(), LARGE_INTEGER{}, &position, FILE_CURRENT))
        ThrowLastError();
    return position.QuadPart;
}

std::int64_t File::Size() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(), &size))
        ThrowLastError();
    return size.QuadPart;
}

void File::Seek(std::int64_t position) {
    const LARGE_INTEGER distance{.QuadPart = position};
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

void File::SetDeletedOnClose(bool deleted) {
    if (!MarkDeletedOnClose(Handle(), deleted))
        ThrowLastError();
}

void File::TakePlaceOf(const std::string& target) {
    // A full path: Wine takes any other as relative to the current directory.
    const std::wstring targetPath = SystemPath(FullPath(target));
    // Kept before it is renamed: a program that dies in between leaves a whole file beside
    // the target, never a target that the system deletes.
    SetDeletedOnClose(false);
    try {
        TakeMarksOf(Handle(), targetPath);
        RenameOver(Handle(), targetPath);
    } catch (const IoError&) {
        // The rename's error is the one to report.
        MarkDeletedOnClose(Handle(), true);
        throw;
    }
}

void File::Close() {
    if (!handle_)
        throw IoError(IoError::FileNotOpen);
    if (!CloseHandle(handle_.release()))
        ThrowLastError();
}

std::string FullPath(const std::string& path) {
    const auto full = TryFullPath(Widened(path));
    if (!full)
        ThrowLastError();
    return Narrowed(*full);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CheckReplaceable(const std::string& path) {
    if (IsReadOnlyFile(path))
        throw IoError(ERROR_ACCESS_DENIED);
    // With the delete access that a rename over it needs, and alone: a rename cannot replace
    // a file that is open anywhere, even by a program that shares deleting it.
    const UniqueFileHandle file(OpenHandle(path, DELETE, 0, OPEN_EXISTING));
    if (!file)
        ThrowLastError();
}

bool IsDeviceName(const std::string& path) {
    const std::string full = Narrowed(WideFullPath(path));
    // Windows itself turns most device names into device paths (NUL.mpg into \\.\NUL).
    return IsDevicePath(full) || IsReservedName(full.substr(full.find_last_of('\\') + 1));
}

FileAtPath::FileAtPath(const std::string& path)
    : fullPath_(WideFullPath(path)), facts_(FactsAt(path)), stamp_(StampOf(path)) {}

bool FileAtPath::IsSameFileAs(const std::string& other) const {
    const auto otherStamp = facts_ ? StampOf(other) : std::nullopt;
    // Every name of one file shows its size and time of last write.
    if (stamp_ && otherStamp && *stamp_ != *otherStamp)
        return false;
    const auto otherFacts = otherStamp ? FactsAt(other) : std::nullopt;
    if (!otherFacts)
        return EqualIgnoringCase(fullPath_, WideFullPath(other));
    return IsOneFile(*facts_, *otherFacts);
}

bool FileAtPath::IsOneFile(const Facts& one, const Facts& other) {
    if (one.fileIndex != other.fileIndex || one.stamp != other.stamp)
        return false;
    // A server may give one folder a serial number for each name it shares it under (Samba
    // derives it from the share's name): taking one file for two there would let the output
    // replace an input, while taking two for one only refuses a link.
    if (IsOnShare(one.finalPath) || IsOnShare(other.finalPath))
        return true;
    // Under Wine every file of a drive has one volume serial number and file indexes are
    // inode numbers, which repeat across file systems: a matching identity is confirmed by
    // the final path, which differs for one file only where it has hard links.
    return one.volumeSerialNumber == other.volumeSerialNumber &&
           (EqualIgnoringCase(one.finalPath, other.finalPath) || one.links > 1 || other.links > 1);
}

} // namespace reelbond
