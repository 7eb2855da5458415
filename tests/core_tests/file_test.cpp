#include "core/file.h"
#include "core/io_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace reelbond {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

int CodeOf(auto&& operation) {
    try {
        operation();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

TEST(IoErrorTest, MessagesFollowTheCode) {
    EXPECT_STREQ(IoError(2).what(), "File not found");
    EXPECT_STREQ(IoError(3).what(), "Invalid filename");
    EXPECT_STREQ(IoError(4).what(), "Too many open files");
    EXPECT_STREQ(IoError(5).what(), "File access denied");
    EXPECT_STREQ(IoError(100).what(), "Read beyond end of file");
    EXPECT_STREQ(IoError(101).what(), "Disk full");
    EXPECT_STREQ(IoError(106).what(), "Invalid numeric input");
    EXPECT_STREQ(IoError(32).what(), "I/O error 32");
    EXPECT_EQ(IoError(32).code(), 32);
}

TEST(FileTest, OpenFailuresCarryTheSystemCode) {
    TempDir dir;
    EXPECT_EQ(CodeOf([&] { File::OpenExisting(dir / "missing.mpg"); }), 2);
    EXPECT_EQ(CodeOf([&] { File::OpenExisting(dir / "nodir\\a.mpg"); }), 3);
    EXPECT_EQ(CodeOf([&] { File::Create(dir / "nodir\\a.mpg"); }), 3);
    EXPECT_EQ(CodeOf([&] { File::OpenExisting(dir.path()); }), 5);
    EXPECT_EQ(CodeOf([&] { File::Create(dir.path()); }), 5);
}

TEST(FileTest, ReadOnlyFileIsRefusedForOpenAndCreate) {
    TempDir dir;
    WriteBytes(dir / "ro.mpg", "data");
    test::MakeReadOnly(dir / "ro.mpg");
    EXPECT_EQ(CodeOf([&] { File::OpenExisting(dir / "ro.mpg"); }), 5);
    EXPECT_EQ(CodeOf([&] { File::Create(dir / "ro.mpg"); }), 5);
    EXPECT_EQ(ReadBytes(dir / "ro.mpg"), "data");
}

TEST(FileTest, CreateMakesOrEmptiesTheFileAndWritesReadBack) {
    TempDir dir;
    File fresh = File::Create(dir / "new.mpg");
    fresh.Write("x", 1);
    fresh.Close();
    EXPECT_EQ(ReadBytes(dir / "new.mpg"), "x");

    WriteBytes(dir / "out.mpg", "old and long contents");
    File out = File::Create(dir / "out.mpg");
    EXPECT_EQ(out.Size(), 0);
    out.Write("abcdef", 6);
    out.Truncate(4);
    out.Seek(1);
    char two[2];
    out.Read(two, 2);
    EXPECT_EQ(std::string(two, 2), "bc");
    out.Close();
    EXPECT_EQ(ReadBytes(dir / "out.mpg"), "abcd");
}

TEST(FileTest, ShortReadAndClosedFileAreErrors) {
    TempDir dir;
    WriteBytes(dir / "a.mpg", "abc");
    File file = File::OpenExisting(dir / "a.mpg");
    char buffer[8];
    EXPECT_EQ(file.ReadUpTo(buffer, 8), 3u);
    file.Seek(0);
    EXPECT_EQ(CodeOf([&] { file.Read(buffer, 4); }), 100);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(CodeOf([&] { file.Size(); }), 103);
    EXPECT_EQ(CodeOf([&] { file.Close(); }), 103);
}

TEST(FileTest, IdentityIsTheSameForAnotherSpelling) {
    TempDir dir;
    WriteBytes(dir / "a.mpg", "a");
    WriteBytes(dir / "b.mpg", "b");
    const auto a = File::OpenExisting(dir / "a.mpg").Identity();
    EXPECT_EQ(File::OpenExisting(dir / "sub\\..\\A.MPG").Identity(), a);
    EXPECT_NE(File::OpenExisting(dir / "b.mpg").Identity(), a);
}

TEST(FileTest, SameFileByIdentityOrElseByFullPath) {
    TempDir dir;
    WriteBytes(dir / "a.mpg", "a");
    WriteBytes(dir / "b.mpg", "b");
    WriteBytes(dir / "ro.mpg", "ro");
    test::MakeReadOnly(dir / "ro.mpg");
    CreateHardLinkA((dir / "a-link.mpg").c_str(), (dir / "a.mpg").c_str(), nullptr);
    CreateHardLinkA((dir / "ro-link.mpg").c_str(), (dir / "ro.mpg").c_str(), nullptr);
    EXPECT_TRUE(SameFile(dir / "a.mpg", dir / "sub\\..\\A.MPG"));
    EXPECT_TRUE(SameFile(dir / "a.mpg", dir / "a-link.mpg"));
    EXPECT_FALSE(SameFile(dir / "a.mpg", dir / "b.mpg"));
    EXPECT_TRUE(SameFile(dir / "ro.mpg", dir / "ro-link.mpg"));
    EXPECT_EQ(ReadBytes(dir / "ro.mpg"), "ro");
    EXPECT_TRUE(SameFile(dir / "gone.mpg", dir / "sub\\..\\GONE.MPG"));
    EXPECT_FALSE(SameFile(dir / "gone.mpg", dir / "a.mpg"));
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
