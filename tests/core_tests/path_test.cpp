#include "core/path.h"
#include "support/io_error_code.h"
#include "support/network_share.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace reelbond {
namespace {

using test::IoErrorCodeOf;
using test::NetworkShare;
using test::TempDir;
using test::WriteBytes;

std::string WithoutDrive(const std::string& path) {
    return path.substr(2);
}

class SplitPathTest : public testing::Test {
protected:
    SplitPathTest() {
        CreateDirectoryA(clips.c_str(), nullptr);
        WriteBytes(dir / "clip.mpg", "x");
    }

    // Taken from the directory shown, dir; the process's current directory is never entered.
    void ExpectParts(const std::string& text, char drive, const std::string& directory,
                     const std::string& last) {
        const PathParts parts = SplitPath(text, dir.path());
        EXPECT_EQ(parts.drive, drive) << text;
        EXPECT_EQ(parts.directory, directory) << text;
        EXPECT_EQ(parts.last, last) << text;
        EXPECT_EQ(CurrentDirectory(), started) << text;
    }

    TempDir dir;
    const std::string clips = dir / "Clips";
    const char drive = dir.path()[0];
    const std::string started = CurrentDirectory();
};

TEST(PathTest, CheckDirectoryExistsFailsWithTheSystemCode) {
    TempDir dir;
    CreateDirectoryA((dir / "sub").c_str(), nullptr);
    WriteBytes(dir / "file", "x");
    CheckDirectoryExists(dir / "sub");

    const std::string missing = dir / "missing";
    GetFileAttributesA(missing.c_str());
    const int systemCode = static_cast<int>(GetLastError());
    EXPECT_NE(systemCode, 0);
    EXPECT_EQ(IoErrorCodeOf([&] { CheckDirectoryExists(missing); }), systemCode);
    EXPECT_EQ(IoErrorCodeOf([&] { CheckDirectoryExists(dir / "file"); }), ERROR_DIRECTORY);
}

TEST(PathTest, DriveLetterNamesTheDirectoryLastShownOnThatDrive) {
    TempDir dir;
    const std::string drive = dir.path().substr(0, 2);
    ASSERT_NE(drive, "Z:");
    RememberDirectoryOfDrive(dir.path());
    RememberDirectoryOfDrive("Z:\\tmp");

    EXPECT_EQ(LastDirectoryOfDrive(drive[0]), dir.path());
    EXPECT_EQ(LastDirectoryOfDrive('z'), "z:\\tmp") << "the letter as written";
    EXPECT_EQ(FullPathFrom(dir.path(), "Z:a.mpg"), "Z:\\tmp\\a.mpg");
    EXPECT_EQ(FullPathFrom("Z:\\tmp", drive + "a.mpg"), dir / "a.mpg");
    EXPECT_EQ(FullPathFrom(dir.path(), "\\a.mpg"), drive + "\\a.mpg");
    EXPECT_EQ(FullPathFrom(dir.path(), "sub\\..\\a.mpg"), dir / "a.mpg");
}

TEST(PathTest, SamePathIgnoresLetterCaseOnly) {
    EXPECT_TRUE(SamePath("C:\\Video\\Clip.MPG", "c:\\video\\clip.mpg"));
    EXPECT_FALSE(SamePath("C:\\Video\\Clip1.mpg", "C:\\Video\\Clip2.mpg"));
    EXPECT_FALSE(SamePath("C:\\Video", "C:\\Video\\"));
    EXPECT_TRUE(SamePath("\xC3\x84rger.mpg", "\xC3\xA4rger.mpg")); // Ärger, ärger
    EXPECT_TRUE(SamePath("\xCE\xA9MEGA", "\xCF\x89mega"));         // ΩMEGA, ωmega
    // Character by character, as file systems compare, not by a language's equivalences.
    EXPECT_FALSE(SamePath("stra\xC3\x9F\x65", "strasse")); // straße
    EXPECT_FALSE(SamePath("caf\xC3\xA9", "cafe"));
}

TEST(PathTest, DrivePartAndJoining) {
    EXPECT_EQ(DrivePart("C:\\Video\\Clips"), "C:");
    EXPECT_EQ(DrivePart("c:clip.mpg"), "c:");
    EXPECT_EQ(DrivePart("\\\\server\\share\\a\\b"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("\\Video"), "");
    EXPECT_EQ(DrivePart("clip.mpg"), "");

    EXPECT_EQ(JoinPath("C:\\Video", "clip1.mpg"), "C:\\Video\\clip1.mpg");
    EXPECT_EQ(JoinPath("C:\\", "clip1.mpg"), "C:\\clip1.mpg");
}

TEST_F(SplitPathTest, ExistingDirectoryIsAllDirectory) {
    ExpectParts(clips, drive, WithoutDrive(clips), "");
    const std::string lowerDrive(1, static_cast<char>(std::tolower(drive)));
    ExpectParts(lowerDrive + clips.substr(1), lowerDrive[0], WithoutDrive(clips), "");
    ExpectParts(std::string{drive, ':', '\\'}, drive, "\\", "");
}

TEST_F(SplitPathTest, FileNameOrPatternIsTheLastPart) {
    ExpectParts(dir / "clip.mpg", drive, WithoutDrive(dir.path()), "clip.mpg");
    ExpectParts(dir / "*.mpg", drive, WithoutDrive(dir.path()), "*.mpg");
    ExpectParts("clip.mpg", drive, WithoutDrive(dir.path()), "clip.mpg");
}

TEST_F(SplitPathTest, BracketedNameIsASubdirectoryOfTheDirectoryShown) {
    ExpectParts("[Clips]", drive, WithoutDrive(clips), "");
}

TEST_F(SplitPathTest, LetterAndColonGivesTheDirectoryLastShownOnThatDrive) {
    RememberDirectoryOfDrive(clips);
    const PathParts parts = SplitPath(std::string{drive, ':'}, "Z:\\tmp");
    EXPECT_EQ(parts.drive, drive);
    EXPECT_EQ(parts.directory, WithoutDrive(clips));
    EXPECT_EQ(parts.last, "");
}

TEST_F(SplitPathTest, NetworkPathHasNoDriveAndKeepsItsRoot) {
    const NetworkShare share;
    if (share.root().empty())
        GTEST_SKIP() << "no network share to try";
    ExpectParts(share.root() + "\\a", '\0', share.root() + "\\a", "");
    ExpectParts(share.root() + "\\a\\clip.mpg", '\0', share.root() + "\\a", "clip.mpg");
    // A subdirectory of a share shown is on no drive either.
    const PathParts parts = SplitPath("[a]", share.root() + "\\");
    EXPECT_EQ(parts.drive, '\0');
    EXPECT_EQ(parts.directory, share.root() + "\\a");
}

TEST_F(SplitPathTest, MissingDirectoryFails) {
    EXPECT_NE(IoErrorCodeOf([&] { SplitPath(dir / "missing", dir.path()); }), 0);
    EXPECT_NE(IoErrorCodeOf([&] { SplitPath(dir / "missing\\clip.mpg", dir.path()); }), 0);
    EXPECT_EQ(CurrentDirectory(), started);
}

} // namespace
} // namespace reelbond
