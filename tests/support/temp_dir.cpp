#include "support/temp_dir.h"

#include "core/file.h"

#include <stdexcept>
#include <windows.h>

namespace reelbond::test {
namespace {

std::string TempRoot() {
    char buffer[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, buffer);
    return std::string(buffer, length);
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    if (const UniqueSearch search(FindFirstFileA((dir + "\\*").c_str(), &found)); search) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search.get(), &found));
    }
    RemoveDirectoryA(dir.c_str());
}

} // namespace

TempDir::TempDir(const std::string& root) {
    static unsigned counter = 0;
    const std::string parent = root.empty() ? TempRoot() : root;
    for (;;) {
        path_ = parent + "reelbond-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + path_);
    }
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

std::string TempDir::operator/(std::string_view name) const {
    return path_ + "\\" + std::string(name);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    const UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    const UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot open " + path);
    LARGE_INTEGER size;
    GetFileSizeEx(file.get(), &size);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

void MakeReadOnly(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

std::string Hex(std::string_view pairs) {
    std::string bytes;
    std::string digits;
    for (char c : pairs) {
        if (c == ' ')
            continue;
        digits += c;
        if (digits.size() == 2) {
            bytes += static_cast<char>(std::stoi(digits, nullptr, 16));
            digits.clear();
        }
    }
    return bytes;
}

CurrentDirectoryGuard::CurrentDirectoryGuard(const std::string& dir) {
    char buffer[MAX_PATH];
    saved_.assign(buffer, GetCurrentDirectoryA(MAX_PATH, buffer));
    SetCurrentDirectoryA(dir.c_str());
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    SetCurrentDirectoryA(saved_.c_str());
}

std::string TestMedia(std::string_view name) {
    return std::string(REELBOND_TEST_MEDIA) + "\\" + std::string(name);
}

} // namespace reelbond::test
