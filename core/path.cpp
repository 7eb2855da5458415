#include "core/path.h"

#include "core/file.h"
#include "core/io_error.h"
#include "core/text.h"

#include <array>
#include <cctype>
#include <windows.h>

namespace reelbond {
namespace {

// Converted per wide character, so that a name keeps its characters whole.
std::string WithCase(const std::string& text, DWORD(WINAPI* convert)(LPWSTR, DWORD)) {
    std::wstring wide = Widened(text);
    convert(wide.data(), static_cast<DWORD>(wide.size()));
    return Narrowed(wide);
}

bool IsDriveLetter(char drive) {
    return drive >= 'A' && drive <= 'Z';
}

// The directory last shown on each drive, A to Z; empty where none was.
std::array<std::string, 26>& DriveDirectories() {
    static std::array<std::string, 26> directories;
    return directories;
}

bool IsSeparator(char character) {
    return character == '\\' || character == '/';
}

// A directory's full path without the backslash it may end in, but for a root's (C:\).
std::string WithoutTrailingBackslash(std::string path) {
    if (path.size() > DrivePart(path).size() + 1 && path.ends_with('\\'))
        path.pop_back();
    return path;
}

// Where "X:" leads from the directory shown: that directory on its own drive, the drive's last
// directory on another; a share's root for "\\server\share".
std::string DirectoryOfRoot(const std::string& root, const std::string& shown) {
    if (SamePath(root, DrivePart(shown)))
        return shown;
    return root.size() == 2 ? LastDirectoryOfDrive(root[0]) : root + "\\";
}

} // namespace

char UpperCaseDrive(char drive) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
}

std::string DrivePart(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path.substr(0, 2));
    if (path.substr(0, 2) != "\\\\")
        return {};
    // \\server\share ends before the backslash that follows the share's name.
    const std::size_t afterServer = path.find('\\', 2);
    if (afterServer == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(0, path.find('\\', afterServer + 1)));
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    return directory.ends_with('\\') ? directory + name : directory + "\\" + name;
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

bool NamesStream(std::string_view fullPath) {
    if (fullPath.starts_with("\\\\?\\"))
        fullPath.remove_prefix(4);
    const bool drive = fullPath.size() >= 2 &&
                       std::isalpha(static_cast<unsigned char>(fullPath[0])) && fullPath[1] == ':';
    return fullPath.find(':', drive ? 2 : 0) != std::string_view::npos;
}

std::string LowerCaseFileName(const std::string& path) {
    return WithCase(path, CharLowerBuffW);
}

std::string UpperCaseFileName(const std::string& path) {
    return WithCase(path, CharUpperBuffW);
}

bool SamePath(const std::string& a, const std::string& b) {
    return EqualIgnoringCase(a, b);
}

std::string CurrentDirectory() {
    std::wstring directory(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
        if (length == 0)
            ThrowLastError();
        const bool fitted = length < directory.size();
        directory.resize(length);
        if (fitted)
            return Narrowed(directory);
    }
}

void RememberDirectoryOfDrive(const std::string& directory) {
    const char drive =
        directory.size() >= 2 && directory[1] == ':' ? UpperCaseDrive(directory[0]) : '\0';
    if (IsDriveLetter(drive))
        DriveDirectories()[drive - 'A'] = directory;
}

std::string LastDirectoryOfDrive(char drive) {
    const char upper = UpperCaseDrive(drive);
    std::string directory = IsDriveLetter(upper) ? DriveDirectories()[upper - 'A'] : "";
    if (directory.empty())
        directory = FullPath(std::string{drive, ':'});
    directory[0] = drive;
    return directory;
}

std::string FullPathFrom(const std::string& directory, const std::string& path) {
    const std::string root = DrivePart(path);
    if (root.size() > 2 || (root.size() == 2 && path.size() > 2 && IsSeparator(path[2])))
        return FullPath(path);
    if (root.size() == 2)
        return FullPath(JoinPath(DirectoryOfRoot(root, directory), path.substr(2)));
    if (!path.empty() && IsSeparator(path[0]))
        return FullPath(DrivePart(directory) + path);
    return FullPath(JoinPath(directory, path));
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CheckDirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        ThrowLastError();
    // What entering a file instead of a directory fails with.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw IoError(ERROR_DIRECTORY);
}

void ForEachFound(const std::string& pattern, const std::function<void(const FoundEntry&)>& visit) {
    WIN32_FIND_DATAW found;
    const UniqueSearch search(FindFirstFileW(SystemPath(pattern).c_str(), &found));
    if (!search)
        return;
    do {
        visit({Narrowed(found.cFileName), found.dwFileAttributes});
    } while (FindNextFileW(search.get(), &found));
}

PathParts SplitPath(const std::string& text, const std::string& shown) {
    const std::string shownRoot = DrivePart(shown);
    PathParts parts{shownRoot.size() == 2 ? shown[0] : '\0', text, {}};
    std::string& dir = parts.directory;
    // What a name without a directory is taken from.
    std::string current = shown;
    if (!text.empty() && text.front() == '[' && text.ends_with(']')) {
        dir = text.substr(1, text.size() - 2);
    } else {
        std::string root = DrivePart(text);
        if (root.empty()) {
            root = shownRoot;
        } else {
            dir.erase(0, root.size());
            // A drive that cannot be entered leaves the names to the directory shown: the
            // drive change that follows fails instead.
            if (const std::string entered = DirectoryOfRoot(root, shown); DirectoryExists(entered))
                current = entered;
        }
        parts.drive = root.size() == 2 ? root[0] : '\0';
    }

    const std::size_t separator = dir.find_last_of("\\:");
    parts.last = separator == std::string::npos ? dir : dir.substr(separator + 1);
    std::string located = current;
    if (dir.size() == parts.last.size() + 1)
        located = FullPathFrom(current, "\\");
    else if (dir.size() > parts.last.size())
        located = FullPathFrom(current, dir.substr(0, dir.size() - parts.last.size() - 1));
    located = WithoutTrailingBackslash(located);
    CheckDirectoryExists(located);
    if (!parts.last.empty() && !HasWildcard(parts.last) &&
        !FileExists(JoinPath(located, parts.last))) {
        located = WithoutTrailingBackslash(FullPathFrom(located, parts.last));
        CheckDirectoryExists(located);
        parts.last.clear();
    }
    dir = parts.drive == '\0' ? located : located.substr(DrivePart(located).size());
    return parts;
}

} // namespace reelbond
