// Runs in the drive prefix that drive_prefix.sh lays out: C: "data", D: CD-ROM "Movies",
// E: floppy "Flop", F: network "share", G: RAM disk "r&d", H: floppy not ready, I: fixed
// without a label, J: fixed "Vidéo 日本", K: no root directory, Z: /.
#include "core/path.h"
#include "core/text.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui_tests/glyph_pixels.h"
#include "ui_tests/host_window.h"
#include "win/directory_list_box.h"
#include "win/drive_combo_box.h"
#include "win/handles.h"
#include "win/owner_draw.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace reelbond {
namespace {

using test::CurrentDirectoryGuard;
using test::HostWindow;
using test::TempDir;
using Names = std::vector<std::string>;

constexpr int SelectorId = 1;

class DriveComboBoxTest : public testing::Test {
protected:
    void CreateSelector() {
        drives.OnChange = [this] { ++changes; };
        drives.Create(host.Hwnd(), SelectorId, RECT{10, 10, 141, 32}, "");
    }

    Names Entries() const {
        Names entries;
        for (int i = 0; i < drives.EntryCount(); ++i)
            entries.push_back(drives.EntryText(i));
        return entries;
    }

    std::string SelectedText() const {
        return drives.SelectedIndex() < 0 ? "" : drives.EntryText(drives.SelectedIndex());
    }

    TempDir dir;
    CurrentDirectoryGuard cwd{dir.path()};
    Owned<HostWindow> host;
    TDriveComboBox drives{TForm1::DriveGlyphs};
    int changes = 0;
};

TEST_F(DriveComboBoxTest, ListsThePresentDrivesInLetterOrderByTheirKind) {
    const UINT errorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    drives.SetTextCase(tcUpperCase);
    CreateSelector();
    EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX))
        << "the mode in force before the volume queries is back";
    SetErrorMode(errorMode);
    // E: has a label that only a volume query would show; K: has no root directory.
    EXPECT_EQ(Entries(), (Names{"C: [DATA]", "D: [MOVIES]", "E:", "F: [SHARE]", "G: [R&D]", "H:",
                                "I: []", "J: [VID\xC3\x89O \xE6\x97\xA5\xE6\x9C\xAC]", "Z: []"}));
    EXPECT_EQ(drives.Drive(), 'C');
    EXPECT_EQ(SelectedText(), "C: [DATA]");
    EXPECT_EQ(changes, 1) << "creation selects the drive again, which notifies";
}

TEST_F(DriveComboBoxTest, LowerCaseLettersGiveLowerCaseLabelsAndDrive) {
    CreateSelector();
    EXPECT_EQ(Entries(), (Names{"c: [data]", "d: [movies]", "e:", "f: [share]", "g: [r&d]", "h:",
                                "i: []", "j: [vid\xC3\xA9o \xE6\x97\xA5\xE6\x9C\xAC]", "z: []"}));
    EXPECT_EQ(drives.Drive(), 'c');

    drives.SetTextCase(tcUpperCase);
    EXPECT_EQ(drives.EntryText(1), "D: [MOVIES]");
    EXPECT_EQ(drives.Drive(), 'C');
    EXPECT_EQ(changes, 2);
    drives.SetTextCase(tcUpperCase);
    EXPECT_EQ(changes, 3) << "an unchanged case rebuilds and notifies too";
}

TEST_F(DriveComboBoxTest, DriveWritesSelectTheEntryAndNotifyUnlessTheDriveIsShown) {
    drives.SetTextCase(tcUpperCase);
    CreateSelector();
    changes = 0;

    drives.SetDrive('c');
    EXPECT_EQ(changes, 0) << "the drive already shown";
    drives.SetDrive('g');
    EXPECT_EQ(drives.Drive(), 'G');
    EXPECT_EQ(SelectedText(), "G: [R&D]");
    EXPECT_EQ(changes, 1);
    drives.SetDrive('K');
    EXPECT_EQ(drives.Drive(), 'K');
    EXPECT_EQ(SelectedText(), "G: [R&D]") << "no entry for K: the selection stays";
    EXPECT_EQ(changes, 2);
    drives.SetDrive('\0');
    EXPECT_EQ(drives.Drive(), '\0');
    EXPECT_EQ(drives.SelectedIndex(), -1);
    EXPECT_EQ(changes, 3);
    drives.SetDrive('\0');
    EXPECT_EQ(changes, 4) << "with no entry selected every write goes through";
}

TEST_F(DriveComboBoxTest, PickingAnEntryWritesItsDrive) {
    drives.SetTextCase(tcUpperCase);
    CreateSelector();
    changes = 0;
    SetFocus(drives.Hwnd());
    SendMessageA(drives.Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(drives.Drive(), 'D');
    EXPECT_EQ(changes, 1);
    SendMessageA(drives.Hwnd(), WM_CHAR, 'i', 0);
    EXPECT_EQ(drives.Drive(), 'I');
    EXPECT_EQ(changes, 2);
}

TEST_F(DriveComboBoxTest, LinkedDirectoryListFollowsTheDriveAndSwitchesItBack) {
    drives.SetTextCase(tcUpperCase);
    CreateSelector();
    TDirectoryListBox directories{TForm1::FolderGlyphs};
    int directoryChanges = 0;
    directories.OnChange = [&] { ++directoryChanges; };
    directories.Create(host.Hwnd(), 2, RECT{10, 40, 210, 300}, "");
    drives.SetDirList(&directories);
    changes = 0;

    drives.SetDrive('D');
    EXPECT_EQ(directories.Directory(), "D:\\");
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(directoryChanges, 1);
    EXPECT_EQ(changes, 1);

    // A directory on another drive passes through the selector, which does not move the
    // list a second time.
    directories.SetDirectory("I:\\alpha");
    EXPECT_EQ(drives.Drive(), 'I');
    EXPECT_EQ(directories.Directory(), "I:\\alpha");
    EXPECT_EQ(directoryChanges, 2);
    EXPECT_EQ(changes, 2);
    drives.SetDirList(nullptr);
    drives.SetDrive('C');
    EXPECT_EQ(directories.Directory(), "I:\\alpha");
}

TEST_F(DriveComboBoxTest, LinkEndsWithEitherWidget) {
    CreateSelector();
    {
        TDirectoryListBox gone(TForm1::FolderGlyphs);
        drives.SetDirList(&gone);
    }
    changes = 0;
    drives.SetDrive('D');
    EXPECT_EQ(changes, 1);

    // A list whose selector went changes drives by itself.
    TDirectoryListBox directories{TForm1::FolderGlyphs};
    {
        TDriveComboBox other(TForm1::DriveGlyphs);
        other.SetDirList(&directories);
    }
    directories.SetDirectory("I:\\alpha");
    EXPECT_EQ(directories.Directory(), "I:\\alpha");
    EXPECT_EQ(CurrentDirectory(), dir.path());
}

// An entry drawn into a bitmap as the system asks the selector's window to draw it.
class DrawnEntry : public test::Canvas {
public:
    DrawnEntry(HWND host, const TDriveComboBox& drives, int index, int height)
        : Canvas(131, height) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_COMBOBOX;
        item.CtlID = SelectorId;
        item.itemID = static_cast<UINT>(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = drives.Hwnd();
        item.hDC = dc();
        item.rcItem = RECT{0, 0, 131, height};
        item.itemData = SendMessageA(drives.Hwnd(), CB_GETITEMDATA, index, 0);
        SendMessageA(host, WM_DRAWITEM, SelectorId, reinterpret_cast<LPARAM>(&item));
    }
};

TEST_F(DriveComboBoxTest, DrawsTheGlyphOfEachKindAndTheTextAfterItWithAmpersandsAsThey) {
    drives.SetTextCase(tcUpperCase);
    CreateSelector();
    const int height = static_cast<int>(SendMessageA(drives.Hwnd(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(height, std::max(FontCharacterHeight(drives.Hwnd()), 11));
    const char* glyphs[] = {"HARD",   "CDROM", "FLOPPY", "NETWORK", "RAM",
                            "FLOPPY", "HARD",  "HARD",   "HARD"};
    ASSERT_EQ(drives.EntryCount(), 9);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (int index = 0; index < drives.EntryCount(); ++index) {
        const DrawnEntry drawn(host.Hwnd(), drives, index, height);
        const Glyph glyph(glyphs[index]);
        EXPECT_TRUE(test::ShowsGlyph(drawn.dc(), 2, (height - glyph.Height()) / 2, glyph, window))
            << drives.EntryText(index);

        // The text as one unprefixed line from the glyph's width plus 6, drawn by the wide
        // function: J:'s label draws right only so.
        const DrawnEntry reference(host.Hwnd(), drives, index, height);
        RECT text{22, 0, 131, height};
        FillRect(reference.dc(), &text, GetSysColorBrush(COLOR_WINDOW));
        const std::string entry = drives.EntryText(index);
        const std::wstring wide = Widened(entry);
        DrawTextW(reference.dc(), wide.c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
        EXPECT_EQ(test::PixelsIn(drawn.dc(), RECT{18, 0, 131, height}),
                  test::PixelsIn(reference.dc(), RECT{18, 0, 131, height}))
            << entry;
    }
}

} // namespace
} // namespace reelbond
