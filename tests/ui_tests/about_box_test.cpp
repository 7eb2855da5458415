#include "about/about_box.h"
#include "about/interface_style.h"
#include "core/file.h"
#include "glyph_pixels.h"
#include "host_window.h"
#include "message_box_catcher.h"
#include "support/temp_dir.h"
#include "win/handles.h"
#include "win/program_file.h"

#include <functional>
#include <gtest/gtest.h>
#include <richedit.h>
#include <string>
#include <utility>
#include <vector>

namespace reelbond {
namespace {

using test::CurrentDirectoryGuard;
using test::HostWindow;
using test::MessageBoxCatcher;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr char RichHelp[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\b Reelbond help\\b0\\par "
    "Pick a directory.\\par}";

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

// The view's text in the program's code page. Asked by its window text, the control
// counts characters where bytes are wanted.
std::string ViewText(const TAboutBox& box) {
    const HWND view = box.RichEdit21.Hwnd();
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES, CP_ACP};
    std::string text(
        SendMessageA(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0) + 1, '\0');
    GETTEXTEX request{static_cast<DWORD>(text.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
    text.resize(SendMessageA(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                             reinterpret_cast<LPARAM>(text.data())));
    return WithoutCarriageReturns(text);
}

CHARFORMAT2A FormatAt(const TRichEdit& view, int position) {
    SendMessageA(view.Hwnd(), EM_SETSEL, position, position + 1);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(view.Hwnd(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

DWORD EffectsAt(const TRichEdit& view, int position) {
    return FormatAt(view, position).dwEffects;
}

bool BoldAt(const TRichEdit& view, int position) {
    return EffectsAt(view, position) & CFE_BOLD;
}

// Runs the steps one by one inside the box's modal loop, each once the messages posted
// before it, and those they post in turn, are handled: timer messages come only when
// nothing else is waiting.
class IdleSteps {
public:
    explicit IdleSteps(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        running = this;
        timer_ = SetTimer(nullptr, 0, 1, Tick);
    }
    ~IdleSteps() {
        KillTimer(nullptr, timer_);
        running = nullptr;
    }
    IdleSteps(const IdleSteps&) = delete;
    IdleSteps& operator=(const IdleSteps&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (running && running->next_ < running->steps_.size())
            running->steps_[running->next_++]();
    }

    static inline IdleSteps* running = nullptr;
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_;
};

void PostKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 0);
}

RECT FrameInParent(HWND control) {
    RECT frame;
    GetWindowRect(control, &frame);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&frame), 2);
    return frame;
}

LOGFONTA FontOf(const Control& control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control.Hwnd(), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

// What a control draws of itself, asked to print its client area into a bitmap, so that
// windows of other tests lying over it do not matter.
class Picture : public test::Canvas {
public:
    Picture(const Control& control, int width, int height) : Canvas(width, height) {
        SendMessageA(control.Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc()),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
};

TEST(AboutBoxHelpPathTest, IsTheProgramDirectoryFollowedByHelpRtf) {
    EXPECT_EQ(HelpFilePath("C:\\Tools\\prog.exe"), "C:\\Tools\\Help.rtf");
    EXPECT_EQ(HelpFilePath("C:\\prog.exe"), "C:\\Help.rtf");
    EXPECT_EQ(HelpFilePath("C:prog.exe"), "C:Help.rtf");
    EXPECT_EQ(HelpFilePath("\\\\server\\share\\prog.exe"), "\\\\server\\share\\Help.rtf");
    EXPECT_EQ(HelpFilePath("prog.exe"), "Help.rtf");
}

class AboutBoxTest : public testing::Test {
protected:
    TempDir dir;
    TempDir elsewhere;
    const std::string helpPath = dir / "Help.rtf";
    MessageBoxCatcher catcher;
    Owned<HostWindow> owner;
    Owned<TAboutBox> box{dir / "Reelbond.exe"};

    // Test processes running side by side take the activation from each other, and with
    // it this thread's focus: what depends on the focus runs right after activating.
    void Reactivate() { SetActiveWindow(box.Hwnd()); }
    // Hands a key to the box at once, as its modal loop does.
    void PressKey(HWND target, WPARAM key) {
        MSG message{target, WM_KEYDOWN, key, 0};
        IsDialogMessageA(box.Hwnd(), &message);
    }
};

TEST_F(AboutBoxTest, ShowsTheRichTextHelpFileBesideTheProgram) {
    WriteBytes(helpPath, RichHelp);
    const CurrentDirectoryGuard workingDirectory(elsewhere.path());
    box.Create();

    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(ViewText(box), "Reelbond help\nPick a directory.");
    EXPECT_TRUE(BoldAt(box.RichEdit21, 0));
    EXPECT_FALSE(BoldAt(box.RichEdit21, 15));
    EXPECT_FALSE(box.RichEdit21.PlainText());
    EXPECT_FALSE(IsWindowVisible(box.Hwnd()));
}

TEST_F(AboutBoxTest, DeliveredHelpFileIsRichTextThatExplainsEveryMessage) {
    WriteBytes(helpPath, ReadBytes(test::TestMedia("..\\..\\resources\\Help.rtf")));
    box.Create();

    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_TRUE(BoldAt(box.RichEdit21, 0));
    const std::string text = ViewText(box);
    EXPECT_EQ(text.rfind("Reelbond 1.01\n", 0), 0u);
    const auto body = static_cast<int>(text.find("Joins MPEG"));
    EXPECT_STREQ(FormatAt(box.RichEdit21, body).szFaceName, InterfaceFont);
    for (const char* message :
         {"The file is not an eligible one.", "The input files should be more than one.",
          "The input files have different format and cannot be linked.",
          "The output file need a name.", "The output file cannot be one of the input files.",
          "File: <path> not found.", "File not found", "Invalid filename", "File access denied",
          "Read beyond end of file", "Disk full", "Out of memory",
          "The disk driver does not prepared.", "The files link has been done!", "format differ",
          "1.01"})
        EXPECT_NE(text.find(message), std::string::npos) << message;
}

TEST_F(AboutBoxTest, ShowsAFileThatIsNotRichTextAsPlainText) {
    WriteBytes(helpPath, "Plain help\r\n{not rtf}\r\n");
    box.Create();

    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(ViewText(box), "Plain help\n{not rtf}\n");
    EXPECT_FALSE(BoldAt(box.RichEdit21, 0));
}

TEST_F(AboutBoxTest, MissingHelpFileIsReportedOnceAndLeavesAnEmptyRichTextView) {
    box.Create();

    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_EQ(catcher.boxes()[0].caption, ApplicationTitle());
    EXPECT_EQ(catcher.boxes()[0].text, "Cannot open file " + helpPath + ".");
    ASSERT_TRUE(IsWindow(box.Hwnd()));
    EXPECT_EQ(ViewText(box), "");
    EXPECT_FALSE(box.RichEdit21.PlainText());
    EXPECT_TRUE(IsWindow(box.BtnOK.Hwnd()));
}

TEST_F(AboutBoxTest, HelpFileIsReadBesideOtherReadersButNotBesideAWriter) {
    WriteBytes(helpPath, RichHelp);
    {
        const UniqueFileHandle writer(CreateFileA(helpPath.c_str(), GENERIC_WRITE,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, 0, nullptr));
        box.Create();
    }
    EXPECT_EQ(catcher.texts(), std::vector<std::string>{"Cannot open file " + helpPath + "."});

    Owned<TAboutBox> second(dir / "Reelbond.exe");
    {
        const UniqueFileHandle reader(CreateFileA(helpPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        second.Create();
    }
    EXPECT_EQ(catcher.boxes().size(), 1u);
    EXPECT_EQ(ViewText(second), "Reelbond help\nPick a directory.");
}

TEST_F(AboutBoxTest, ContentThatCannotBeReadFailsToLoadStreamInEitherMode) {
    WriteBytes(helpPath, RichHelp);
    box.Create();
    // Under Wine no file named Help.rtf can be opened for reading and then fail to read,
    // so the view is handed a handle without read access.
    File unreadable = File::Adopt(CreateFileA(helpPath.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    for (const bool plainText : {false, true}) {
        SendMessageA(box.RichEdit21.Hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        box.RichEdit21.SetPlainText(plainText);
        ASSERT_EQ(box.RichEdit21.PlainText(), plainText);
        try {
            box.RichEdit21.LoadFromStream(unreadable);
            ADD_FAILURE() << "loaded";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Failed to Load Stream");
        }
    }
}

TEST_F(AboutBoxTest, HasTheLayoutOfTheBox) {
    WriteBytes(helpPath, RichHelp);
    box.Create();

    char caption[64] = "";
    GetWindowTextA(box.Hwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, "About Reelbond...");
    RECT client;
    GetClientRect(box.Hwnd(), &client);
    EXPECT_EQ(client.right, 508);
    EXPECT_EQ(client.bottom, 339);
    const LONG style = GetWindowLongA(box.Hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_TRUE(GetWindowLongA(box.Hwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    const HMENU systemMenu = GetSystemMenu(box.Hwnd(), FALSE);
    EXPECT_NE(GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(GetMenuState(systemMenu, SC_SIZE, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(GetMenuState(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND), UINT(-1));

    struct Expected {
        const Control& control;
        RECT frame;
        std::string text;
    };
    // Labels fit their size to their text: only their corner is fixed.
    const Expected controls[] = {
        {box.mpgname, {159, 9, 0, 0}, "Reelbond"},
        {box.version, {206, 51, 0, 0}, "Version 1.01"},
        {box.copyright, {183, 72, 0, 0}, "(C) The Reelbond team"},
        {box.Bevel1, {3, 95, 505, 97}, ""},
        {box.Image1, {16, 16, 52, 52}, ""},
        {box.RichEdit21, {3, 104, 506, 305}, ""},
        {box.BtnOK, {434, 312, 506, 337}, "OK"},
    };
    for (const Expected& expected : controls) {
        const RECT frame = FrameInParent(expected.control.Hwnd());
        EXPECT_EQ(frame.left, expected.frame.left) << expected.text;
        EXPECT_EQ(frame.top, expected.frame.top) << expected.text;
        if (expected.frame.right) {
            EXPECT_EQ(frame.right, expected.frame.right) << expected.text;
            EXPECT_EQ(frame.bottom, expected.frame.bottom) << expected.text;
        }
        if (&expected.control != &box.RichEdit21) {
            EXPECT_EQ(expected.control.Text(), expected.text);
        }
    }

    EXPECT_EQ(FontOf(box.mpgname).lfHeight, -32);
    EXPECT_EQ(FontOf(box.mpgname).lfWeight, FW_BOLD);
    EXPECT_EQ(FontOf(box.mpgname).lfCharSet, ANSI_CHARSET);
    EXPECT_STREQ(FontOf(box.version).lfFaceName, InterfaceFont);
    EXPECT_EQ(FontOf(box.version).lfHeight, -11);
    EXPECT_EQ(FontOf(box.BtnOK).lfHeight, -11);
    EXPECT_EQ(FontOf(box.BtnOK).lfWeight, FW_BOLD);

    EXPECT_EQ(GetNextDlgTabItem(box.Hwnd(), box.BtnOK.Hwnd(), FALSE), box.RichEdit21.Hwnd());
    EXPECT_EQ(GetNextDlgTabItem(box.Hwnd(), box.RichEdit21.Hwnd(), FALSE), box.BtnOK.Hwnd());
}

TEST_F(AboutBoxTest, DrawsTheIconUnstretchedAndTheBevelAsALoweredRule) {
    WriteBytes(helpPath, RichHelp);
    box.Create();

    const Picture image(box.Image1, 36, 36);
    test::Canvas expected(36, 36);
    const RECT area{0, 0, 36, 36};
    FillRect(expected.dc(), &area, GetSysColorBrush(COLOR_BTNFACE));
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    ASSERT_TRUE(icon);
    DrawIconEx(expected.dc(), 0, 0, icon.get(), 32, 32, 0, nullptr, DI_NORMAL);
    int iconPixels = 0;
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 36; ++x) {
            ASSERT_EQ(image.At(x, y), expected.At(x, y)) << x << "," << y;
            iconPixels += image.At(x, y) != GetSysColor(COLOR_BTNFACE);
        }
    }
    EXPECT_GT(iconPixels, 100);

    const Picture bevel(box.Bevel1, 502, 2);
    for (const int x : {1, 250, 500}) {
        EXPECT_EQ(bevel.At(x, 0), GetSysColor(COLOR_BTNSHADOW)) << x;
        EXPECT_EQ(bevel.At(x, 1), GetSysColor(COLOR_BTNHIGHLIGHT)) << x;
    }
}

TEST_F(AboutBoxTest, RichEditIsAReadOnlyWrappingViewInTheInterfaceFont) {
    std::string longText;
    for (int line = 0; line < 40; ++line)
        longText +=
            "See http://example.com/" + std::to_string(line) + std::string(150, '.') + "\r\n";
    WriteBytes(helpPath, longText);
    box.Create();
    const HWND view = box.RichEdit21.Hwnd();

    char className[32] = "";
    GetClassNameA(view, className, sizeof className);
    EXPECT_STREQ(className, "RichEdit20W");
    const LONG style = GetWindowLongA(view, GWL_STYLE);
    EXPECT_EQ(style & (ES_MULTILINE | ES_READONLY), ES_MULTILINE | ES_READONLY);
    EXPECT_EQ(style & (WS_HSCROLL | ES_AUTOHSCROLL), 0);
    // Longer than the view: the scroll bar shows; wider: the lines wrap.
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_GT(SendMessageA(view, EM_GETLINECOUNT, 0, 0), 40);
    EXPECT_FALSE(EffectsAt(box.RichEdit21, 6) & CFE_LINK);

    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(view, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, InterfaceFont);
    EXPECT_EQ(format.yHeight, 165); // 11 pixels at 96 dots per inch, in twips
    EXPECT_EQ(format.bCharSet, GB2312_CHARSET);
    EXPECT_TRUE(format.dwEffects & CFE_AUTOCOLOR);

    SendMessageA(view, WM_CHAR, 'x', 0);
    EXPECT_EQ(ViewText(box), WithoutCarriageReturns(longText));
}

// On a screen twice as dense the text is laid out twice as large, as the rest of the box.
TEST_F(AboutBoxTest, HelpTextGrowsWithTheDensity) {
    WriteBytes(helpPath, "one\r\ntwo\r\nthree\r\n");
    box.Create();
    const HWND view = box.RichEdit21.Hwnd();
    const auto lineHeight = [view] {
        POINTL top[2]{};
        for (int line : {1, 2})
            SendMessageA(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top[line - 1]),
                         SendMessageA(view, EM_LINEINDEX, line, 0));
        return top[1].y - top[0].y;
    };
    const int at96 = lineHeight();
    RECT frame;
    GetWindowRect(box.Hwnd(), &frame);
    frame.right += frame.right - frame.left;
    frame.bottom += frame.bottom - frame.top;
    SendMessageA(box.Hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&frame));
    EXPECT_NEAR(lineHeight(), 2 * at96, 2) << at96;
}

TEST_F(AboutBoxTest, ShowsModallyCentredWithTheFocusOnOk) {
    WriteBytes(helpPath, RichHelp);
    box.Create();

    bool visible = false, ownerEnabled = true;
    HWND focus = nullptr;
    RECT frame{};
    IdleSteps steps({[&] {
        visible = IsWindowVisible(box.Hwnd());
        ownerEnabled = IsWindowEnabled(owner.Hwnd());
        GetWindowRect(box.Hwnd(), &frame);
        Reactivate();
        focus = GetFocus();
        PostMessageA(box.Hwnd(), WM_CLOSE, 0, 0);
    }});
    box.ShowModal(owner.Hwnd());

    EXPECT_TRUE(visible);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(focus, box.BtnOK.Hwnd());
    EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
    // Closed means hidden: the box and its text stay for the next showing.
    EXPECT_TRUE(IsWindow(box.Hwnd()));
    EXPECT_FALSE(IsWindowVisible(box.Hwnd()));
    EXPECT_TRUE(IsWindowEnabled(owner.Hwnd()));
    EXPECT_EQ(ViewText(box), "Reelbond help\nPick a directory.");
}

TEST_F(AboutBoxTest, EscapeAndEnterInTheViewDoNotCloseButEnterOnOkDoes) {
    WriteBytes(helpPath, RichHelp);
    box.Create();

    bool visibleAfterKeys = false, closedByEnter = true;
    PostKey(box.BtnOK.Hwnd(), VK_ESCAPE);
    PostKey(box.RichEdit21.Hwnd(), VK_ESCAPE);
    PostKey(box.RichEdit21.Hwnd(), VK_RETURN);
    IdleSteps steps({
        [&] {
            visibleAfterKeys = IsWindowVisible(box.Hwnd());
            Reactivate();
            PressKey(box.BtnOK.Hwnd(), VK_RETURN);
        },
        [&] {
            closedByEnter = false;
            PostMessageA(box.Hwnd(), WM_CLOSE, 0, 0);
        },
    });
    box.ShowModal(owner.Hwnd());

    EXPECT_TRUE(visibleAfterKeys);
    EXPECT_TRUE(closedByEnter);
    EXPECT_FALSE(IsWindowVisible(box.Hwnd()));
}

TEST_F(AboutBoxTest, TabMovesTheFocusBetweenOkAndTheView) {
    WriteBytes(helpPath, RichHelp);
    box.Create();

    HWND afterTab = nullptr, afterSecondTab = nullptr;
    CHARRANGE selection{-1, -1};
    IdleSteps steps({[&] {
        Reactivate();
        PressKey(box.BtnOK.Hwnd(), VK_TAB);
        afterTab = GetFocus();
        SendMessageA(box.RichEdit21.Hwnd(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        PressKey(box.RichEdit21.Hwnd(), VK_TAB);
        afterSecondTab = GetFocus();
        PostMessageA(box.Hwnd(), WM_CLOSE, 0, 0);
    }});
    box.ShowModal(owner.Hwnd());

    EXPECT_EQ(afterTab, box.RichEdit21.Hwnd());
    EXPECT_EQ(selection.cpMin, selection.cpMax);
    EXPECT_EQ(afterSecondTab, box.BtnOK.Hwnd());
}

TEST_F(AboutBoxTest, AltF4AndTheSystemMenuCloseTheBox) {
    WriteBytes(helpPath, RichHelp);
    box.Create();

    PostMessageA(box.BtnOK.Hwnd(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
    box.ShowModal(owner.Hwnd());
    EXPECT_FALSE(IsWindowVisible(box.Hwnd()));

    PostMessageA(box.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    box.ShowModal(owner.Hwnd());
    EXPECT_FALSE(IsWindowVisible(box.Hwnd()));
    EXPECT_TRUE(IsWindow(box.Hwnd()));
}

TEST_F(AboutBoxTest, ShowingAgainShowsTheTextReadAtCreation) {
    WriteBytes(helpPath, RichHelp);
    box.Create();
    PostMessageA(box.BtnOK.Hwnd(), BM_CLICK, 0, 0);
    box.ShowModal(owner.Hwnd());

    // The file was closed after reading: it can be rewritten meanwhile.
    WriteBytes(helpPath, "{\\rtf1 Changed\\par}");
    std::string shownText;
    IdleSteps steps({[&] {
        shownText = ViewText(box);
        PostMessageA(box.BtnOK.Hwnd(), BM_CLICK, 0, 0);
    }});
    box.ShowModal(owner.Hwnd());

    EXPECT_EQ(shownText, "Reelbond help\nPick a directory.");
    EXPECT_TRUE(catcher.boxes().empty());
}

} // namespace
} // namespace reelbond
