#include "core/path.h"

#include "core/file.h"
#include "core/io_error.h"
#include "core/text.h"

#include <cctype>

namespace reelbond {
namespace {

std::size_t NextCharacter(std::string_view text, std::size_t at) {
    const bool doubleByte = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size();
    return at + (doubleByte ? 2 : 1);
}

// Keeps the "=X:" variable of the drive of the new current directory up to date: the
// system keeps no per-drive directories of its own, and "X:" resolves through it.
void RememberDriveDirectory(const std::string& directory) {
    if (directory.size() < 2 || directory[1] != ':')
        return;
    const std::string name = {'=', UpperCaseDrive(directory[0]), ':'};
    SetEnvironmentVariableA(name.c_str(), directory.c_str());
}

void ChangeBackTo(const std::string& saved) {
    if (DirectoryExists(saved))
        ChangeDirectory(saved);
}

// Converted per wide character, so that a double-byte name keeps its characters whole.
std::string WithCase(const std::string& text, DWORD(WINAPI* convert)(LPWSTR, DWORD)) {
    std::wstring wide = Widened(text);
    convert(wide.data(), static_cast<DWORD>(wide.size()));
    return Narrowed(wide);
}

} // namespace

std::size_t FindCharacter(std::string_view text, char character, std::size_t from) {
    for (std::size_t at = 0; at < text.size(); at = NextCharacter(text, at)) {
        if (at >= from && text[at] == character)
            return at;
    }
    return std::string_view::npos;
}

std::size_t FindLastOf(std::string_view text, std::string_view characters) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); at = NextCharacter(text, at)) {
        if (characters.find(text[at]) != std::string_view::npos)
            last = at;
    }
    return last;
}

bool EndsWithCharacter(std::string_view text, char character) {
    return !text.empty() && FindLastOf(text, std::string_view(&character, 1)) == text.size() - 1;
}

char UpperCaseDrive(char drive) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
}

std::string DrivePart(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path.substr(0, 2));
    if (path.substr(0, 2) != "\\\\")
        return {};
    // \\server\share ends before the backslash that follows the share's name.
    const std::size_t afterServer = FindCharacter(path, '\\', 2);
    if (afterServer == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(0, FindCharacter(path, '\\', afterServer + 1)));
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    return EndsWithCharacter(directory, '\\') ? directory + name : directory + "\\" + name;
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
    std::string directory(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), directory.data());
        if (length == 0)
            ThrowLastError();
        const bool fitted = length < directory.size();
        directory.resize(length);
        if (fitted)
            return directory;
    }
}

void ChangeDirectory(const std::string& path) {
    if (!SetCurrentDirectoryA(path.c_str()))
        ThrowLastError();
    RememberDriveDirectory(CurrentDirectory());
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForEachFound(const std::string& pattern,
                  const std::function<void(const WIN32_FIND_DATAA&)>& visit) {
    WIN32_FIND_DATAA found;
    const UniqueSearch search(FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return;
    do {
        visit(found);
    } while (FindNextFileA(search.get(), &found));
}

namespace {

// The steps of SplitPath that leave the current directory elsewhere.
PathParts SplitPathFrom(const std::string& text, const std::string& saved) {
    PathParts parts{saved[0], text, {}};
    std::string root;
    if (!text.empty() && text.front() == '[' && EndsWithCharacter(text, ']')) {
        parts.directory = text.substr(1, text.size() - 2);
    } else {
        root = DrivePart(text);
        if (root.empty())
            root = DrivePart(saved);
        else
            parts.directory.erase(0, root.size());
        parts.drive = root.size() >= 2 && root[1] == ':' ? root[0] : '\0';
    }
    // For a letter and colon this enters the directory last current on that drive.
    if (DirectoryExists(root))
        ChangeDirectory(root);

    std::string& dir = parts.directory;
    const std::size_t separator = FindLastOf(dir, "\\:");
    parts.last = separator == std::string::npos ? dir : dir.substr(separator + 1);
    // assign() rather than = "\\", on which gcc 12 gives a false -Wrestrict warning.
    if (dir.size() == parts.last.size() + 1) {
        dir.assign(1, '\\');
    } else if (dir.size() > parts.last.size()) {
        dir.resize(dir.size() - parts.last.size() - 1);
    } else {
        const std::string current = CurrentDirectory();
        dir = current.substr(DrivePart(current).size());
        if (dir.empty())
            dir.assign(1, '\\');
    }
    if (!dir.empty())
        ChangeDirectory(dir);
    if (!parts.last.empty() && !HasWildcard(parts.last) && !FileExists(parts.last)) {
        ChangeDirectory(parts.last);
        dir = JoinPath(dir, parts.last);
        parts.last.clear();
    }
    if (parts.drive == '\0')
        dir = root + dir;
    return parts;
}

} // namespace

PathParts SplitPath(const std::string& text) {
    const std::string saved = CurrentDirectory();
    try {
        PathParts parts = SplitPathFrom(text, saved);
        ChangeBackTo(saved);
        return parts;
    } catch (...) {
        ChangeBackTo(saved);
        throw;
    }
}

} // namespace reelbond
