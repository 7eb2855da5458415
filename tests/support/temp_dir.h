#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace reelbond::test {

// A fresh directory under root (ending in "\\"), or under the system's temporary directory
// when root is empty, removed with all it holds.
class TempDir {
public:
    explicit TempDir(const std::string& root = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The full path of name inside the directory.
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// Paths of any length, full paths only.
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
void MakeReadOnly(const std::string& path);

// A file name of 250 characters: in any folder, a full path over the plain limit of 260.
inline const std::string LongFileName = std::string(246, 'n') + ".mpg";
// Four folders one in the other, 243 characters: in any folder, a path over 260.
extern const std::string DeepFolders;
// Makes the folder path and every folder on the way to it; path is a full path.
void MakeFolders(const std::string& path);
// The names of the files and folders in dir, sorted, without "." and "..".
std::vector<std::string> FileNames(const std::string& dir);

// A byte string from hexadecimal pairs, spaces ignored: Hex("00 00 01 B3").
std::string Hex(std::string_view pairs);

// Makes the process's current directory dir for the lifetime of the guard.
class CurrentDirectoryGuard {
public:
    explicit CurrentDirectoryGuard(const std::string& dir);
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::string saved_;
};

std::string TestMedia(std::string_view name);

} // namespace reelbond::test
