// What real input does to the main window: the focus, quick clicks, Enter, the hints and files
// dropped on it.
#include "main_window_fixture.h"
#include "support/file_drag_data.h"

#include <filesystem>
#include <functional>
#include <map>
#include <thread>

namespace reelbond {
namespace {

using test::ClipA;
using test::MainWindowTest;
using test::Strings;

TEST_F(MainWindowTest, ClearByMouseLeavesTheFocusOnAControlAndPlainLettersExitNothing) {
    CopyMedia(ClipA);
    Start();
    AddSelected({ClipA});
    ClickWithMouse(form.BitnClear);
    ASSERT_EQ(form.Table().FileCount(), 0);
    // Up and Down, next in tab order, are disabled too.
    EXPECT_EQ(GetFocus(), form.FilterComboBox1.Hwnd());
    PressKey('E');
    ASSERT_TRUE(IsWindow(form.Hwnd()));
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), form.Edit1.Hwnd());
    // Without a focused control keys arrive as system keys, Alt held or not.
    SetFocus(nullptr);
    PressKey('E');
    PressKey('H');
    EXPECT_TRUE(IsWindow(form.Hwnd()));
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
    SetFocus(form.BitnAdd.Hwnd());
    PressKey(VK_RETURN);
    EXPECT_EQ(Column(0), (Strings{dir / ClipA}));
}

// Started from the event loop rather than a window procedure, a failing Link still ends in
// its box, and the program goes on with its table.
TEST_F(MainWindowTest, LinkStartedByKeysThatFailsShowsItsBoxAndKeepsTheTable) {
    for (const char* name : {"a.mpg", "b.mpg", "c.mpg"})
        CopyMedia(ClipA, name);
    Start();
    AddSelected({"a.mpg", "b.mpg", "c.mpg"});
    DeleteFileA((dir / "b.mpg").c_str());
    SetWindowTextA(form.Edit1.Hwnd(), "out");
    SetFocus(form.Edit1.Hwnd());
    PressKeys({VK_MENU, 'L'});
    SetFocus(form.StringGrid1.Hwnd());
    PressKeys({'L'});
    EXPECT_EQ(boxes.texts(), (Strings{"File not found.", "File not found."}));
    ASSERT_TRUE(IsWindow(form.Hwnd()));
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg", dir / "b.mpg", dir / "c.mpg"}));
}

// Input and posted commands wait in the queue while Add works, and by the time they are taken
// the greyed Link and Clear are enabled: they are dropped instead.
TEST_F(MainWindowTest, ClicksAndCommandsDuringAnAddAreDroppedWhenItEnds) {
    CopyMedia(ClipA, "a.mpg");
    CopyMedia(test::ClipB, "b.mpg");
    const std::string precious(14000, 'p');
    test::WriteBytes(dir / "precious.mpg", precious);
    Start();
    SetWindowTextA(form.Edit1.Hwnd(), "precious");
    Select("a.mpg");
    Select("b.mpg");
    for (const Control* greyed :
         std::initializer_list<const Control*>{&form.SpdBtnLink, &form.BitnClear}) {
        SendMouse(CentreOf(*greyed));
        SendMouse(CentreOf(*greyed), MOUSEEVENTF_LEFTDOWN);
        SendMouse(CentreOf(*greyed), MOUSEEVENTF_LEFTUP);
    }
    PostMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(form.BitnClear.Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.BitnClear.Hwnd()));
    Click(form.BitnAdd);
    Pump();
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg", dir / "b.mpg"}));
    EXPECT_EQ(test::ReadBytes(dir / "precious.mpg"), precious);
    EXPECT_TRUE(boxes.boxes().empty());
}

// Another program closes the window, asks to end the session and presses Help while a long
// link runs: the link is not interrupted, the session is refused, and the close follows.
TEST_F(MainWindowTest, CloseAndLogOffSentDuringALongLinkWaitForItsEnd) {
    constexpr std::uintmax_t Size = std::uintmax_t{256} << 20;
    for (const char* name : {"a.mpg", "b.mpg"}) {
        CopyMedia(ClipA, name);
        std::filesystem::resize_file(dir / name, Size);
    }
    int helps = 0;
    form.OnHelp = [&] { ++helps; };
    Start();
    AddSelected({"a.mpg", "b.mpg"});
    SetWindowTextA(form.Edit1.Hwnd(), "joined");
    EXPECT_EQ(SendMessageW(form.Hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
    LRESULT endSessionAnswer = -1;
    std::thread otherProgram([&] {
        // Sent messages reach the window only where the link looks at its queue.
        while (SendMessageW(form.ProgressBar1.Hwnd(), PBM_GETPOS, 0, 0) == 0)
            Sleep(1);
        endSessionAnswer = SendMessageW(form.Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
        SendMessageW(form.SpdBtnHelp.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(form.SpdBtnHelp.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    });
    Click(form.SpdBtnLink);
    otherProgram.join();
    EXPECT_EQ(endSessionAnswer, FALSE);
    EXPECT_EQ(helps, 0);
    EXPECT_EQ(boxes.texts(), (Strings{"The files link has been done!"}));
    EXPECT_EQ(std::filesystem::file_size(dir / "joined.mpg"), 2 * Size);
    Pump();
    EXPECT_EQ(form.Hwnd(), nullptr);
}

// Takes the window's messages as they come, as its loop does, until ready() or ten seconds have
// passed, and says how many milliseconds that took.
DWORD PumpUntil(TForm1& form, const std::function<bool()>& ready) {
    constexpr DWORD Limit = 10000;
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; !ready() && waited < Limit; waited = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, Limit - waited, QS_ALLINPUT);
        test::PumpEvents(form);
    }
    return GetTickCount() - start;
}

using test::DropEffects;

DropEffects DropFiles(TForm1& form, const Strings& paths) {
    return test::DragAndDrop(form.Hwnd(), paths);
}

// In Explorer's order whatever the drag's, the filter not asked, a folder among files left
// out, stopped by an ineligible file as Add is; a folder alone opens in the browser.
TEST_F(MainWindowTest, DroppedFilesJoinInExplorersOrderAndAFolderAloneOpens) {
    const std::string longName = "clip5" + std::string(241, 'n') + ".mpg";
    CopyMedia(ClipA, "Clip1.mpg");
    CopyMedia(test::ClipB, "clip2 日本.vob");
    test::WriteBytes(dir / longName, test::ReadBytes(test::TestMedia(ClipA)));
    test::WriteBytes(dir / "clip7.txt", "not a video");
    CopyMedia(test::Pal, "clip10.mpg");
    const std::string folder = dir / "clip0";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    CopyMedia(ClipA, "clip0\\inside.mpg");
    Start();

    const DropEffects effects =
        DropFiles(form, {dir / "clip10.mpg", dir / "clip7.txt", folder, dir / longName,
                         dir / "clip2 日本.vob", dir / "Clip1.mpg"});
    EXPECT_EQ(effects.entered, DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(effects.dropped, DWORD{DROPEFFECT_COPY});
    Pump();
    EXPECT_EQ(Column(0), (Strings{dir / "Clip1.mpg", dir / "clip2 日本.vob", dir / longName}));
    EXPECT_EQ(boxes.texts(), (Strings{"The file is not an eligible one."}));
    EXPECT_EQ(Panel0(), "  3 file(s) selected");
    EXPECT_EQ(EnabledButtons(), (Strings{"Add", "Remove", "Up", "Clear", "Link", "Exit", "Help"}));

    DropFiles(form, {folder});
    Pump();
    EXPECT_EQ(test::PanelState(form), test::PanelStateAt(folder));
    EXPECT_EQ(form.FileListBox1.EntryCount(), 1);
    EXPECT_EQ(form.Table().FileCount(), 3);
}

// Under a box the window is disabled; during an add it takes no command. A drop then is
// refused and changes nothing.
TEST_F(MainWindowTest, DropUnderABoxOrDuringAnAddIsRefused) {
    CopyMedia(ClipA, "a.mpg");
    test::WriteBytes(dir / "b.mpg", "not a video");
    CopyMedia(test::ClipB, "c.mpg");
    Start();
    std::vector<DropEffects> refused;
    boxes.whileOpen = [&](const test::MessageBoxCatcher::Box&) {
        refused.push_back(DropFiles(form, {dir / "c.mpg"}));
    };
    const auto draw = form.StringGrid1.OnDrawCell;
    form.StringGrid1.OnDrawCell = [&](int column, int row, const RECT& cell, GridCellState state,
                                      HDC dc) {
        // The add lets the grid paint while it works.
        if (refused.empty())
            refused.push_back(DropFiles(form, {dir / "c.mpg"}));
        draw(column, row, cell, state, dc);
    };
    InvalidateRect(form.StringGrid1.Hwnd(), nullptr, FALSE);
    AddSelected({"a.mpg", "b.mpg"});
    form.StringGrid1.OnDrawCell = draw;
    Pump();
    ASSERT_EQ(refused.size(), 2u);
    for (const DropEffects& effects : refused) {
        EXPECT_EQ(effects.entered, DWORD{DROPEFFECT_NONE});
        EXPECT_EQ(effects.dropped, DWORD{DROPEFFECT_NONE});
    }
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg"}));
    EXPECT_EQ(Panel0(), "  1 file(s) selected");
}

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

// On Windows a program without a dependency on Common Controls 6 gets comctl32 5.82, whose
// tooltips refuse a tool larger than their own TOOLINFO; Wine's take any size. While one of
// these lives, the tooltips this thread creates refuse as those of 5.82 do.
class ToolSizesOfVersion5 {
public:
    ToolSizesOfVersion5()
        : hook_(SetWindowsHookExA(WH_CBT, Subclass, nullptr, GetCurrentThreadId())) {}
    ~ToolSizesOfVersion5() { UnhookWindowsHookEx(hook_); }
    ToolSizesOfVersion5(const ToolSizesOfVersion5&) = delete;
    ToolSizesOfVersion5& operator=(const ToolSizesOfVersion5&) = delete;

private:
    static LRESULT CALLBACK Subclass(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        char className[64] = "";
        if (code == HCBT_CREATEWND && GetClassNameA(window, className, sizeof className) &&
            std::string(className) == TOOLTIPS_CLASSA)
            SetWindowSubclass(window, RefuseLargeTools, 0, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK RefuseLargeTools(HWND tooltip, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR) {
        const bool takesATool = message == TTM_ADDTOOLW || message == TTM_NEWTOOLRECTW;
        if (takesATool && reinterpret_cast<const TOOLINFOW*>(lParam)->cbSize >
                              static_cast<UINT>(TTTOOLINFOW_V2_SIZE))
            return FALSE;
        return DefSubclassProc(tooltip, message, wParam, lParam);
    }

    HHOOK hook_;
};

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
            if (std::string(className) == TOOLTIPS_CLASSA &&
                GetWindow(window, GW_OWNER) == search->owner)
                search->found = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(MainWindowTest, HintsAreToolsOfTheirControlsAndFollowTheirPlaces) {
    const ToolSizesOfVersion5 version5;
    Start();
    const HWND tooltip = TooltipOwnedBy(form.Hwnd());
    ASSERT_NE(tooltip, nullptr);
    const auto hints = HintsOf(tooltip, form.Hwnd());
    EXPECT_EQ(hints.ofControl.at(form.BitnAdd.Hwnd()), "Add Files(Alt+A)");
    EXPECT_EQ(hints.ofControl.at(form.SpdBtnLink.Hwnd()), "Link Files(Alt+L)");
    EXPECT_EQ(hints.ofControl.at(form.FileListBox1.Hwnd()), "double click to add file");
    EXPECT_EQ(hints.ofControl.at(form.DriveComboBox1.Hwnd()), "select driver");
    EXPECT_EQ(hints.ofControl.count(form.FilterComboBox1.Hwnd()), 0u);
    EXPECT_EQ(hints.ofControl.size(), 11u);
    EXPECT_EQ(hints.ofPlace, hints.ofControl);

    // Laid out again at another density, the places follow the controls.
    RECT frame;
    GetWindowRect(form.Hwnd(), &frame);
    SendMessageA(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&frame));
    EXPECT_EQ(HintsOf(tooltip, form.Hwnd()).ofPlace, hints.ofPlace);
}

// Measured as the user sees it, on a disabled control: the hint shows after half a second
// and goes after two and a half (the system's own would stay five).
TEST_F(MainWindowTest, HintShowsAfterHalfASecondForTwoAndAHalfAlsoOnADisabledControl) {
    const ToolSizesOfVersion5 version5;
    Start();
    const HWND tooltip = TooltipOwnedBy(form.Hwnd());
    ASSERT_FALSE(form.SpdBtnLink.Enabled());
    RECT client;
    GetClientRect(form.Hwnd(), &client);
    MapWindowPoints(form.Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    SendMouse({client.left + 144, client.top + 120}); // the bare face, under no hint
    Pump();
    SendMouse(CentreOf(form.SpdBtnLink));
    char text[1024] = "";
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    const DWORD shownAfter = PumpUntil(form, [&] { return IsWindowVisible(tooltip) != FALSE; });
    ASSERT_TRUE(IsWindowVisible(tooltip));
    EXPECT_GE(shownAfter, 450u);
    ASSERT_TRUE(SendMessageA(tooltip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(text, "Link Files(Alt+L)");
    const DWORD hiddenAfter = PumpUntil(form, [&] { return !IsWindowVisible(tooltip); });
    EXPECT_GE(hiddenAfter, 2000u);
    EXPECT_LE(hiddenAfter, 4500u);
}

} // namespace
} // namespace reelbond
