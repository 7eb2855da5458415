#include "core/io_error.h"
#include "core/path.h"
#include "host_window.h"
#include "main_window_fixture.h"
#include "ui/application.h"
#include "win/error_barrier.h"
#include "win/program_file.h"

#include <cctype>

namespace reelbond {
namespace {

using test::ClipA;
using test::ClipB;
using test::MainWindowTest;
using test::MessageBoxCatcher;
using test::Pal;
using test::Strings;

TEST_F(MainWindowTest, StartsWithHeaderEmptyTableAndOnlyExitAndHelp) {
    Start();
    char caption[64];
    GetWindowTextA(form.Hwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, " Reelbond");
    RECT client;
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(client.right, 655);
    EXPECT_EQ(client.bottom, 305);
    EXPECT_EQ(form.Table().Cell(0, 0), "File name");
    EXPECT_EQ(form.Table().FileCount(), 0);
    EXPECT_EQ(Panel0(), "  0   file(s) selected");
    EXPECT_EQ(form.StatusBar1.PanelText(1), "");
    EXPECT_EQ(form.StatusBar1.PanelText(2), "   Progress");
    EXPECT_EQ(form.ProgressBar1.Position(), 0);
    EXPECT_EQ(EnabledButtons(), (Strings{"Exit", "Help"}));
    EXPECT_EQ(GetFocus(), form.FileListBox1.Hwnd());
    EXPECT_EQ(form.DriveComboBox1.Drive(), std::toupper(static_cast<unsigned char>(dir.path()[0])));
    EXPECT_EQ(form.DirectoryListBox1.Directory(), dir.path());
    EXPECT_EQ(form.DirectoryListBox1.EntryText(form.DirectoryListBox1.HighlightedIndex()),
              dir.path().substr(dir.path().rfind('\\') + 1));
    const LONG style = GetWindowLongA(form.Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainWindowTest, ControlsLieWhereTheLayoutPutsThem) {
    Start();
    const auto frameOf = [&](const Control& control) {
        RECT frame;
        GetWindowRect(control.Hwnd(), &frame);
        MapWindowPoints(HWND_DESKTOP, form.Hwnd(), reinterpret_cast<POINT*>(&frame), 2);
        return std::array<LONG, 4>{frame.left, frame.top, frame.right - frame.left,
                                   frame.bottom - frame.top};
    };
    using Frame = std::array<LONG, 4>;
    // Each control where the window's own table puts it, numbered in table order (the
    // end-to-end driver finds controls by these numbers).
    const std::vector<Placement> layout = form.Layout();
    ASSERT_EQ(layout.size(), 22u);
    for (std::size_t index = 0; index < layout.size(); ++index) {
        const Placement& place = layout[index];
        Frame expected{place.left, place.top, place.width, place.height};
        for (const Placement& parent : layout) {
            if (parent.control == place.parent) {
                expected[0] += parent.left;
                expected[1] += parent.top;
            }
        }
        EXPECT_EQ(frameOf(*place.control), expected) << "control " << index;
        EXPECT_EQ(place.control->Id(), TForm1::FirstControlId + static_cast<int>(index));
    }
    // Facts the table must keep, so that this test does more than read it back: the drop-down
    // lists' fixed fields, the status bar along the bottom of the client area and the
    // progress bar over it.
    EXPECT_EQ(frameOf(form.DriveComboBox1), (Frame{5, 25, 131, 22}));
    EXPECT_EQ(frameOf(form.FilterComboBox1), (Frame{5, 248, 132, 21}));
    RECT client;
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(frameOf(form.StatusBar1), (Frame{0, client.bottom - 22, client.right, 22}));
    const Frame progress = frameOf(form.ProgressBar1);
    EXPECT_TRUE(progress[1] >= client.bottom - 22 && progress[1] + progress[3] <= client.bottom &&
                progress[0] + progress[2] <= client.right);
    // The band between a control's own frame and its client area.
    const auto borderWidth = [](const Control& control) {
        RECT frame;
        GetWindowRect(control.Hwnd(), &frame);
        POINT client{0, 0};
        ClientToScreen(control.Hwnd(), &client);
        RECT own{0, 0, 0, 0};
        AdjustWindowRectEx(&own, GetWindowLongA(control.Hwnd(), GWL_STYLE), FALSE,
                           GetWindowLongA(control.Hwnd(), GWL_EXSTYLE));
        return client.x - frame.left + own.left;
    };
    EXPECT_EQ(borderWidth(form.ProgressBar1), 2);
    EXPECT_EQ(borderWidth(form.StatusBar1), 1);
}

// The tests' set-up has registered them, as start-up does; the system refuses a class twice,
// and the refusal is the program's error, which the top-level box would show.
TEST(WindowClassTest, EachClassIsRegisteredOnceAndARefusalFailsLoudly) {
    try {
        RegisterWindowClasses();
        ADD_FAILURE() << "registered twice";
    } catch (const IoError& error) {
        EXPECT_EQ(error.Code(), ERROR_CLASS_ALREADY_EXISTS);
    }
}

TEST_F(MainWindowTest, TabVisitsTheControlsInOrder) {
    CopyMedia(ClipA);
    CopyMedia(ClipB);
    Start();
    AddSelected({ClipA, ClipB});
    SetFocus(form.FileListBox1.Hwnd());
    Strings visited;
    for (int step = 0; step < 12; ++step) {
        const Control* focused = Control::FromHandle(GetFocus());
        visited.push_back(focused ? std::to_string(focused->Id()) : "?");
        SetFocus(GetNextDlgTabItem(form.Hwnd(), GetFocus(), FALSE));
    }
    const auto idOf = [](const Control& c) { return std::to_string(c.Id()); };
    // Down is disabled with the last row current.
    EXPECT_EQ(visited, (Strings{idOf(form.FileListBox1), idOf(form.BitnAdd), idOf(form.BitnRemove),
                                idOf(form.StringGrid1), idOf(form.DriveComboBox1),
                                idOf(form.DirectoryListBox1), idOf(form.BitnClear),
                                idOf(form.BitUp), idOf(form.FilterComboBox1), idOf(form.Edit1),
                                idOf(form.FileListBox1), idOf(form.BitnAdd)}));
}

TEST_F(MainWindowTest, AddOrderRemoveClearAndLinkAsAUserDoes) {
    CopyMedia(ClipA);
    CopyMedia(ClipB);
    CopyMedia(Pal, "pal.mpg");
    Start();
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Exit", "Help"}));

    AddSelected({ClipA, ClipB, "pal.mpg"});
    EXPECT_EQ(Column(0), (Strings{dir / ClipA, dir / ClipB, dir / "pal.mpg"}));
    EXPECT_EQ(Column(1), (Strings{"352 X 240", "352 X 240", "352 X 288"}));
    EXPECT_EQ(Column(2), (Strings{"29.97 f/s", "29.97 f/s", "25 f/s"}));
    EXPECT_EQ(Column(3), (Strings{"OK", "OK", "format differ"}));
    EXPECT_EQ(Panel0(), "  3 file(s) selected");
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Remove", "Up", "Clear", "Link", "Exit", "Help"}));

    Click(form.BitUp);
    Click(form.BitUp);
    EXPECT_EQ(Column(3), (Strings{"OK", "format differ", "format differ"}));
    EXPECT_EQ(EnabledButtons(),
              (Strings{"Add", "Remove", "Down", "Clear", "Link", "Exit", "Help"}));
    Click(form.BitDown);
    EXPECT_EQ(Column(3), (Strings{"OK", "format differ", "OK"}));
    Click(form.BitnRemove); // the file at row 2, now pal.mpg
    EXPECT_EQ(Column(0), (Strings{dir / ClipA, dir / ClipB}));
    EXPECT_EQ(Panel0(), "  2 file(s) selected");

    SetWindowTextA(form.Edit1.Hwnd(), "joined");
    boxes.whileOpen = [&](const MessageBoxCatcher::Box&) {
        EXPECT_EQ(form.ProgressBar1.Position(), 100);
    };
    Click(form.SpdBtnLink);
    EXPECT_EQ(boxes.texts(), (Strings{"The files link has been done!"}));
    EXPECT_EQ(boxes.boxes()[0].caption, ApplicationTitle());
    EXPECT_FALSE(boxes.boxes()[0].hasIcon);
    EXPECT_EQ(test::ReadBytes(dir / "joined.mpg"),
              test::ReadBytes(dir / ClipA) + test::ReadBytes(dir / ClipB));
    EXPECT_EQ(form.Table().FileCount(), 0);
    EXPECT_EQ(form.ProgressBar1.Position(), 0);
    EXPECT_EQ(Panel0(), "  0  file(s) selected");
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Exit", "Help"}));

    AddSelected({ClipA});
    Click(form.BitnClear);
    EXPECT_EQ(form.Table().FileCount(), 0);
    EXPECT_EQ(Panel0(), "  0  file(s) selected");
}

TEST_F(MainWindowTest, DoubleClickAddsLikeTheAddButton) {
    CopyMedia(ClipA);
    Start();
    RECT entry;
    SendMessageA(form.FileListBox1.Hwnd(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&entry));
    const LPARAM at = MAKELPARAM(entry.left + 5, entry.top + 5);
    SendMessageA(form.FileListBox1.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(form.FileListBox1.Hwnd(), WM_LBUTTONUP, 0, at);
    SendMessageA(form.FileListBox1.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(form.FileListBox1.Hwnd(), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(Column(0), (Strings{dir / ClipA}));
}

TEST_F(MainWindowTest, DoubleClickedSubdirectoryBecomesTheDirectoryOfBothListsNotOfTheProcess) {
    const std::string clips = dir / "Clips";
    ASSERT_TRUE(CreateDirectoryA(clips.c_str(), nullptr));
    CopyFileA(test::TestMedia(ClipA).c_str(), (clips + "\\" + ClipA).c_str(), FALSE);
    Start();
    EXPECT_EQ(EnabledButtons(), (Strings{"Exit", "Help"}));
    test::RecordPanelNotifications(form, notices);

    DoubleClickDirectory("Clips");
    // The file list follows the directory list's change step, which then notifies.
    EXPECT_EQ(notices, (Strings{"FileListBox1Change " + test::PanelStateAt(clips),
                                "DirectoryListBox1Change " + test::PanelStateAt(clips)}));
    // Nothing holds the folder shown: it can be renamed or removed meanwhile.
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Exit", "Help"}));

    AddSelected({ClipA});
    EXPECT_EQ(Column(0), (Strings{clips + "\\" + ClipA}));
    EXPECT_EQ(Column(3), (Strings{"OK"}));
}

TEST_F(MainWindowTest, EnterInTheDirectoryListOpensTheHighlightedEntry) {
    ASSERT_TRUE(CreateDirectoryA((dir / "Clips").c_str(), nullptr));
    Start();
    const HWND list = form.DirectoryListBox1.Hwnd();
    SetFocus(list);
    SendMessageA(list, LB_SETCURSEL,
                 SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Clips")), 0);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC01C0001);
    Pump();
    EXPECT_EQ(form.DirectoryListBox1.Directory(), dir / "Clips");
    EXPECT_EQ(form.FileListBox1.Directory(), dir / "Clips");
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_TRUE(IsWindow(form.Hwnd()));
}

TEST_F(MainWindowTest, SubdirectoryRemovedAfterItWasListedFailsAndChangesNothing) {
    ASSERT_TRUE(CreateDirectoryA((dir / "gone").c_str(), nullptr));
    CopyMedia(ClipA);
    Start();
    ASSERT_TRUE(RemoveDirectoryA((dir / "gone").c_str()));
    test::RecordPanelNotifications(form, notices);

    DoubleClickDirectory("gone");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, ApplicationTitle());
    EXPECT_TRUE(boxes.boxes()[0].hasIcon);
    EXPECT_TRUE(notices.empty());
    // The first click of the double click has moved the highlight, and only that.
    EXPECT_EQ(test::PanelState(form),
              "files=" + dir.path() + " dirs=" + dir.path() + " highlighted=gone");
    EXPECT_EQ(CurrentDirectory(), dir.path());
    EXPECT_EQ(form.FileListBox1.EntryCount(), 1);
}

TEST_F(MainWindowTest, IneligibleFileStopsTheAddWithItsMessage) {
    CopyMedia(ClipA, "a.mpg");
    test::WriteBytes(dir / "b.mpg", "not a video");
    CopyMedia(ClipB, "c.mpg");
    Start();
    AddSelected({"a.mpg", "b.mpg", "c.mpg"});
    EXPECT_EQ(boxes.texts(), (Strings{"The file is not an eligible one."}));
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg"}));
    EXPECT_EQ(Panel0(), "  1 file(s) selected");
}

// Add takes the selected files only, in the list's order whatever the order of selecting.
TEST_F(MainWindowTest, AddTakesTheSelectedFilesInListOrderAndNoneWritesTheZeroCount) {
    for (const char* name : {"a.mpg", "b.mpg", "c.mpg"})
        CopyMedia(ClipA, name);
    Start();
    Click(form.BitnAdd);
    EXPECT_EQ(Panel0(), "  0 file(s) selected");
    EXPECT_EQ(form.Table().FileCount(), 0);
    AddSelected({"c.mpg", "a.mpg"});
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg", dir / "c.mpg"}));
}

// One control that cannot be created fails the window's creation: the system destroys the
// half-built window, and the failure reaches the creator and so the top-level box, once.
TEST_F(MainWindowTest, AControlThatCannotBeCreatedFailsTheWholeWindowIntoOneBox) {
    ASSERT_TRUE(UnregisterClassA("ReelbondStringGrid", GetModuleHandleA(nullptr)));
    // A window stands, as at any box of the program: the catcher reads a box's text when it is
    // activated, and with no window at all Wine activates it before its text is in.
    const Owned<test::HostWindow> host;
    const int result = Guarded(
        [&] {
            form.Create();
            return 0;
        },
        1);
    TStringGrid::Register();
    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    // Windows says ERROR_CANNOT_FIND_WND_CLASS; Wine ERROR_CLASS_DOES_NOT_EXIST.
    const std::string text = boxes.boxes()[0].text;
    EXPECT_TRUE(text == TopLevelErrorText(IoError::MessageFor(ERROR_CANNOT_FIND_WND_CLASS)) ||
                text == TopLevelErrorText(IoError::MessageFor(ERROR_CLASS_DOES_NOT_EXIST)))
        << text;
    EXPECT_EQ(form.Hwnd(), nullptr);
    EXPECT_EQ(FindWindowA("TForm1", nullptr), nullptr);
    // The controls made before the grid went with the window.
    EXPECT_EQ(form.FileListBox1.Hwnd(), nullptr);
}

// A window whose own creation handler fails, as the main window's would if the folder it
// starts in could not be listed.
class FailingToCreate : public Window {
public:
    void Create() {
        RegisterWindowClass(L"ReelbondFailingToCreate", Procedure, 0, nullptr);
        CreateTopLevelWindow(L"ReelbondFailingToCreate", 0, WS_OVERLAPPEDWINDOW, "", 100, 100);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE)
            throw IoError(ERROR_PATH_NOT_FOUND);
        return Window::HandleMessage(message, wParam, lParam);
    }
};

// It fails as one whose control cannot be made: no half-made window stays, and the failure
// reaches the creator instead of a box of its own.
TEST_F(MainWindowTest, AFailingCreationHandlerLeavesNoWindow) {
    Owned<FailingToCreate> window;
    EXPECT_THROW(window.Create(), IoError);
    EXPECT_EQ(window.Hwnd(), nullptr);
    EXPECT_EQ(FindWindowA("ReelbondFailingToCreate", nullptr), nullptr);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainWindowTest, IoErrorDuringAddReachesTheTopLevelBox) {
    CopyMedia(ClipA, "a.mpg");
    CopyMedia(ClipB, "b.mpg");
    test::MakeReadOnly(dir / "b.mpg");
    Start();
    AddSelected({"a.mpg", "b.mpg"});
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "File access denied.");
    EXPECT_EQ(boxes.boxes()[0].caption, ApplicationTitle());
    EXPECT_TRUE(boxes.boxes()[0].hasIcon);
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg"}));
    EXPECT_EQ(Panel0(), "  1 file(s) selected");
    EXPECT_TRUE(form.SpdBtnLink.Enabled());
}

TEST_F(MainWindowTest, LinkRefusalsComeFromTheWindow) {
    CopyMedia(ClipA);
    Start();
    AddSelected({ClipA});
    Click(form.SpdBtnLink);
    EXPECT_EQ(boxes.texts(), (Strings{"The input files should be more than one."}));
    EXPECT_FALSE(form.SpdBtnLink.Enabled());
}

TEST_F(MainWindowTest, AcceleratorsClickOnlyEnabledSpeedButtons) {
    int helps = 0;
    form.OnHelp = [&] { ++helps; };
    Start();
    PostMessageA(form.FileListBox1.Hwnd(), WM_SYSCHAR, 'l', 1 << 29);
    PostMessageA(form.FileListBox1.Hwnd(), WM_SYSCHAR, 'h', 1 << 29);
    PostMessageA(form.FileListBox1.Hwnd(), WM_SYSCHAR, 'a', 1 << 29);
    Pump();
    EXPECT_EQ(helps, 1);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(form.Table().FileCount(), 0);
}

TEST_F(MainWindowTest, TypedLetterIsInputInTheEditButExitInTheGrid) {
    Start();
    PostMessageA(form.Edit1.Hwnd(), WM_CHAR, 'e', 0);
    Pump();
    EXPECT_EQ(form.Edit1.Text(), "e");
    ASSERT_TRUE(IsWindow(form.Hwnd()));
    SetFocus(form.StringGrid1.Hwnd());
    PostMessageA(form.StringGrid1.Hwnd(), WM_CHAR, 'E', 0);
    Pump();
    EXPECT_EQ(form.Hwnd(), nullptr);
}

TEST_F(MainWindowTest, GridClicksKeysAndWheelMoveTheCurrentRow) {
    CopyMedia(ClipA);
    Start();
    for (int i = 0; i < 20; ++i)
        AddSelected({ClipA});
    const HWND grid = form.StringGrid1.Hwnd();
    EXPECT_EQ(form.Table().CurrentRow(), 20);
    EXPECT_GT(GetScrollPos(grid, SB_VERT), 1); // scrolled to show the new last row
    SendMessageA(grid, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(form.Table().CurrentRow(), 1);
    EXPECT_EQ(GetScrollPos(grid, SB_VERT), 1);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 16 * 3 + 4));
    EXPECT_EQ(form.Table().CurrentRow(), 3);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 4)); // the header
    EXPECT_EQ(form.Table().CurrentRow(), 3);
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(form.Table().CurrentRow(), 4);
    SendMessageA(grid, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(form.Table().CurrentRow(), 3);
    // A touchpad's parts of a notch add up; turning back starts anew.
    for (const auto& [deltas, row] : std::vector<std::pair<std::vector<int>, int>>{
             {{-40, -40}, 3}, {{-40}, 4}, {{40, 40, -40, -40, -40}, 5}}) {
        for (const int delta : deltas)
            SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
        EXPECT_EQ(form.Table().CurrentRow(), row);
    }
    Pump();
    EXPECT_TRUE(form.BitUp.Enabled());
    EXPECT_TRUE(form.BitDown.Enabled());
}

TEST_F(MainWindowTest, DraggingAHeaderBorderResizesTheColumn) {
    Start();
    const HWND grid = form.StringGrid1.Hwnd();
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(122, 5));
    SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(160, 5));
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(160, 5));
    EXPECT_EQ(form.StringGrid1.ColumnWidth(0), 160);
    EXPECT_EQ(form.StringGrid1.ColumnWidth(1), 65);
}

} // namespace
} // namespace reelbond
