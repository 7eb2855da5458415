#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace reelbond {

// Paths are UTF-8. No byte of a longer UTF-8 character is ASCII, so a plain search for a
// separator never takes part of a character for one.

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

// The process's current directory as the system reports it: the one the program started in,
// since nothing in it changes the current directory.
std::string CurrentDirectory();
// Notes directory as the one last shown on its drive, which "X:" alone then names.
void RememberDirectoryOfDrive(const std::string& directory);
// The directory that "X:" names, with the letter as written: the one last remembered for that
// drive, else the one the system resolves "X:" to (its root, or one the process was given).
std::string LastDirectoryOfDrive(char drive);
// The absolute form of path taken from directory as the system takes a path from its current
// directory: a name is in directory, "\name" on its drive, "X:name" in drive X's last
// directory; "." and ".." are taken out. Raises IoError where no path can be formed.
std::string FullPathFrom(const std::string& directory, const std::string& path);
bool DirectoryExists(const std::string& path);
// Raises IoError with the system's code unless path names an existing directory (one that is
// not ready, such as a drive without media, fails here too).
void CheckDirectoryExists(const std::string& path);

// An entry a wildcard search found.
struct FoundEntry {
    std::string name;
    unsigned long attributes;
};
// Calls visit for each entry of a wildcard search, in the order the system returns them;
// nothing when the search finds nothing or fails.
void ForEachFound(const std::string& pattern, const std::function<void(const FoundEntry&)>& visit);

// A path split into its drive letter (0 for a network path), its directory without the
// drive (with the network root in front when there is no drive letter) and a last part
// that is a file name, a wildcard pattern or empty.
struct PathParts {
    char drive = 0;
    std::string directory;
    std::string last;
};
// Resolves text against the directory shown, which a bare name or a bracketed "[name]" is
// taken from, and finds out which part names an existing directory, without entering any.
// Raises IoError when the directory part does not exist.
PathParts SplitPath(const std::string& text, const std::string& shown);

} // namespace reelbond
