#include "about/interface_style.h"
#include "core/path.h"
#include "glyph_pixels.h"
#include "host_window.h"
#include "support/io_error_code.h"
#include "support/temp_dir.h"
#include "win/file_list_box.h"
#include "win/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace reelbond {
namespace {

using test::CurrentDirectoryGuard;
using test::HostWindow;
using test::IoErrorCodeOf;
using test::TempDir;
using test::WriteBytes;

constexpr char MpegMask[] = "*.mpg;*.mpeg";

void MakeDirectory(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

class FileListBoxTest : public testing::Test {
protected:
    void CreateList(const std::string& mask) {
        list.SetMultiSelect(true);
        list.SetMask(mask);
        list.OnChange = [this] { ++changes; };
        list.Create(host.Hwnd(), 1, RECT{10, 10, 210, 310}, "");
        list.SetItemHeight(16);
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < list.EntryCount(); ++i)
            entries.push_back(list.EntryText(i));
        return entries;
    }

    // A mouse click on an entry, with MK_CONTROL or MK_SHIFT held as keys says; the
    // second click of a double click comes as WM_LBUTTONDBLCLK.
    void Click(int index, WPARAM keys = 0, UINT press = WM_LBUTTONDOWN) {
        RECT entry;
        SendMessageA(list.Hwnd(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry));
        const LPARAM at = MAKELPARAM(entry.left + 5, (entry.top + entry.bottom) / 2);
        SendMessageA(list.Hwnd(), press, MK_LBUTTON | keys, at);
        SendMessageA(list.Hwnd(), WM_LBUTTONUP, keys, at);
    }

    void WriteFiles(const std::string& directory, std::initializer_list<const char*> names) {
        for (const char* name : names)
            WriteBytes(JoinPath(directory, name), "x");
    }

    TempDir dir;
    CurrentDirectoryGuard cwd{dir.path()};
    Owned<HostWindow> host;
    TFileListBox list;
    int changes = 0;
};

using Names = std::vector<std::string>;

TEST_F(FileListBoxTest, ListsMatchingFilesCaseInsensitivelySortedWithoutHiddenOrSystemOnes) {
    WriteFiles(dir.path(), {"b.mpg", "A.MPG", "c.mpeg", "hidden.mpg", "system.mpg", "readonly.mpg",
                            "other.txt"});
    SetFileAttributesA((dir / "hidden.mpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((dir / "system.mpg").c_str(), FILE_ATTRIBUTE_SYSTEM);
    test::MakeReadOnly(dir / "readonly.mpg");
    MakeDirectory(dir / "folder.mpg");

    CreateList(MpegMask);

    EXPECT_EQ(Entries(), (Names{"A.MPG", "b.mpg", "c.mpeg", "readonly.mpg"}));
    EXPECT_EQ(list.Directory(), dir.path());
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.FileName(), "") << "a rescan leaves nothing selected";
}

// Filled with repainting suspended, a large directory still lists in order and the list is
// repainted once afterwards.
TEST_F(FileListBoxTest, LargeDirectoryListsInOrderAndRepaintsOnceFilled) {
    const TempDir large;
    Names expected;
    for (int i = 0; i < 3000; ++i) {
        char name[32];
        // Mixed letter case, and every seventh file found only by the second pattern.
        std::snprintf(name, sizeof name, i % 2 ? "CLIP%04d.%s" : "clip%04d.%s", i,
                      i % 7 ? (i % 2 ? "MPG" : "mpg") : "mpeg");
        expected.push_back(name);
    }
    std::mt19937 random(3);
    Names shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    for (const std::string& name : shuffled)
        WriteBytes(large / name, "x");
    CreateList(MpegMask);
    UpdateWindow(list.Hwnd());

    list.SetDirectory(large.path());
    EXPECT_EQ(Entries(), expected);
    RECT stale;
    EXPECT_TRUE(GetUpdateRect(list.Hwnd(), &stale, FALSE)) << "the filled list is to be repainted";
    UpdateWindow(list.Hwnd());
    EXPECT_FALSE(GetUpdateRect(list.Hwnd(), &stale, FALSE));
}

TEST_F(FileListBoxTest, FileMatchedByTwoPatternsIsListedTwice) {
    WriteFiles(dir.path(), {"a.mpg", "b.mpg"});
    CreateList("*.mpg;a*");
    EXPECT_EQ(Entries(), (Names{"a.mpg", "a.mpg", "b.mpg"}));
}

TEST_F(FileListBoxTest, ListsFilesButNeitherDirectoriesNorHiddenOnes) {
    WriteFiles(dir.path(), {"s.mpg", "s.exe", "s.hid"});
    SetFileAttributesA((dir / "s.hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeDirectory(dir / "sub");
    CreateList("s*");
    EXPECT_EQ(Entries(), (Names{"s.exe", "s.mpg"}));
}

TEST_F(FileListBoxTest, EmptyListNotifiesAndMaskRescansOnlyWhenItsTextChanges) {
    WriteFiles(dir.path(), {"readme.txt"});
    CreateList("*.mpg");
    EXPECT_EQ(list.EntryCount(), 0);
    EXPECT_EQ(changes, 1);

    WriteFiles(dir.path(), {"b.mpg"});
    list.SetMask("*.mpg");
    EXPECT_EQ(list.EntryCount(), 0);
    EXPECT_EQ(changes, 1);
    list.SetMask("*.MPG");
    EXPECT_EQ(Entries(), (Names{"b.mpg"}));
    EXPECT_EQ(changes, 2);
}

TEST_F(FileListBoxTest, FileNameAndOnChangeFollowTheFocusedEntry) {
    WriteFiles(dir.path(), {"a.mpg", "b.mpg", "c.mpg"});
    CreateList(MpegMask);
    ASSERT_EQ(changes, 1);

    Click(2);
    EXPECT_EQ(list.FileName(), dir / "c.mpg");
    EXPECT_EQ(changes, 2);
    Click(0, MK_CONTROL);
    EXPECT_EQ(list.FileName(), dir / "a.mpg");
    EXPECT_EQ(changes, 3);
    Click(0, MK_CONTROL);
    EXPECT_TRUE(list.IsSelected(2));
    EXPECT_EQ(list.FileName(), "") << "the focused entry is no longer selected";
    EXPECT_EQ(changes, 3) << "the selection changed, the focus did not";

    Click(1, MK_SHIFT);
    EXPECT_EQ(changes, 4);
    SendMessageA(list.Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(list.FocusedIndex(), 2);
    EXPECT_EQ(changes, 5);
}

TEST_F(FileListBoxTest, DoubleClickReachesOnDblClickWithTheEntrySelected) {
    WriteFiles(dir.path(), {"a.mpg", "b.mpg"});
    CreateList(MpegMask);
    std::string doubleClicked;
    list.OnDblClick = [&] { doubleClicked = list.FileName(); };
    Click(1);
    Click(1, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(doubleClicked, dir / "b.mpg");
}

TEST_F(FileListBoxTest, DirectoryWriteMovesTheListButNotTheCurrentDirectory) {
    WriteFiles(dir.path(), {"top.mpg"});
    MakeDirectory(dir / "Sub");
    WriteFiles(dir / "Sub", {"inner.mpg"});
    CreateList(MpegMask);

    list.SetDirectory(dir / "Sub");
    EXPECT_EQ(list.Directory(), dir / "Sub");
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(Entries(), (Names{"inner.mpg"}));
    EXPECT_EQ(changes, 2);

    list.SetDirectory(LowerCaseFileName(dir / "Sub"));
    list.SetDirectory("");
    EXPECT_EQ(list.Directory(), dir / "Sub");
    EXPECT_EQ(changes, 2) << "the same directory again changes nothing";

    list.SetDirectory("[..]");
    EXPECT_EQ(list.Directory(), dir.path());
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(Entries(), (Names{"top.mpg"}));
}

TEST_F(FileListBoxTest, FailedMovesAndRescansLeaveListAndCurrentDirectoryAsTheyWere) {
    const std::string gone = dir / "gone";
    MakeDirectory(gone);
    WriteFiles(gone, {"a.mpg"});
    CreateList(MpegMask);
    list.SetDirectory(gone);
    ASSERT_EQ(changes, 2);

    EXPECT_NE(IoErrorCodeOf([&] { list.SetDirectory(dir / "missing"); }), 0);
    EXPECT_NE(IoErrorCodeOf([&] { list.SetFileName(dir / "missing\\a.mpg"); }), 0);
    EXPECT_EQ(CurrentDirectory(), dir.path());

    // The directory vanishes while it is listed; a rescan fails before touching the entries.
    DeleteFileA((gone + "\\a.mpg").c_str());
    ASSERT_TRUE(RemoveDirectoryA(gone.c_str()));
    EXPECT_NE(IoErrorCodeOf([&] { list.SetMask("*.*"); }), 0);
    EXPECT_EQ(CurrentDirectory(), dir.path());

    EXPECT_EQ(list.Directory(), gone);
    EXPECT_EQ(list.Mask(), MpegMask);
    EXPECT_EQ(Entries(), (Names{"a.mpg"}));
    EXPECT_EQ(changes, 2);
}

TEST_F(FileListBoxTest, FileNameWriteSelectsTheFileAndWidensAHidingMask) {
    WriteFiles(dir.path(), {"a.mpg", "notes.txt"});
    MakeDirectory(dir / "sub");
    WriteFiles(dir / "sub", {"b.mpg", "c.mpg"});
    CreateList(MpegMask);

    list.SetFileName(dir / "sub\\C.MPG");
    EXPECT_EQ(list.Directory(), dir / "sub");
    EXPECT_EQ(list.FileName(), dir / "sub\\c.mpg");
    const int afterSelecting = changes;
    list.SetFileName(dir / "sub\\c.mpg");
    EXPECT_EQ(changes, afterSelecting) << "the same file again changes nothing";

    list.SetFileName(dir / "notes.txt");
    EXPECT_EQ(list.Mask(), "notes.txt");
    EXPECT_EQ(Entries(), (Names{"notes.txt"}));
    EXPECT_EQ(list.FileName(), dir / "notes.txt");

    list.SetFileName(dir / "*.mpg");
    EXPECT_EQ(list.Mask(), "*.mpg");
    EXPECT_EQ(Entries(), (Names{"a.mpg"}));
}

TEST_F(FileListBoxTest, FileNameAtADriveRootHasOneBackslash) {
    const std::string root = dir.path().substr(0, 3);
    const std::string name = "reelbond-root-" + std::to_string(GetCurrentProcessId()) + ".mpg";
    WriteBytes(root + name, "x");
    CreateList(MpegMask);
    list.SetFileName(root + name);
    DeleteFileA((root + name).c_str());
    EXPECT_EQ(list.Directory(), root);
    EXPECT_EQ(list.FileName(), root + name);
}

TEST_F(FileListBoxTest, DriveWriteEntersTheDirectoryLastShownOnThatDrive) {
    ASSERT_NE(list.Drive(), 'Z');
    CreateList(MpegMask);
    list.SetDirectory("Z:\\tmp");
    list.SetDirectory(dir.path());

    list.SetDrive('z');
    // The drive letter as it was written.
    EXPECT_EQ(list.Directory(), "z:\\tmp");
    EXPECT_EQ(CurrentDirectory(), dir.path());
    list.SetDrive(dir.path()[0]);
    EXPECT_EQ(list.Directory(), dir.path());
    EXPECT_EQ(CurrentDirectory(), dir.path());
    list.SetDrive('\0');
    EXPECT_EQ(list.Directory(), dir.path());
}

// Stands in for the directory list: it takes the text and moves the file list as its
// change step does.
class RecordingDirectoryList : public DirListLink {
public:
    explicit RecordingDirectoryList(TFileListBox& list) : fileList(&list) {
        list.SetDirListLink(this);
    }
    void SetDirectory(const std::string& text) override {
        texts.push_back(text);
        const PathParts parts = SplitPath(text, fileList->Directory());
        fileList->MoveToDirectory(std::string{parts.drive, ':'} + parts.directory);
    }
    void ForgetLinkedWidget() noexcept override { fileList = nullptr; }

    std::vector<std::string> texts;
    TFileListBox* fileList;
};

TEST_F(FileListBoxTest, LinkedDirectoryListTakesTheWholeTextAndIsToldWhenTheListGoes) {
    MakeDirectory(dir / "sub");
    WriteFiles(dir / "sub", {"b.mpg"});
    auto fileList = std::make_unique<TFileListBox>();
    fileList->SetMultiSelect(true);
    fileList->Create(host.Hwnd(), 2, RECT{10, 10, 210, 310}, "");
    RecordingDirectoryList directoryList(*fileList);

    fileList->SetFileName(dir / "sub\\b.mpg");
    EXPECT_EQ(directoryList.texts, (Names{dir / "sub\\b.mpg"}));
    EXPECT_EQ(fileList->Directory(), dir / "sub");
    EXPECT_EQ(fileList->FileName(), dir / "sub\\b.mpg");

    fileList.reset();
    EXPECT_EQ(directoryList.fileList, nullptr);
}

} // namespace
} // namespace reelbond
