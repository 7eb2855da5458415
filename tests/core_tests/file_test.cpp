#include "core/file.h"
#include "core/io_error.h"
#include "support/network_share.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

namespace reelbond {
namespace {

using test::MakeFolders;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

int CodeOf(auto&& operation) {
    try {
        operation();
    } catch (const IoError& error) {
        return error.Code();
    }
    return 0;
}

// The code of an operation's failure and the message the user is shown for it.
std::string FailureOf(auto&& operation) {
    try {
        operation();
    } catch (const IoError& error) {
        return std::to_string(error.Code()) + " " + error.what();
    }
    return "none";
}

TEST(FileTest, OpenFailuresCarryTheSystemCodeAndItsMessage) {
    TempDir dir;
    WriteBytes(dir / "held.mpg", "data");
    // Shared with readers only: an open for writing meets a sharing violation.
    const File held = File::OpenForReading(dir / "held.mpg");
    EXPECT_EQ(FailureOf([&] { File::OpenExisting(dir / "missing.mpg"); }), "2 File not found");
    EXPECT_EQ(FailureOf([&] { File::OpenExisting(dir / "nodir\\a.mpg"); }), "3 Invalid filename");
    EXPECT_EQ(FailureOf([&] { File::OpenExisting(dir.path()); }), "5 File access denied");
    EXPECT_EQ(FailureOf([&] { File::OpenExisting(dir / "held.mpg"); }), "32 I/O error 32");
}

TEST(FileTest, ReadOnlyFileIsRefused) {
    TempDir dir;
    WriteBytes(dir / "ro.mpg", "data");
    test::MakeReadOnly(dir / "ro.mpg");
    EXPECT_EQ(CodeOf([&] { File::OpenExisting(dir / "ro.mpg"); }), 5);
    EXPECT_EQ(ReadBytes(dir / "ro.mpg"), "data");
}

TEST(FileTest, ShortReadAndClosedFileAreErrors) {
    TempDir dir;
    WriteBytes(dir / "a.mpg", "abc");
    File file = File::OpenExisting(dir / "a.mpg");
    char buffer[8];
    EXPECT_EQ(file.ReadUpTo(buffer, 8), 3u);
    file.Seek(0);
    EXPECT_EQ(FailureOf([&] { file.Read(buffer, 4); }), "100 Read beyond end of file");
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(CodeOf([&] { file.Size(); }), 103);
    EXPECT_EQ(CodeOf([&] { file.Close(); }), 103);
}

TEST(FileTest, SameFileByIdentityOrElseByFullPath) {
    TempDir dir;
    WriteBytes(dir / "a.mpg", "a");
    WriteBytes(dir / "b.mpg", "b");
    WriteBytes(dir / "ro.mpg", "ro");
    test::MakeReadOnly(dir / "ro.mpg");
    CreateHardLinkA((dir / "a-link.mpg").c_str(), (dir / "a.mpg").c_str(), nullptr);
    CreateHardLinkA((dir / "ro-link.mpg").c_str(), (dir / "ro.mpg").c_str(), nullptr);
    const FileAtPath a(dir / "a.mpg");
    EXPECT_TRUE(a.IsDiskFile());
    EXPECT_TRUE(a.IsSameFileAs(dir / "sub\\..\\A.MPG"));
    EXPECT_TRUE(a.IsSameFileAs(dir / "a-link.mpg"));
    EXPECT_FALSE(a.IsSameFileAs(dir / "b.mpg"));
    EXPECT_FALSE(a.IsSameFileAs(dir / "gone.mpg"));
    EXPECT_TRUE(FileAtPath(dir / "ro.mpg").IsSameFileAs(dir / "ro-link.mpg"));
    EXPECT_EQ(ReadBytes(dir / "ro.mpg"), "ro");
    const FileAtPath gone(dir / "gone.mpg");
    EXPECT_TRUE(gone.IsDiskFile());
    EXPECT_TRUE(gone.IsSameFileAs(dir / "sub\\..\\GONE.MPG"));
    EXPECT_FALSE(gone.IsSameFileAs(dir / "a.mpg"));
}

// From what the opens told: the identity and the stamp, which every name of a file shares,
// and the serial number and final path, which tell file systems apart locally but not
// through shares.
TEST(FileTest, OneFileIsKnownThroughTwoSharesAndTwoFileSystemsAreTwo) {
    const FileAtPath::Stamp stamp{1000, 0x01D0000012345678};
    const auto seen = [&](std::uint32_t serial, std::uint64_t index, const wchar_t* finalPath,
                          FileAtPath::Stamp stamped, std::uint32_t links = 1) {
        return FileAtPath::Facts{serial, index, links, finalPath, true, stamped};
    };
    const wchar_t* home = L"\\\\?\\UNC\\nas\\home\\a.mpg";
    const wchar_t* homes = L"\\\\?\\UNC\\nas\\homes\\ann\\a.mpg";
    const wchar_t* onC = L"\\\\?\\C:\\clips\\a.mpg";
    const FileAtPath::Stamp larger{1001, stamp.lastWriteTime};
    const FileAtPath::Stamp later{1000, stamp.lastWriteTime + 1};
    struct Row {
        const char* what;
        FileAtPath::Facts one, other;
        bool same;
    };
    const Row rows[] = {
        {"two shares, two serials", seen(1, 7, home, stamp), seen(2, 7, homes, stamp), true},
        {"a share and a drive", seen(1, 7, home, stamp), seen(2, 7, onC, stamp), true},
        {"another index", seen(1, 7, home, stamp), seen(2, 8, homes, stamp), false},
        {"another size", seen(1, 7, home, stamp), seen(1, 7, homes, larger), false},
        {"another time", seen(1, 7, home, stamp), seen(1, 7, homes, later), false},
        {"two local volumes", seen(1, 7, onC, stamp), seen(2, 7, L"\\\\?\\D:\\a.mpg", stamp),
         false},
        {"two file systems of a drive", seen(1, 7, onC, stamp),
         seen(1, 7, L"\\\\?\\C:\\m2\\a.mpg", stamp), false},
        {"a hard link", seen(1, 7, onC, stamp, 2), seen(1, 7, L"\\\\?\\C:\\b.mpg", stamp, 2), true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FileAtPath::IsOneFile(row.one, row.other), row.same) << row.what;
        EXPECT_EQ(FileAtPath::IsOneFile(row.other, row.one), row.same) << row.what;
    }
}

TEST(FileTest, DeviceNamesAreToldFromFileNames) {
    TempDir dir;
    for (const std::string& name :
         {std::string("nul"), std::string("NUL.mpg"), std::string("con"), dir / "aux.mpeg",
          std::string("com1"), std::string("Com9.x.mpg"), std::string("lpt1"),
          std::string("prn .mpg"), std::string("conout$"), std::string("\\\\.\\pipe\\x.mpg"),
          std::string("\\\\?\\GLOBALROOT\\Device\\Null")}) {
        EXPECT_TRUE(IsDeviceName(name)) << name;
    }
    for (const std::string& name :
         {dir / "a.mpg", dir / "nullity.mpg", dir / "com10.mpg", dir / "con-cert.mpg",
          dir / "lpt.mpg", "\\\\?\\" + (dir / "a.mpg")}) {
        EXPECT_FALSE(IsDeviceName(name)) << name;
    }
}

TEST(FileTest, CreateBesideMakesFilesKeptOnlyInPlaceOfTheTarget) {
    TempDir dir;
    WriteBytes(dir / "out.mpg", "old");
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    SetFileAttributesA((dir / "out.mpg").c_str(), marks);
    File one = File::CreateBeside(dir / "out.mpg");
    File two = File::CreateBeside(dir / "out.mpg");
    const std::string pid = std::to_string(GetCurrentProcessId());
    EXPECT_EQ(
        test::FileNames(dir.path()),
        (std::vector<std::string>{"out.mpg", "~rb" + pid + "-1.tmp", "~rb" + pid + "-2.tmp"}));
    one.Write("abcdef", 6);
    one.Truncate(4);
    one.Seek(1);
    char middle[2];
    one.Read(middle, 2);
    EXPECT_EQ(std::string(middle, 2), "bc");
    // The replaced file's marks go to the new one, which stays open where it was.
    one.TakePlaceOf(dir / "out.mpg");
    EXPECT_EQ(one.Position(), 3);
    one.Write("Xe", 2);
    one.Close();
    two.Close();
    EXPECT_EQ(ReadBytes(dir / "out.mpg"), "abcXe");
    EXPECT_EQ(GetFileAttributesA((dir / "out.mpg").c_str()) & marks, marks);
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"out.mpg"});
    EXPECT_EQ(CodeOf([&] { File::CreateBeside(dir / "nodir\\out.mpg"); }), 3);
}

TEST(FileTest, PathsOverThePlainLimitWorkOnADriveAndOnAShare) {
    TempDir dir;
    const test::NetworkShare share;
    MakeFolders(dir / test::DeepFolders);
    std::vector<std::string> folders = {dir.path()};
    if (!share.root().empty()) {
        MakeFolders(share.LocalPath() + "\\" + test::DeepFolders);
        folders.push_back(share.root());
    }
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        const std::string path = folder + "\\" + test::DeepFolders + "\\x.mpg";
        File staged = File::CreateBeside(path);
        staged.Write("abc", 3);
        staged.TakePlaceOf(path);
        staged.Close();
        EXPECT_TRUE(FileExists(path));
        EXPECT_EQ(File::OpenExisting(path).Size(), 3);
        EXPECT_TRUE(
            FileAtPath(path).IsSameFileAs(folder + "\\" + test::DeepFolders + "\\.\\X.MPG"));
    }
}

TEST(FileTest, ExistenceMeansAFileNotADirectory) {
    TempDir dir;
    WriteBytes(dir / "a.mpg", "a");
    EXPECT_TRUE(FileExists(dir / "a.mpg"));
    EXPECT_FALSE(FileExists(dir / "b.mpg"));
    EXPECT_FALSE(FileExists(dir.path()));
}

} // namespace
} // namespace reelbond
