#include "about/interface_style.h"
#include "core/path.h"
#include "glyph_pixels.h"
#include "host_window.h"
#include "message_box_catcher.h"
#include "support/io_error_code.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "win/directory_list_box.h"
#include "win/file_list_box.h"
#include "win/font.h"
#include "win/owner_draw.h"

#include <cctype>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace reelbond {
namespace {

using test::CurrentDirectoryGuard;
using test::HostWindow;
using test::IoErrorCodeOf;
using test::MessageBoxCatcher;
using test::TempDir;
using Names = std::vector<std::string>;

void MakeDirectory(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

// The open ancestors and the current entry of a directory: its drive root, then each name.
Names PathEntries(const std::string& directory) {
    Names entries{directory.substr(0, 3)};
    for (std::size_t start = 3, end; start < directory.size(); start = end + 1) {
        end = directory.find('\\', start);
        if (end == std::string::npos)
            end = directory.size();
        entries.push_back(directory.substr(start, end - start));
    }
    return entries;
}

// A directory list whose volume keeps and distinguishes letter case as the test says: no
// such volume can be had under Wine.
class CaseRulesList : public TDirectoryListBox {
public:
    explicit CaseRulesList(DWORD flags)
        : TDirectoryListBox(TForm1::FolderGlyphs), caseFlags(flags) {}
    DWORD caseFlags;

protected:
    DWORD VolumeCaseFlags(const std::string&) const override { return caseFlags; }
};

class DirectoryListBoxTest : public testing::Test {
protected:
    // A list made now takes the process's current directory.
    TDirectoryListBox& CreateList() { return CreateList<TDirectoryListBox>(TForm1::FolderGlyphs); }
    template <typename List, typename... Arguments> List& CreateList(Arguments... arguments) {
        auto list = std::make_unique<List>(arguments...);
        list->OnChange = [this] { ++changes; };
        list->Create(host.Hwnd(), 1, RECT{10, 10, 310, 360}, "");
        list->SetItemHeight(16);
        List& created = *list;
        list_ = std::move(list);
        return created;
    }

    static Names Entries(const TDirectoryListBox& list) {
        Names entries;
        for (int i = 0; i < list.EntryCount(); ++i)
            entries.push_back(list.EntryText(i));
        return entries;
    }

    // A mouse click on an entry; the second click of a double click comes as WM_LBUTTONDBLCLK.
    static void Click(const TDirectoryListBox& list, int index, UINT press = WM_LBUTTONDOWN) {
        RECT entry;
        SendMessageA(list.Hwnd(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry));
        const LPARAM at = MAKELPARAM(entry.left + 30, (entry.top + entry.bottom) / 2);
        SendMessageA(list.Hwnd(), press, MK_LBUTTON, at);
        SendMessageA(list.Hwnd(), WM_LBUTTONUP, 0, at);
    }

    static void DoubleClick(const TDirectoryListBox& list, int index) {
        Click(list, index);
        Click(list, index, WM_LBUTTONDBLCLK);
    }

    static int IndexOf(const TDirectoryListBox& list, const std::string& text) {
        for (int i = 0; i < list.EntryCount(); ++i)
            if (list.EntryText(i) == text)
                return i;
        return -1;
    }

    TempDir dir;
    CurrentDirectoryGuard cwd{dir.path()};
    Owned<HostWindow> host;
    std::unique_ptr<TDirectoryListBox> list_;
    int changes = 0;
};

TEST_F(DirectoryListBoxTest, ShowsAncestorsTheCurrentDirectoryAndItsVisibleSubdirectoriesSorted) {
    const std::string clips = dir / "Video\\Clips";
    MakeDirectory(dir / "Video");
    MakeDirectory(clips);
    for (const char* name : {"b", "A", "c", "hid", "sys", "both"})
        MakeDirectory(clips + "\\" + name);
    MakeDirectory(clips + "\\.dotted");
    SetFileAttributesA((clips + "\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((clips + "\\sys").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((clips + "\\both").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    test::WriteBytes(clips + "\\file.mpg", "x");
    const CurrentDirectoryGuard inClips(clips);

    TDirectoryListBox& list = CreateList();

    Names expected = PathEntries(clips);
    const int current = static_cast<int>(expected.size()) - 1;
    expected.insert(expected.end(), {"A", "b", "c"});
    EXPECT_EQ(Entries(list), expected);
    EXPECT_EQ(list.Directory(), clips);
    EXPECT_EQ(list.HighlightedIndex(), current);
    EXPECT_EQ(changes, 0) << "creation builds the entries without notifying";

    EXPECT_EQ(list.ItemPath(0), clips.substr(0, 3));
    EXPECT_EQ(list.ItemPath(1), clips.substr(0, clips.find('\\', 3)));
    EXPECT_EQ(list.ItemPath(current - 1), dir / "Video");
    EXPECT_EQ(list.ItemPath(current), clips);
    EXPECT_EQ(list.ItemPath(current + 1), clips + "\\A");
    EXPECT_EQ(list.ItemPath(current + 3), clips + "\\c");
    EXPECT_EQ(list.ItemPath(current + 4), "");
    EXPECT_EQ(list.Drive(), clips[0]);
}

TEST_F(DirectoryListBoxTest, ClicksAndArrowsMoveTheHighlightDoubleClickAndEnterOpen) {
    MakeDirectory(dir / "one");
    MakeDirectory(dir / "two");
    MakeDirectory(dir / "two\\deeper");
    TDirectoryListBox& list = CreateList();
    const int one = IndexOf(list, "one");
    const int two = IndexOf(list, "two");

    Click(list, one);
    SendMessageA(list.Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(list.HighlightedIndex(), two);
    EXPECT_EQ(list.Directory(), dir.path());
    EXPECT_EQ(changes, 0);

    DoubleClick(list, one);
    EXPECT_EQ(list.Directory(), dir / "one");
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(changes, 1);

    // Up to the parent, then into two by Enter.
    list.SetDirectory(list.ItemPath(list.HighlightedIndex() - 1));
    SendMessageA(list.Hwnd(), LB_SETCURSEL, IndexOf(list, "two"), 0);
    SendMessageA(list.Hwnd(), WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(list.Directory(), dir / "two");
    EXPECT_EQ(Entries(list).back(), "deeper");
    EXPECT_EQ(changes, 3);
}

TEST_F(DirectoryListBoxTest, EmptyTextAndTheShownDirectoryChangeNothing) {
    MakeDirectory(dir / "Sub");
    const CurrentDirectoryGuard inSub(dir / "Sub");
    TDirectoryListBox& list = CreateList();
    list.SetDirectory("");
    list.SetDirectory(dir / "SUB");
    list.SetDirectory(LowerCaseFileName(dir / "sub"));
    list.SetDrive(static_cast<char>(std::tolower(list.Drive())));
    list.SetDrive('\0');
    EXPECT_EQ(list.Directory(), dir / "Sub");
    EXPECT_EQ(changes, 0);
}

TEST_F(DirectoryListBoxTest, ComparesCaseSensitivelyOnlyOnAVolumeThatDistinguishesCase) {
    MakeDirectory(dir / "Sub");
    const CurrentDirectoryGuard inSub(dir / "Sub");
    CaseRulesList& sensitive =
        CreateList<CaseRulesList>(FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES);
    sensitive.SetDirectory(dir / "SUB");
    EXPECT_EQ(changes, 1) << "another directory on such a volume";
    EXPECT_EQ(sensitive.Directory(), dir / "SUB");
    EXPECT_EQ(sensitive.DisplayedText(sensitive.HighlightedIndex()), "SUB");
    sensitive.SetDirectory(dir / "SUB");
    EXPECT_EQ(changes, 1);
}

TEST_F(DirectoryListBoxTest, ShowsNamesLowerCasedOnAVolumeThatNeitherKeepsNorDistinguishesCase) {
    MakeDirectory(dir / "MixedCase");
    CaseRulesList& list = CreateList<CaseRulesList>(0);
    const int mixed = IndexOf(list, "MixedCase");
    ASSERT_GE(mixed, 0);
    EXPECT_EQ(list.DisplayedText(mixed), "mixedcase");

    list.caseFlags = FILE_CASE_PRESERVED_NAMES;
    list.SetDirectory(dir / "MixedCase");
    EXPECT_EQ(list.DisplayedText(list.HighlightedIndex()), "MixedCase")
        << "the flags are read again at every rebuild";
}

TEST_F(DirectoryListBoxTest, RemovedDirectoryFailsAndChangesNothing) {
    MakeDirectory(dir / "gone");
    MakeDirectory(dir / "kept");
    TDirectoryListBox& list = CreateList();
    const Names before = Entries(list);
    ASSERT_TRUE(RemoveDirectoryA((dir / "gone").c_str()));

    MessageBoxCatcher boxes;
    DoubleClick(list, IndexOf(list, "gone"));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.texts()[0] == "File not found." || boxes.texts()[0] == "Invalid filename.")
        << boxes.texts()[0];
    EXPECT_TRUE(boxes.boxes()[0].hasIcon);
    EXPECT_EQ(list.Directory(), dir.path());
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(Entries(list), before);
    EXPECT_EQ(changes, 0);

    EXPECT_NE(IoErrorCodeOf([&] { list.SetDirectory(dir / "gone"); }), 0);
    EXPECT_EQ(list.Directory(), dir.path());
}

TEST_F(DirectoryListBoxTest, LinkedFileListFollowsAndPassesItsDirectoryWritesOn) {
    MakeDirectory(dir / "sub");
    test::WriteBytes(dir / "sub\\in.mpg", "x");
    test::WriteBytes(dir / "top.mpg", "x");
    auto files = std::make_unique<TFileListBox>();
    files->SetMask("*.mpg");
    files->Create(host.Hwnd(), 2, RECT{320, 10, 420, 300}, "");
    TDirectoryListBox& list = CreateList();
    list.SetFileList(files.get());
    Names fileListDirectories;
    files->OnChange = [&] { fileListDirectories.push_back(files->Directory()); };

    list.SetDirectory(dir / "sub");
    EXPECT_EQ(fileListDirectories, (Names{dir / "sub"}));
    EXPECT_EQ(files->EntryText(0), "in.mpg");

    // The file list hands a directory write to the directory list, whose change moves it.
    files->SetDirectory(dir.path());
    EXPECT_EQ(list.Directory(), dir.path());
    EXPECT_EQ(fileListDirectories, (Names{dir / "sub", dir.path()}));
    EXPECT_EQ(changes, 2);

    // Browsing enters a directory whose path passes 260 characters as any other.
    const std::string deep = dir / test::DeepFolders;
    ASSERT_GT(deep.size(), 260u);
    test::MakeFolders(deep);
    test::WriteBytes(deep + "\\deep.mpg", "x");
    list.SetDirectory(deep.substr(0, deep.rfind('\\')));
    DoubleClick(list, list.EntryCount() - 1);
    EXPECT_EQ(list.Directory(), deep);
    EXPECT_EQ(files->Directory(), deep);
    EXPECT_EQ(files->EntryText(0), "deep.mpg");

    files.reset();
    list.SetDirectory(dir / "sub");
    EXPECT_EQ(list.Directory(), dir / "sub");
}

TEST_F(DirectoryListBoxTest, IndentsEachEntryAndDrawsTheGlyphOfItsKind) {
    const Glyph openFolder("OPENFOLDER");
    if (!openFolder.Height())
        GTEST_SKIP() << "the glyph resources are not linked in";
    MakeDirectory(dir / "sub");
    TDirectoryListBox& list = CreateList();
    list.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(list.ItemHeight(), 16) << "the window's height holds after a font change";
    SetFocus(host.Hwnd()); // no focus rectangle over the glyphs
    UpdateWindow(list.Hwnd());

    const int current = list.HighlightedIndex();
    const int sub = IndexOf(list, "sub");
    int backslashes = 0;
    for (char c : dir.path())
        backslashes += c == '\\';
    const UniqueWindowDc shown = ClientDc(list.Hwnd());
    const HDC dc = shown.get();
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    // Each glyph's top is the entry's: (top + top + 16 - 15) / 2.
    EXPECT_TRUE(test::ShowsGlyph(dc, 2, 0, openFolder, window));
    EXPECT_TRUE(test::ShowsGlyph(dc, 4 * 1 + 2, 16, openFolder, window));
    EXPECT_TRUE(
        test::ShowsGlyph(dc, 4 * current + 2, 16 * current, Glyph("CURRENTFOLDER"), highlight));
    EXPECT_TRUE(
        test::ShowsGlyph(dc, 4 * (backslashes + 1) + 2, 16 * sub, Glyph("CLOSEDFOLDER"), window));
}

TEST_F(DirectoryListBoxTest, EntryHeightFollowsTheFontButLeavesRoomForTheGlyph) {
    TDirectoryListBox own(TForm1::FolderGlyphs);
    own.Create(host.Hwnd(), 3, RECT{10, 10, 210, 210}, "");
    const UniqueFont small = CreateUiFont({InterfaceFont, 8, false, ANSI_CHARSET});
    own.SetFont(small.get());
    EXPECT_EQ(own.ItemHeight(), 16);
    const UniqueFont large = CreateUiFont({InterfaceFont, 24, false, DEFAULT_CHARSET});
    own.SetFont(large.get());
    EXPECT_GT(own.ItemHeight(), 16);
    EXPECT_EQ(own.ItemHeight(), FontCharacterHeight(own.Hwnd()));
}

} // namespace
} // namespace reelbond
