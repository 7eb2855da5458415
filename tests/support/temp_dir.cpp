#include "support/temp_dir.h"

#include "core/file.h"
#include "core/text.h"

#include <algorithm>
#include <stdexcept>
#include <windows.h>

namespace reelbond::test {
namespace {

std::string TempRoot() {
    char buffer[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, buffer);
    return std::string(buffer, length);
}

// The tests' full paths as the wide file functions take them, in the \\?\ form once they
// are too long for the plain one.
std::wstring WidePath(const std::string& path) {
    const std::wstring wide = Widened(path);
    return wide.size() < MAX_PATH ? wide : L"\\\\?\\" + wide;
}

// Takes dir in the \\?\ form, so that folders of any depth go too.
void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    if (const UniqueSearch search(FindFirstFileW((dir + L"\\*").c_str(), &found)); search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = dir + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search.get(), &found));
    }
    RemoveDirectoryW(dir.c_str());
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
    RemoveTree(L"\\\\?\\" + Widened(path_));
}

std::string TempDir::operator/(std::string_view name) const {
    return path_ + "\\" + std::string(name);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    const UniqueFileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    const UniqueFileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
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

const std::string DeepFolders = [] {
    const std::string level(60, 'd');
    return level + "\\" + level + "\\" + level + "\\" + level;
}();

void MakeFolders(const std::string& path) {
    for (std::size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (!CreateDirectoryW(WidePath(folder).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + folder);
        if (end == std::string::npos)
            return;
    }
}

std::vector<std::string> FileNames(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueSearch search(FindFirstFileA((dir + "\\*").c_str(), &found));
    do {
        if (found.cFileName[0] != '.')
            names.push_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
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
