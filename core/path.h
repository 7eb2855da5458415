#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <windows.h>

namespace reelbond {

// Paths are 8-bit strings in the system's code page. The scans below step over whole
// characters, so a double-byte trail byte that equals a separator is never taken for one.

// Position of the first occurrence of character at or after from; npos when none.
std::size_t FindCharacter(std::string_view text, char character, std::size_t from = 0);
// Position of the last character of text that is one of characters; npos when none.
std::size_t FindLastOf(std::string_view text, std::string_view characters);
bool EndsWithCharacter(std::string_view text, char character);
// Drive letters compare without regard to case.
char UpperCaseDrive(char drive);

// "C:" of a drive path, "\\server\share" of a network path, empty for a relative one.
std::string DrivePart(std::string_view path);
// directory and name joined by one backslash; none is added to a drive root such as C:\.
std::string JoinPath(const std::string& directory, const std::string& name);
bool HasWildcard(std::string_view name);
// True when a full path has a colon anywhere but after its drive letter: on NTFS it names a
// stream of a file ("a.mpg:s", "a.mpg::$DATA"), not a file.
bool NamesStream(std::string_view fullPath);

// Lower and upper case by the system's file-name case rules (the same per character in
// every locale).
std::string LowerCaseFileName(const std::string& path);
std::string UpperCaseFileName(const std::string& path);
// The file-name comparison: the same path when equal but for letter case, compared
// ordinally by the file system's rules.
bool SamePath(const std::string& a, const std::string& b);

// The process's current directory as the system reports it.
std::string CurrentDirectory();
// The one way this program changes the process's current directory. "X:" enters the
// directory last current on drive X; raises IoError with the system's code on failure.
void ChangeDirectory(const std::string& path);
bool DirectoryExists(const std::string& path);

// Calls visit for each entry of a wildcard search, in the order the system returns them.
void ForEachFound(const std::string& pattern,
                  const std::function<void(const WIN32_FIND_DATAA&)>& visit);

// A path split into its drive letter (0 for a network path), its directory without the
// drive (with the network root in front when there is no drive letter) and a last part
// that is a file name, a wildcard pattern or empty.
struct PathParts {
    char drive = 0;
    std::string directory;
    std::string last;
};
// Resolves text against the current directory, entering the directories it names to find
// out which part is a directory; the current directory is the same again afterwards, also
// when it fails with IoError.
PathParts SplitPath(const std::string& text);

} // namespace reelbond
