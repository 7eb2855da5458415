#include "host_window.h"
#include "support/temp_dir.h"
#include "win/file_list_box.h"
#include "win/filter_combo_box.h"

#include <gtest/gtest.h>
#include <vector>

namespace reelbond {
namespace {

using test::CurrentDirectoryGuard;
using test::HostWindow;
using test::TempDir;

constexpr char MpegFilter[] = "mpeg files(*.mpg;*.mpeg)|*.mpg;*.mpeg";

class FilterComboBoxTest : public testing::Test {
protected:
    FilterComboBoxTest() {
        filter.OnChange = [this] { ++changes; };
        filter.Create(host.Hwnd(), 1, RECT{10, 10, 210, 200}, "");
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        const auto count = SendMessageA(filter.Hwnd(), CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            std::string text(SendMessageA(filter.Hwnd(), CB_GETLBTEXTLEN, i, 0) + 1, '\0');
            text.resize(SendMessageA(filter.Hwnd(), CB_GETLBTEXT, i,
                                     reinterpret_cast<LPARAM>(text.data())));
            entries.push_back(text);
        }
        return entries;
    }

    int Selected() const {
        return static_cast<int>(SendMessageA(filter.Hwnd(), CB_GETCURSEL, 0, 0));
    }

    TempDir dir;
    CurrentDirectoryGuard cwd{dir.path()};
    Owned<HostWindow> host;
    TFilterComboBox filter;
    int changes = 0;
};

using Names = std::vector<std::string>;

TEST_F(FilterComboBoxTest, ParsesDescriptionsAndPatternsInPairs) {
    EXPECT_EQ(Entries(), (Names{"All files (*.*)"}));
    EXPECT_EQ(filter.MaskSelectingLastIfNone(), "*.*");

    filter.SetFilter("Video|*.mpg;*.mpeg|Text|*.txt");
    EXPECT_EQ(Entries(), (Names{"Video", "Text"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(filter.MaskSelectingLastIfNone(), "*.mpg;*.mpeg");

    filter.SetFilter("A|*.a|B");
    EXPECT_EQ(Entries(), (Names{"A"})) << "a description without patterns is dropped";

    filter.SetFilter(" A | *.a ");
    EXPECT_EQ(Entries(), (Names{" A "}));
    EXPECT_EQ(filter.MaskSelectingLastIfNone(), " *.a ") << "nothing is trimmed";

    filter.SetFilter("no bar at all");
    EXPECT_EQ(Entries(), Names{});
    EXPECT_EQ(filter.MaskSelectingLastIfNone(), "*.*");
}

TEST_F(FilterComboBoxTest, MaskSelectsTheLastEntryWhenNoneIsSelected) {
    filter.SetFilter("Video|*.mpg|Text|*.txt");
    SendMessageA(filter.Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(filter.MaskSelectingLastIfNone(), "*.txt");
    EXPECT_EQ(Selected(), 1);
}

TEST_F(FilterComboBoxTest, FilterWriteIgnoresTheSameTextInOtherCase) {
    filter.SetFilter("ALL FILES (*.*)|*.*");
    EXPECT_EQ(Entries(), (Names{"All files (*.*)"}));
    EXPECT_EQ(changes, 0);
    filter.SetFilter(MpegFilter);
    EXPECT_EQ(changes, 1);
}

TEST_F(FilterComboBoxTest, LinkedFileListFollowsFilterWritesAndTheUsersPick) {
    test::WriteBytes(dir / "a.mpg", "x");
    test::WriteBytes(dir / "b.txt", "x");
    TFileListBox list;
    list.Create(host.Hwnd(), 2, RECT{10, 40, 210, 300}, "");
    filter.SetFileList(&list);

    filter.SetFilter(std::string(MpegFilter) + "|Text|*.txt");
    EXPECT_EQ(list.Mask(), "*.mpg;*.mpeg");
    EXPECT_EQ(list.EntryCount(), 1);
    EXPECT_EQ(list.EntryText(0), "a.mpg");
    EXPECT_EQ(changes, 1);

    // The arrow key in a closed drop-down list picks the next entry.
    SendMessageA(filter.Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(list.Mask(), "*.txt");
    EXPECT_EQ(list.EntryText(0), "b.txt");
    EXPECT_EQ(changes, 2);
}

TEST_F(FilterComboBoxTest, LinkEndsWithEitherWidget) {
    {
        TFileListBox list;
        filter.SetFileList(&list);
    }
    // Nothing is written to the list that went.
    filter.SetFilter(MpegFilter);

    TFileListBox list;
    {
        TFilterComboBox other;
        other.SetFileList(&list);
    }
    list.SetMask("*.mpg");
    filter.SetFileList(&list);
    filter.SetFilter("Text|*.txt");
    EXPECT_EQ(list.Mask(), "*.txt");
}

} // namespace
} // namespace reelbond
