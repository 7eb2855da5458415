// The main window's drive selector and directory list on the drives that drive_prefix.sh lays
// out: D: a CD-ROM with Trailers and MixedCase, H: a floppy drive that is not ready, I: a fixed
// drive with Clips and clips, \\server\share with dir\inner.
#include "core/path.h"
#include "support/file_drag_data.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui_tests/glyph_pixels.h"
#include "ui_tests/host_window.h"
#include "ui_tests/message_box_catcher.h"
#include "ui_tests/panel_driver.h"
#include "win/program_file.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <optional>

namespace reelbond {
namespace {

using test::MessageBoxCatcher;
using test::PanelState;
using test::PanelStateAt;
using test::TempDir;
using Strings = std::vector<std::string>;

constexpr char Clip[] = "mpeg1_ps_352x240_2997_a.mpg";
constexpr char MyDocuments[] = "C:\\My Documents";
constexpr char NotReady[] = "The disk driver does not prepared.";

Strings Entries(const TDirectoryListBox& list) {
    Strings entries;
    for (int i = 0; i < list.EntryCount(); ++i)
        entries.push_back(list.EntryText(i));
    return entries;
}

// C:\My Documents with one clip in it, for as long as it lives.
class MyDocumentsFolder {
public:
    MyDocumentsFolder() {
        CreateDirectoryA(MyDocuments, nullptr);
        CopyFileA(test::TestMedia(Clip).c_str(), JoinPath(MyDocuments, Clip).c_str(), FALSE);
    }
    ~MyDocumentsFolder() {
        DeleteFileA(JoinPath(MyDocuments, Clip).c_str());
        RemoveDirectoryA(MyDocuments);
    }
    MyDocumentsFolder(const MyDocumentsFolder&) = delete;
    MyDocumentsFolder& operator=(const MyDocumentsFolder&) = delete;
};

class DrivePanelTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    // The window starts in start, with dir last shown on drive C and D:\Trailers on D.
    void StartIn(const std::string& start) {
        RememberDirectoryOfDrive("D:\\Trailers");
        RememberDirectoryOfDrive(dir.path());
        SetCurrentDirectoryA(start.c_str());
        started = start;
        window.emplace();
        form().Create();
        form().Show();
        test::PumpEvents(form());
        test::RecordPanelNotifications(form(), notices);
    }

    // The window's widgets take the current directory when they are made.
    TForm1& form() { return *window; }
    const TForm1& form() const { return *window; }

    // The user picks a drive by typing its letter into the focused selector.
    void PickDrive(char letter) {
        SetFocus(form().DriveComboBox1.Hwnd());
        SendMessageA(form().DriveComboBox1.Hwnd(), WM_CHAR, letter, 0);
        test::PumpEvents(form());
    }

    std::string SelectedDrive() const {
        const int selected = form().DriveComboBox1.SelectedIndex();
        return selected < 0 ? "" : form().DriveComboBox1.EntryText(selected);
    }

    // The lists move; the process's current directory stays where the window started.
    void ExpectTheCurrentDirectoryWhereTheWindowStarted() const {
        EXPECT_EQ(CurrentDirectory(), started);
    }

    std::optional<MyDocumentsFolder> myDocuments;
    TempDir dir;
    test::CurrentDirectoryGuard restoreAtTheEnd{dir.path()};
    std::string started;
    MessageBoxCatcher boxes;
    std::optional<Owned<TForm1>> window;
    Strings notices;
};

// The selector is not linked to the directory list, which follows a folder on another drive.
TEST_F(DrivePanelTest, AFolderDroppedFromAnotherDriveMovesTheSelectorToo) {
    StartIn(dir.path());
    test::DragAndDrop(form().Hwnd(), {"I:\\Clips"});
    test::PumpEvents(form());
    EXPECT_EQ(form().DriveComboBox1.Drive(), 'I');
    EXPECT_EQ(PanelState(form()), PanelStateAt("I:\\Clips"));
}

TEST_F(DrivePanelTest, PickingADriveReturnsToWhereTheUserWasOnIt) {
    StartIn(dir.path());
    EXPECT_EQ(SelectedDrive(), "C: [DATA]");

    PickDrive('d');
    EXPECT_EQ(form().DriveComboBox1.Drive(), 'D');
    const std::string trailers = "D:\\Trailers";
    EXPECT_EQ(notices, (Strings{"DriveComboBox1Change " + PanelStateAt(dir.path()),
                                "FileListBox1Change " + PanelStateAt(trailers),
                                "DirectoryListBox1Change " + PanelStateAt(trailers)}));

    test::DoubleClickEntry(form().DirectoryListBox1.Hwnd(), "D:\\");
    test::PumpEvents(form());
    EXPECT_EQ(PanelState(form()), PanelStateAt("D:\\"));
    PickDrive('c');
    EXPECT_EQ(PanelState(form()), PanelStateAt(dir.path()));
    PickDrive('d');
    EXPECT_EQ(PanelState(form()), PanelStateAt("D:\\"));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(DrivePanelTest, DriveNotReadyFallsBackToMyDocumentsOnC) {
    myDocuments.emplace();
    StartIn("I:\\alpha");
    boxes.whileOpen = [&](const MessageBoxCatcher::Box&) {
        EXPECT_EQ(PanelState(form()), PanelStateAt("I:\\alpha"));
    };

    PickDrive('h');
    ASSERT_EQ(boxes.texts(), (Strings{NotReady}));
    EXPECT_EQ(boxes.boxes()[0].caption, ApplicationTitle());
    EXPECT_FALSE(boxes.boxes()[0].hasIcon);
    EXPECT_EQ(SelectedDrive(), "C: [DATA]");
    // Writing C runs the handler again, which moves both lists to C's last directory; the
    // handler then moves them on to My Documents.
    EXPECT_EQ(notices, (Strings{"DriveComboBox1Change " + PanelStateAt("I:\\alpha"),
                                "DriveComboBox1Change " + PanelStateAt("I:\\alpha"),
                                "FileListBox1Change " + PanelStateAt(dir.path()),
                                "DirectoryListBox1Change " + PanelStateAt(dir.path()),
                                "FileListBox1Change " + PanelStateAt(MyDocuments),
                                "DirectoryListBox1Change " + PanelStateAt(MyDocuments)}));
    EXPECT_EQ(form().FileListBox1.EntryText(0), Clip);
    EXPECT_TRUE(form().BitnAdd.Enabled());
    ExpectTheCurrentDirectoryWhereTheWindowStarted();
}

TEST_F(DrivePanelTest, DriveNotReadyWithoutMyDocumentsStaysOnCAndReportsTheFailure) {
    StartIn("I:\\alpha");
    PickDrive('h');
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.texts()[0], NotReady);
    EXPECT_TRUE(boxes.texts()[1] == "File not found." || boxes.texts()[1] == "Invalid filename.")
        << boxes.texts()[1];
    EXPECT_TRUE(boxes.boxes()[1].hasIcon);
    EXPECT_EQ(SelectedDrive(), "C: [DATA]");
    EXPECT_EQ(PanelState(form()), PanelStateAt(dir.path()));
    ExpectTheCurrentDirectoryWhereTheWindowStarted();
}

TEST_F(DrivePanelTest, NotReadyDriveWhileOnCLeavesTheListsWhereTheyAre) {
    StartIn(dir.path());
    PickDrive('h');
    EXPECT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(SelectedDrive(), "C: [DATA]");
    EXPECT_EQ(notices.size(), 2u) << "the nested run finds the lists on C already";
    EXPECT_EQ(PanelState(form()), PanelStateAt(dir.path()));
}

TEST_F(DrivePanelTest, StartedInANetworkDirectoryTheListsStayThere) {
    StartIn("\\\\server\\share\\dir");
    EXPECT_EQ(form().DriveComboBox1.Drive(), '\0');
    EXPECT_EQ(form().DriveComboBox1.SelectedIndex(), -1);
    const TDirectoryListBox& directories = form().DirectoryListBox1;
    EXPECT_EQ(Entries(directories), (Strings{"\\\\server\\share\\", "dir", "inner"}));
    EXPECT_EQ(directories.HighlightedIndex(), 1);
    EXPECT_EQ(directories.ItemPath(0), "\\\\server\\share\\");
    EXPECT_EQ(directories.ItemPath(2), "\\\\server\\share\\dir\\inner");
    EXPECT_EQ(form().FileListBox1.Directory(), "\\\\server\\share\\dir");
    ExpectTheCurrentDirectoryWhereTheWindowStarted();

    test::DoubleClickEntry(directories.Hwnd(), "inner");
    test::PumpEvents(form());
    EXPECT_EQ(Entries(directories), (Strings{"\\\\server\\share\\", "dir", "inner"}));
    EXPECT_EQ(directories.HighlightedIndex(), 2);
    EXPECT_EQ(directories.ItemPath(1), "\\\\server\\share\\dir");
    ExpectTheCurrentDirectoryWhereTheWindowStarted();

    test::DoubleClickEntry(directories.Hwnd(), "\\\\server\\share\\");
    test::PumpEvents(form());
    EXPECT_EQ(Entries(directories), (Strings{"\\\\server\\share\\", "dir"}));
    EXPECT_EQ(directories.HighlightedIndex(), 0);
    ExpectTheCurrentDirectoryWhereTheWindowStarted();
    EXPECT_TRUE(boxes.boxes().empty());
}

class DirectoryListOnDrivesTest : public testing::Test {
protected:
    Owned<test::HostWindow> host;
    TDirectoryListBox list{TForm1::FolderGlyphs};
};

TEST_F(DirectoryListOnDrivesTest, DriveRootIsOneCurrentEntryWithItsSubdirectoriesOnce) {
    list.Create(host.Hwnd(), 1, RECT{10, 10, 210, 310}, "");
    list.SetItemHeight(16);
    list.SetDirectory("I:\\");
    const Strings entries = Entries(list);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ((Strings{entries[0], entries[1], entries[2]}), (Strings{"I:\\", "alpha", "Beta"}));
    EXPECT_TRUE(entries[3] == "Clips" || entries[3] == "clips") << entries[3];
    EXPECT_EQ(list.HighlightedIndex(), 0);
    EXPECT_EQ(list.ItemPath(0), "I:\\");
    EXPECT_EQ(list.ItemPath(2), "I:\\Beta");

    SetFocus(host.Hwnd());
    UpdateWindow(list.Hwnd());
    // Subdirectories of a root are indented by 4 x (1 + 1) + 2.
    EXPECT_TRUE(test::ShowsGlyph(ClientDc(list.Hwnd()).get(), 10, 16, Glyph("CLOSEDFOLDER"),
                                 GetSysColor(COLOR_WINDOW)));
}

TEST_F(DirectoryListOnDrivesTest, VolumeThatKeepsNoCaseShowsNamesLowerCased) {
    list.Create(host.Hwnd(), 1, RECT{10, 10, 210, 310}, "");
    list.SetDirectory("D:\\");
    EXPECT_EQ(Entries(list), (Strings{"D:\\", "MixedCase", "Trailers"}));
    EXPECT_EQ(list.DisplayedText(0), "d:\\");
    EXPECT_EQ(list.DisplayedText(1), "mixedcase");
    list.SetDirectory("I:\\Beta");
    EXPECT_EQ(list.DisplayedText(1), "Beta");
}

} // namespace
} // namespace reelbond
