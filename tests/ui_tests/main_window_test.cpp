#include "message_box_catcher.h"
#include "panel_driver.h"
#include "support/temp_dir.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/path.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <commctrl.h>

namespace reelbond {
namespace {

using test::MessageBoxCatcher;
using test::TempDir;
using Strings = std::vector<std::string>;

constexpr char ClipA[] = "mpeg1_ps_352x240_2997_a.mpg";
constexpr char ClipB[] = "mpeg1_ps_352x240_2997_b.mpg";
constexpr char Pal[] = "mpeg1_es_352x288_25.mpg";

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void CopyMedia(const std::string& name, const std::string& as = "") {
        CopyFileA(test::TestMedia(name).c_str(), (dir / (as.empty() ? name : as)).c_str(), FALSE);
    }

    void Start() {
        form.Create();
        form.Show();
        Pump();
    }

    void Pump() { test::PumpEvents(form); }

    void Select(const std::string& name) {
        const HWND list = form.FileListBox1.hwnd();
        const auto index = SendMessageA(list, LB_FINDSTRINGEXACT, -1,
                                        reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_GE(index, 0) << name;
        SendMessageA(list, LB_SETSEL, TRUE, index);
    }

    // Clicks, then lets the window repaint: the move buttons follow the painted table.
    void Click(const BitmapButton& button) {
        SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
        Pump();
    }
    void Click(const SpeedButton& button) {
        SendMessageA(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
    }

    void AddSelected(std::initializer_list<const char*> names) {
        for (const char* name : names)
            Select(name);
        Click(form.BitnAdd);
        Pump();
    }

    Strings Column(int column) const {
        Strings cells;
        for (int row = 1; row <= form.Table().DataRowCount(); ++row)
            cells.push_back(form.Table().Cell(column, row));
        return cells;
    }

    Strings EnabledButtons() const {
        Strings names;
        const std::pair<const Control*, const char*> buttons[] = {
            {&form.BitnAdd, "Add"},   {&form.BitnRemove, "Remove"}, {&form.BitUp, "Up"},
            {&form.BitDown, "Down"},  {&form.BitnClear, "Clear"},   {&form.SpdBtnLink, "Link"},
            {&form.SpdBtnExit, "Exit"}, {&form.SpdBtnHelp, "Help"}};
        for (const auto& [button, name] : buttons)
            if (button->Enabled())
                names.push_back(name);
        return names;
    }

    std::string Panel0() const { return form.StatusBar1.PanelText(0); }

    // Real input: the system turns it into messages as it does for a user.
    static POINT CentreOf(const Control& control) {
        RECT frame;
        GetWindowRect(control.hwnd(), &frame);
        return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
    }
    static void SendMouse(POINT at, DWORD buttons = 0) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (at.x * 65536 + width - 1) / width;
        input.mi.dy = (at.y * 65536 + height - 1) / height;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
        ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
    }
    void ClickWithMouse(const Control& control) {
        const POINT at = CentreOf(control);
        SendMouse(at);
        SendMouse(at, MOUSEEVENTF_LEFTDOWN);
        SendMouse(at, MOUSEEVENTF_LEFTUP);
        Pump();
    }
    void PressKey(WORD key) {
        INPUT keys[2]{};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = key;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ASSERT_EQ(SendInput(2, keys, sizeof keys[0]), 2u);
        Pump();
    }

    void DoubleClickDirectory(const std::string& name) {
        test::DoubleClickEntry(form.DirectoryListBox1.hwnd(), name);
        Pump();
    }

    TempDir dir;
    test::CurrentDirectoryGuard inDir{dir.path()};
    MessageBoxCatcher boxes;
    TForm1 form;
    Strings notices;
};

TEST_F(MainWindowTest, StartsWithHeaderEmptyTableAndOnlyExitAndHelp) {
    Start();
    char caption[64];
    GetWindowTextA(form.hwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, " Reelbond");
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 655);
    EXPECT_EQ(client.bottom, 305);
    EXPECT_EQ(form.Table().Cell(0, 0), "File name");
    EXPECT_TRUE(form.Table().IsEmpty());
    EXPECT_EQ(Panel0(), "  0   file(s) selected");
    EXPECT_EQ(form.StatusBar1.PanelText(1), "");
    EXPECT_EQ(form.StatusBar1.PanelText(2), "   Progress");
    EXPECT_EQ(form.ProgressBar1.Position(), 0);
    EXPECT_EQ(EnabledButtons(), (Strings{"Exit", "Help"}));
    EXPECT_EQ(GetFocus(), form.FileListBox1.hwnd());
    EXPECT_EQ(form.DriveComboBox1.Drive(), std::toupper(static_cast<unsigned char>(dir.path()[0])));
    EXPECT_EQ(form.DirectoryListBox1.Directory(), dir.path());
    EXPECT_EQ(form.DirectoryListBox1.EntryText(form.DirectoryListBox1.HighlightedIndex()),
              dir.path().substr(dir.path().rfind('\\') + 1));
    const LONG style = GetWindowLongA(form.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MainWindowTest, ControlsLieWhereTheLayoutPutsThem) {
    Start();
    const auto frameOf = [&](const Control& control) {
        RECT frame;
        GetWindowRect(control.hwnd(), &frame);
        MapWindowPoints(HWND_DESKTOP, form.hwnd(), reinterpret_cast<POINT*>(&frame), 2);
        return std::array<LONG, 4>{frame.left, frame.top, frame.right - frame.left,
                                   frame.bottom - frame.top};
    };
    using Frame = std::array<LONG, 4>;
    const Frame drive = frameOf(form.DriveComboBox1);
    EXPECT_EQ(drive[0], 5);
    EXPECT_EQ(drive[1], 25);
    EXPECT_EQ(drive[2], 131);
    EXPECT_EQ(drive[3], 22);
    EXPECT_EQ(frameOf(form.DirectoryListBox1), (Frame{4, 53, 131, 169}));
    EXPECT_EQ(frameOf(form.FileListBox1), (Frame{152, 25, 111, 197}));
    EXPECT_EQ(frameOf(form.StringGrid1), (Frame{322, 26, 329, 197}));
    EXPECT_EQ(frameOf(form.SpdBtnHelp), (Frame{567, 243, 56, 26}));
    EXPECT_EQ(frameOf(form.Edit1), (Frame{152, 248, 111, 21}));
    EXPECT_EQ(frameOf(form.FilterComboBox1)[0], 5);
    EXPECT_EQ(frameOf(form.ProgressBar1), (Frame{336, 286, 316, 18}));
    EXPECT_EQ(frameOf(form.StatusBar1), (Frame{0, 283, 655, 22}));
    // The band between a control's own frame and its client area.
    const auto borderWidth = [](const Control& control) {
        RECT frame;
        GetWindowRect(control.hwnd(), &frame);
        POINT client{0, 0};
        ClientToScreen(control.hwnd(), &client);
        RECT own{0, 0, 0, 0};
        AdjustWindowRectEx(&own, GetWindowLongA(control.hwnd(), GWL_STYLE), FALSE,
                           GetWindowLongA(control.hwnd(), GWL_EXSTYLE));
        return client.x - frame.left + own.left;
    };
    EXPECT_EQ(borderWidth(form.ProgressBar1), 2);
    EXPECT_EQ(borderWidth(form.StatusBar1), 1);
}

TEST_F(MainWindowTest, TabVisitsTheControlsInOrder) {
    CopyMedia(ClipA);
    CopyMedia(ClipB);
    Start();
    AddSelected({ClipA, ClipB});
    SetFocus(form.FileListBox1.hwnd());
    Strings visited;
    for (int step = 0; step < 12; ++step) {
        const Control* focused = Control::FromHandle(GetFocus());
        visited.push_back(focused ? std::to_string(focused->id()) : "?");
        SetFocus(GetNextDlgTabItem(form.hwnd(), GetFocus(), FALSE));
    }
    const auto idOf = [](const Control& c) { return std::to_string(c.id()); };
    // Down is disabled with the last row current.
    EXPECT_EQ(visited, (Strings{idOf(form.FileListBox1), idOf(form.BitnAdd),
                                idOf(form.BitnRemove), idOf(form.StringGrid1),
                                idOf(form.DriveComboBox1), idOf(form.DirectoryListBox1),
                                idOf(form.BitnClear), idOf(form.BitUp),
                                idOf(form.FilterComboBox1), idOf(form.Edit1),
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
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Remove", "Down", "Clear", "Link", "Exit", "Help"}));
    Click(form.BitDown);
    EXPECT_EQ(Column(3), (Strings{"OK", "format differ", "OK"}));
    Click(form.BitnRemove); // the file at row 2, now pal.mpg
    EXPECT_EQ(Column(0), (Strings{dir / ClipA, dir / ClipB}));
    EXPECT_EQ(Panel0(), "  2 file(s) selected");

    SetWindowTextA(form.Edit1.hwnd(), "joined");
    boxes.whileOpen = [&](const MessageBoxCatcher::Box&) {
        EXPECT_EQ(form.ProgressBar1.Position(), 100);
    };
    Click(form.SpdBtnLink);
    EXPECT_EQ(boxes.texts(), (Strings{"The files link has been done!"}));
    EXPECT_EQ(boxes.boxes()[0].caption, ApplicationTitle());
    EXPECT_FALSE(boxes.boxes()[0].hasIcon);
    EXPECT_EQ(test::ReadBytes(dir / "joined.mpg"),
              test::ReadBytes(dir / ClipA) + test::ReadBytes(dir / ClipB));
    EXPECT_TRUE(form.Table().IsEmpty());
    EXPECT_EQ(form.ProgressBar1.Position(), 0);
    EXPECT_EQ(Panel0(), "  0  file(s) selected");
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Exit", "Help"}));

    AddSelected({ClipA});
    Click(form.BitnClear);
    EXPECT_TRUE(form.Table().IsEmpty());
    EXPECT_EQ(Panel0(), "  0  file(s) selected");
}

TEST_F(MainWindowTest, DoubleClickAddsLikeTheAddButton) {
    CopyMedia(ClipA);
    Start();
    RECT entry;
    SendMessageA(form.FileListBox1.hwnd(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&entry));
    const LPARAM at = MAKELPARAM(entry.left + 5, entry.top + 5);
    SendMessageA(form.FileListBox1.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(form.FileListBox1.hwnd(), WM_LBUTTONUP, 0, at);
    SendMessageA(form.FileListBox1.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(form.FileListBox1.hwnd(), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(Column(0), (Strings{dir / ClipA}));
}

TEST_F(MainWindowTest, DoubleClickedSubdirectoryBecomesTheDirectoryOfBothListsAndTheProcess) {
    const std::string clips = dir / "Clips";
    ASSERT_TRUE(CreateDirectoryA(clips.c_str(), nullptr));
    CopyFileA(test::TestMedia(ClipA).c_str(), (clips + "\\" + ClipA).c_str(), FALSE);
    Start();
    EXPECT_EQ(EnabledButtons(), (Strings{"Exit", "Help"}));
    test::RecordPanelNotifications(form, notices);

    DoubleClickDirectory("Clips");
    // The file list follows the directory list's change step; the window's handler then
    // repeats the write, which changes nothing.
    EXPECT_EQ(notices, (Strings{"FileListBox1Change " + test::PanelStateAt(clips),
                                "DirectoryListBox1Change " + test::PanelStateAt(clips)}));
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Exit", "Help"}));

    AddSelected({ClipA});
    EXPECT_EQ(Column(0), (Strings{clips + "\\" + ClipA}));
    EXPECT_EQ(Column(3), (Strings{"OK"}));
}

TEST_F(MainWindowTest, EnterInTheDirectoryListOpensTheHighlightedEntry) {
    ASSERT_TRUE(CreateDirectoryA((dir / "Clips").c_str(), nullptr));
    Start();
    const HWND list = form.DirectoryListBox1.hwnd();
    SetFocus(list);
    SendMessageA(list, LB_SETCURSEL,
                 SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Clips")), 0);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC01C0001);
    Pump();
    EXPECT_EQ(form.DirectoryListBox1.Directory(), dir / "Clips");
    EXPECT_EQ(form.FileListBox1.Directory(), dir / "Clips");
    EXPECT_EQ(CurrentDirectory(), dir / "Clips");
    EXPECT_TRUE(IsWindow(form.hwnd()));
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
    EXPECT_EQ(test::PanelState(form), "files=" + dir.path() + " dirs=" + dir.path() +
                                " highlighted=gone cwd=" + dir.path());
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

TEST_F(MainWindowTest, NothingSelectedWritesTheComputedZeroCount) {
    CopyMedia(ClipA);
    Start();
    Click(form.BitnAdd);
    EXPECT_EQ(Panel0(), "  0 file(s) selected");
    EXPECT_TRUE(form.Table().IsEmpty());
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
    PostMessageA(form.FileListBox1.hwnd(), WM_SYSCHAR, 'l', 1 << 29);
    PostMessageA(form.FileListBox1.hwnd(), WM_SYSCHAR, 'h', 1 << 29);
    PostMessageA(form.FileListBox1.hwnd(), WM_SYSCHAR, 'a', 1 << 29);
    Pump();
    EXPECT_EQ(helps, 1);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_TRUE(form.Table().IsEmpty());
}

TEST_F(MainWindowTest, TypedLetterIsInputInTheEditButExitInTheGrid) {
    Start();
    PostMessageA(form.Edit1.hwnd(), WM_CHAR, 'e', 0);
    Pump();
    EXPECT_EQ(form.Edit1.Text(), "e");
    ASSERT_TRUE(IsWindow(form.hwnd()));
    SetFocus(form.StringGrid1.hwnd());
    PostMessageA(form.StringGrid1.hwnd(), WM_CHAR, 'E', 0);
    Pump();
    EXPECT_EQ(form.hwnd(), nullptr);
}

TEST_F(MainWindowTest, ClearByMouseLeavesTheFocusOnAControlAndPlainLettersExitNothing) {
    CopyMedia(ClipA);
    Start();
    AddSelected({ClipA});
    ClickWithMouse(form.BitnClear);
    ASSERT_TRUE(form.Table().IsEmpty());
    // Up and Down, next in tab order, are disabled too.
    EXPECT_EQ(GetFocus(), form.FilterComboBox1.hwnd());
    PressKey('E');
    ASSERT_TRUE(IsWindow(form.hwnd()));
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), form.Edit1.hwnd());
    // Without a focused control keys arrive as system keys, Alt held or not.
    SetFocus(nullptr);
    PressKey('E');
    PressKey('H');
    EXPECT_TRUE(IsWindow(form.hwnd()));
}

TEST_F(MainWindowTest, QuickClicksEachCount) {
    for (const char* name : {"a.mpg", "b.mpg", "c.mpg", "d.mpg"})
        CopyMedia(ClipA, name);
    int helps = 0;
    form.OnHelp = [&] { ++helps; };
    Start();
    AddSelected({"a.mpg", "b.mpg", "c.mpg", "d.mpg"});
    for (int click = 0; click < 3; ++click)
        ClickWithMouse(form.BitUp);
    EXPECT_EQ(Column(0), (Strings{dir / "d.mpg", dir / "a.mpg", dir / "b.mpg", dir / "c.mpg"}));
    for (int click = 0; click < 3; ++click)
        ClickWithMouse(form.SpdBtnHelp);
    EXPECT_EQ(helps, 3);
}

TEST_F(MainWindowTest, EnterPressesTheFocusedBitmapButton) {
    CopyMedia(ClipA);
    Start();
    Select(ClipA);
    SetFocus(form.BitnAdd.hwnd());
    PressKey(VK_RETURN);
    EXPECT_EQ(Column(0), (Strings{dir / ClipA}));
}

TEST_F(MainWindowTest, GridClicksKeysAndWheelMoveTheCurrentRow) {
    CopyMedia(ClipA);
    Start();
    for (int i = 0; i < 20; ++i)
        AddSelected({ClipA});
    const HWND grid = form.StringGrid1.hwnd();
    EXPECT_EQ(form.Table().CurrentRow(), 20);
    EXPECT_GT(form.StringGrid1.TopRow(), 1); // scrolled to show the new last row
    SendMessageA(grid, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(form.Table().CurrentRow(), 1);
    EXPECT_EQ(form.StringGrid1.TopRow(), 1);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 16 * 3 + 4));
    EXPECT_EQ(form.Table().CurrentRow(), 3);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 4)); // the header
    EXPECT_EQ(form.Table().CurrentRow(), 3);
    SendMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(form.Table().CurrentRow(), 4);
    SendMessageA(grid, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(form.Table().CurrentRow(), 3);
    Pump();
    EXPECT_TRUE(form.BitUp.Enabled());
    EXPECT_TRUE(form.BitDown.Enabled());
}

TEST_F(MainWindowTest, DraggingAHeaderBorderResizesTheColumn) {
    Start();
    const HWND grid = form.StringGrid1.hwnd();
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(122, 5));
    SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(160, 5));
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(160, 5));
    EXPECT_EQ(form.StringGrid1.ColumnWidth(0), 160);
    EXPECT_EQ(form.StringGrid1.ColumnWidth(1), 65);
}

} // namespace
} // namespace reelbond

namespace reelbond {
namespace {

// The hints of the window's tooltip, by the control they belong to: the tools that follow
// the control itself, and those that cover its place in the window.
struct Hints {
    std::map<HWND, std::string> ofControl;
    std::map<HWND, std::string> ofPlace;
};

Hints HintsOf(HWND tooltip, HWND window) {
    Hints hints;
    const auto count = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (int index = 0; index < count; ++index) {
        char text[128] = "";
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = text;
        SendMessageA(tooltip, TTM_ENUMTOOLSA, index, reinterpret_cast<LPARAM>(&tool));
        if (tool.uFlags & TTF_IDISHWND) {
            hints.ofControl[reinterpret_cast<HWND>(tool.uId)] = text;
            continue;
        }
        const HWND control = GetDlgItem(window, static_cast<int>(tool.uId));
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_TRUE(EqualRect(&place, &tool.rect)) << text;
        hints.ofPlace[control] = text;
    }
    return hints;
}

HWND TooltipOwnedBy(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) {
            auto* search = reinterpret_cast<Search*>(lParam);
            char className[64] = "";
            GetClassNameA(window, className, sizeof className);
            if (std::string(className) == TOOLTIPS_CLASSA && GetWindow(window, GW_OWNER) == search->owner)
                search->found = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(MainWindowTest, HintsShowAfterHalfASecondForTwoAndAHalf) {
    Start();
    const HWND tooltip = TooltipOwnedBy(form.hwnd());
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
    const auto hints = HintsOf(tooltip, form.hwnd());
    EXPECT_EQ(hints.ofControl.at(form.BitnAdd.hwnd()), "Add Files(Alt+A)");
    EXPECT_EQ(hints.ofControl.at(form.SpdBtnLink.hwnd()), "Link Files(Alt+L)");
    EXPECT_EQ(hints.ofControl.at(form.FileListBox1.hwnd()), "double click to add file");
    EXPECT_EQ(hints.ofControl.at(form.DriveComboBox1.hwnd()), "select driver");
    EXPECT_EQ(hints.ofControl.count(form.FilterComboBox1.hwnd()), 0u);
    EXPECT_EQ(hints.ofControl.size(), 11u);
    EXPECT_EQ(hints.ofPlace, hints.ofControl);
}

TEST_F(MainWindowTest, DisabledControlShowsItsHintWhenTheMouseRestsOnIt) {
    Start();
    const HWND tooltip = TooltipOwnedBy(form.hwnd());
    ASSERT_FALSE(form.SpdBtnLink.Enabled());
    RECT client;
    GetClientRect(form.hwnd(), &client);
    MapWindowPoints(form.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    SendMouse({client.left + 144, client.top + 120}); // the bare face, under no hint
    Pump();
    const DWORD start = GetTickCount();
    SendMouse(CentreOf(form.SpdBtnLink));
    char text[1024] = "";
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    while (!IsWindowVisible(tooltip) && GetTickCount() - start < 10000) {
        Pump();
        Sleep(10);
    }
    const DWORD shownAfter = GetTickCount() - start;
    ASSERT_TRUE(IsWindowVisible(tooltip));
    EXPECT_GE(shownAfter, 450u);
    ASSERT_TRUE(SendMessageA(tooltip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(text, "Link Files(Alt+L)");
}

} // namespace
} // namespace reelbond
