#include "about/about_box.h"
#include "core/file.h"
#include "glyph_pixels.h"
#include "main_window_fixture.h"
#include "win/high_contrast.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <oleacc.h>
#include <richedit.h>
#include <set>
#include <sstream>
#include <thread>

namespace reelbond {
namespace {

using test::MainWindowTest;
using test::Strings;

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};

// The reader's lines by their first field: a control's id, "id.item", "press id" or
// "slowest".
using Reading = std::map<std::string, Strings>;

Reading Parse(const std::string& output) {
    Reading lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::erase(line, '\r');
        Strings fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        fields.resize(10);
        lines[fields[0]] = Strings(fields.begin() + 1, fields.end());
    }
    return lines;
}

// Runs tests/accessible_reader.exe with arguments, a process of its own as a screen reader
// is, and meanwhile, if given; then this thread answers the calls it makes into the window.
Reading ReadFromOutside(TForm1& form, const std::string& output, const std::string& arguments,
                        const std::function<void(HANDLE reader)>& meanwhile = nullptr) {
    char self[MAX_PATH * 4];
    const std::string program(self, GetModuleFileNameA(nullptr, self, sizeof self));
    // Built by appending: gcc 12 warns falsely (-Wrestrict) about "\"" + a temporary string.
    std::string command(1, '"');
    command += program.substr(0, program.rfind('\\') + 1);
    command += "accessible_reader.exe\" ";
    command += arguments;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    PROCESS_INFORMATION process{};
    {
        const UniqueFileHandle out(CreateFileA(output.c_str(), GENERIC_WRITE, 0, &inherited,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = out.get();
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process))
            return {};
    }
    const Unique<HANDLE, HandleCloser> running(process.hProcess), thread(process.hThread);
    if (meanwhile)
        meanwhile(process.hProcess);
    // A reader that hangs fails the test by ctest's time limit.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) !=
           WAIT_OBJECT_0)
        test::PumpEvents(form);
    test::PumpEvents(form);
    return Parse(test::ReadBytes(output));
}

std::string HandleOf(HWND window) {
    return std::to_string(reinterpret_cast<UINT_PTR>(window));
}

// The main window with three files in its directory, in a thread ready for screen readers'
// calls.
class AccessibilityTest : public MainWindowTest {
protected:
    void SetUp() override {
        apartment_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CopyMedia(test::ClipA, "a.mpg");
        CopyMedia(test::ClipB, "b.mpg");
        CopyMedia(test::Pal, "c.mpg");
        Start();
    }
    void TearDown() override {
        if (SUCCEEDED(apartment_))
            CoUninitialize();
    }
    HRESULT apartment_ = E_FAIL;
};

TEST_F(AccessibilityTest, AScreenReaderReadsEveryControlAndTheRowsAndPressesButtons) {
    AddSelected({"a.mpg", "b.mpg", "c.mpg"});
    int helps = 0;
    form.OnHelp = [&] { ++helps; };
    SetFocus(form.StringGrid1.Hwnd());
    const auto id = [](const Control& control) { return std::to_string(control.Id()); };
    const Reading read = ReadFromOutside(form, dir / "read.txt",
                                         HandleOf(form.Hwnd()) + " " + id(form.SpdBtnHelp) + " " +
                                             id(form.BitDown) + " " + id(form.BitUp));

    // Name and description.
    const std::pair<const Control&, const char*> named[] = {
        {form.GroupBox1, "Select File(s)\t"},
        {form.FileListBox1, "Select File(s)\tdouble click to add file"},
        {form.GroupBox3, "Input Files\t"},
        {form.StringGrid1, "Input Files\t"},
        {form.GroupBox6, "Path and Directory\t"},
        {form.DriveComboBox1, "Path and Directory\tselect driver"},
        {form.DirectoryListBox1, "Path and Directory\tselect directory"},
        {form.GroupBox2, "File Type\t"},
        {form.FilterComboBox1, "File Type\t"},
        {form.GroupBox4, "Output File\t"},
        {form.Edit1, "Output File\t"},
        {form.ProgressBar1, "Progress\t"},
    };
    for (const auto& [control, expected] : named)
        EXPECT_EQ(read.at(id(control))[2] + "\t" + read.at(id(control))[3], expected);
    // Role (push button), name, description, shortcut, default action; greyed Down (the last
    // row is current) is unavailable.
    const std::pair<const Control&, const char*> buttons[] = {
        {form.BitnAdd, "Add Files\t\t\tPress"},
        {form.BitnRemove, "Remove the File\t\t\tPress"},
        {form.BitnClear, "Clear All Files\t\t\tPress"},
        {form.BitUp, "Move file Up\t\t\tPress"},
        {form.BitDown, "Move file Down\t\t\tPress"},
        {form.SpdBtnLink, "Link\tLink Files\tAlt+L\tPress"},
        {form.SpdBtnExit, "Exit\t\tAlt+E\tPress"},
        {form.SpdBtnHelp, "Help\t\tAlt+H\tPress"}};
    for (const auto& [button, expected] : buttons) {
        const Strings& fields = read.at(id(button));
        EXPECT_EQ(fields[0] + "\t" + fields[2] + "\t" + fields[3] + "\t" + fields[4] + "\t" +
                      fields[5],
                  "2b\t" + std::string(expected));
        EXPECT_EQ((std::stoul(fields[1], nullptr, 16) & STATE_SYSTEM_UNAVAILABLE) != 0,
                  &button == &form.BitDown)
            << expected;
    }

    // A list of the three rows, each named by its cells and placed on its row, found at its
    // place and reached from the list and from its neighbours; the current one selected and
    // focused. The header row is the list itself.
    EXPECT_EQ(read.at(id(form.StringGrid1))[0], "21");
    EXPECT_EQ(read.count(id(form.StringGrid1) + ".4"), 0u);
    EXPECT_EQ(read.at(id(form.StringGrid1) + ".0"),
              (Strings{"1", "3", "0", "", "", "", "", "", ""}));
    POINT origin{0, 0};
    ClientToScreen(form.StringGrid1.Hwnd(), &origin);
    const char* files[] = {"a.mpg, 352 X 240, 29.97 f/s, OK", "b.mpg, 352 X 240, 29.97 f/s, OK",
                           "c.mpg, 352 X 288, 25 f/s, format differ"};
    for (int row = 1; row <= 3; ++row) {
        const Strings& item = read.at(id(form.StringGrid1) + "." + std::to_string(row));
        const std::string place =
            std::to_string(origin.x) + "," + std::to_string(origin.y + 16 * row) + ",325,16";
        const std::string next = row < 3 ? std::to_string(row + 1) : "-";
        const std::string previous = row > 1 ? std::to_string(row - 1) : "-";
        EXPECT_EQ(item, (Strings{"22", item[1], dir / files[row - 1], place, std::to_string(row),
                                 next, previous, next, previous}));
        constexpr unsigned long Current = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
        EXPECT_EQ(std::stoul(item[1], nullptr, 16) & Current, row == 3 ? Current : 0) << row;
    }

    // Help and Up are clicked as the mouse clicks them; greyed Down refuses.
    EXPECT_EQ(read.at("press " + id(form.SpdBtnHelp))[0], "0");
    EXPECT_EQ(read.at("press " + id(form.BitDown))[0], "80020003");
    EXPECT_EQ(read.at("press " + id(form.BitUp))[0], "0");
    EXPECT_EQ(helps, 1);
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg", dir / "c.mpg", dir / "b.mpg"}));
}

// A reader that starts reading while a long link runs gets its answers at once, not once
// the link has ended. It starts before the link, which may be over before a reader starts.
TEST_F(AccessibilityTest, AReaderIsAnsweredWhileALongLinkRuns) {
    for (const char* name : {"a.mpg", "b.mpg"})
        std::filesystem::resize_file(dir / name, std::uintmax_t{512} << 20);
    AddSelected({"a.mpg", "b.mpg"});
    SetWindowTextA(form.Edit1.Hwnd(), "joined");
    const std::string linking = "reelbond-linking-" + std::to_string(GetCurrentProcessId());
    const Unique<HANDLE, HandleCloser> linkRuns(
        CreateEventA(nullptr, TRUE, FALSE, linking.c_str())),
        ready(CreateEventA(nullptr, TRUE, FALSE, (linking + " ready").c_str()));
    bool readDuringTheLink = false;
    const auto link = [&](HANDLE reader) {
        const HANDLE started[] = {ready.get(), reader};
        EXPECT_EQ(WaitForMultipleObjects(2, started, FALSE, 30000), WAIT_OBJECT_0);
        std::atomic<bool> ended = false;
        boxes.whileOpen = [&](const auto&) {
            ended = true;
            readDuringTheLink = WaitForSingleObject(reader, 0) == WAIT_OBJECT_0;
        };
        std::thread letReaderGo([&] {
            // Sent messages reach the window only where the link looks at its queue.
            while (!ended && SendMessageW(form.ProgressBar1.Hwnd(), PBM_GETPOS, 0, 0) == 0)
                Sleep(1);
            SetEvent(linkRuns.get());
        });
        Click(form.SpdBtnLink);
        letReaderGo.join();
    };
    const Reading read =
        ReadFromOutside(form, dir / "read.txt",
                        "--after \"" + linking + "\" " + HandleOf(form.StringGrid1.Hwnd()), link);
    EXPECT_TRUE(readDuringTheLink);
    const std::string grid = std::to_string(form.StringGrid1.Id());
    EXPECT_EQ(read.at(grid + ".2")[2], dir / "b.mpg, 352 X 240, 29.97 f/s, OK");
    EXPECT_LT(std::stoi(read.at("slowest")[0]), 500);
}

// A box over the window disables it: a reader's press, like another program's command, does
// nothing a click could not.
TEST_F(AccessibilityTest, ButtonsUnderABoxRefuseAReadersPressAndCommands) {
    AddSelected({"a.mpg", "b.mpg", "c.mpg"});
    SetWindowTextA(form.Edit1.Hwnd(), "out");
    EnableWindow(form.Hwnd(), FALSE);
    const auto id = [](const Control& control) { return std::to_string(control.Id()); };
    const Reading read = ReadFromOutside(form, dir / "read.txt",
                                         HandleOf(form.Hwnd()) + " " + id(form.SpdBtnLink) + " " +
                                             id(form.SpdBtnExit));
    SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(form.BitnClear.Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.BitnClear.Hwnd()));
    test::PumpEvents(form);
    EXPECT_EQ(read.at("press " + id(form.SpdBtnLink))[0], "80020003");
    EXPECT_EQ(read.at("press " + id(form.SpdBtnExit))[0], "80020003");
    ASSERT_TRUE(IsWindow(form.Hwnd()));
    EXPECT_EQ(form.Table().DataRowCount(), 3);
    EXPECT_TRUE(boxes.boxes().empty());
    EnableWindow(form.Hwnd(), TRUE);
}

using Events = std::vector<std::pair<DWORD, LONG>>;
Events* events = nullptr;
HWND eventWindow = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (events && window == eventWindow && object == OBJID_CLIENT)
        events->push_back({event, child});
}

// The events of one step, in any order: a burst may arrive reversed.
Events Sorted(Events& recorded) {
    Events step = std::exchange(recorded, {});
    std::sort(step.begin(), step.end());
    return step;
}

// As a screen reader listens: a hook for every process (under Wine one for a process hears
// nothing), told apart by window.
TEST_F(AccessibilityTest, TheGridTellsOfItsCurrentRowAndOfNewOrder) {
    AddSelected({"a.mpg", "b.mpg", "c.mpg"});
    Events recorded;
    events = &recorded;
    eventWindow = form.StringGrid1.Hwnd();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION,
                                               nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    const ScopeExit unhook([hook] {
        UnhookWinEvent(hook);
        events = nullptr;
    });

    SetFocus(form.StringGrid1.Hwnd());
    Pump();
    EXPECT_EQ(Sorted(recorded), (Events{{EVENT_OBJECT_FOCUS, 0}, {EVENT_OBJECT_FOCUS, 3}}));
    PressKey(VK_UP);
    EXPECT_EQ(Sorted(recorded), (Events{{EVENT_OBJECT_FOCUS, 2}, {EVENT_OBJECT_SELECTION, 2}}));
    // The button has the focus now; the rows change places and the current row goes along.
    Click(form.BitDown);
    EXPECT_EQ(Sorted(recorded),
              (Events{{EVENT_OBJECT_REORDER, CHILDID_SELF}, {EVENT_OBJECT_SELECTION, 3}}));
    Click(form.BitnClear);
    EXPECT_EQ(Sorted(recorded), (Events{{EVENT_OBJECT_REORDER, CHILDID_SELF}}));
}

// The colours a control's client area, or part of it, shows on the screen.
std::set<COLORREF> Colours(const Control& control, RECT area = {}) {
    if (IsRectEmpty(&area))
        GetClientRect(control.Hwnd(), &area);
    const std::vector<COLORREF> pixels = test::PixelsIn(ClientDc(control.Hwnd()).get(), area);
    return {pixels.begin(), pixels.end()};
}

// Blue and navy, and their blends with the background.
bool AnyBluish(const std::set<COLORREF>& colours) {
    return std::any_of(colours.begin(), colours.end(), [](COLORREF colour) {
        return GetBValue(colour) > std::max(GetRValue(colour), GetGValue(colour)) + 50;
    });
}

bool HeadingInDefaultColour(const TAboutBox& box) {
    SendMessageA(box.RichEdit21.Hwnd(), EM_SETSEL, 0, 1);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(box.RichEdit21.Hwnd(), EM_GETCHARFORMAT, SCF_SELECTION,
                 reinterpret_cast<LPARAM>(&format));
    return format.dwEffects & CFE_AUTOCOLOR;
}

// A black scheme as a user sets it; Wine cannot switch the mode itself on, so the test forces
// it. The colours hold in this process only.
TEST_F(AccessibilityTest, HighContrastDrawsCaptionsCellsAndGlyphsInTheSystemColours) {
    AddSelected({"a.mpg", "b.mpg"});
    SetFocus(form.Edit1.Hwnd());
    test::WriteBytes(dir / "Help.rtf",
                     "{\\rtf1{\\colortbl;\\red0\\green0\\blue128;}\\cf1 Heading\\cf0\\par}");
    Owned<TAboutBox> box(dir / "Reelbond.exe");
    box.Create();
    const RECT caption{0, 0, 100, 13};
    const RECT rows{0, 0, 325, 32}; // the header and the first row, which is not current
    const RECT glyph{6, 6, 35, 26};
    Pump();
    for (const auto& [control, area] : {std::pair<const Control&, RECT>{form.GroupBox1, caption},
                                        {form.StringGrid1, rows},
                                        {form.SpdBtnExit, {}},
                                        {form.BitUp, glyph}})
        EXPECT_TRUE(AnyBluish(Colours(control, area))) << control.Id();
    EXPECT_FALSE(HeadingInDefaultColour(box));

    const int parts[] = {COLOR_BTNFACE,  COLOR_BTNTEXT,   COLOR_WINDOW,   COLOR_WINDOWTEXT,
                         COLOR_GRAYTEXT, COLOR_HIGHLIGHT, COLOR_BTNSHADOW};
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), yellow = RGB(255, 255, 0),
                   green = RGB(0, 255, 0);
    const COLORREF scheme[] = {black, white, black, yellow, green, RGB(0, 128, 0), white};
    COLORREF usual[std::size(parts)];
    std::transform(std::begin(parts), std::end(parts), usual, GetSysColor);
    const ScopeExit normalAgain([&] {
        ForceHighContrast(std::nullopt);
        SetSysColors(static_cast<int>(std::size(parts)), parts, usual);
    });
    ForceHighContrast(true);
    ASSERT_TRUE(SetSysColors(static_cast<int>(std::size(parts)), parts, scheme));
    Pump();
    const std::set<COLORREF> captionColours = Colours(form.GroupBox1, caption);
    EXPECT_TRUE(captionColours.contains(white) && !AnyBluish(captionColours));
    const std::set<COLORREF> rowColours = Colours(form.StringGrid1, rows);
    EXPECT_TRUE(rowColours.contains(white) && rowColours.contains(yellow) &&
                !AnyBluish(rowColours));
    const std::set<COLORREF> exitColours = Colours(form.SpdBtnExit);
    EXPECT_TRUE(exitColours.contains(white) && !AnyBluish(exitColours));
    // Up is enabled, Down greyed with the last row current.
    EXPECT_EQ(Colours(form.BitUp, glyph), (std::set<COLORREF>{black, white}));
    EXPECT_EQ(Colours(form.BitDown, glyph), (std::set<COLORREF>{black, green}));
    EXPECT_TRUE(HeadingInDefaultColour(box));

    ForceHighContrast(false);
    SetSysColors(static_cast<int>(std::size(parts)), parts, usual);
    Pump();
    EXPECT_TRUE(AnyBluish(Colours(form.StringGrid1, rows)));
    EXPECT_FALSE(HeadingInDefaultColour(box));
}

// As in a list box, and only while the grid has the focus.
TEST_F(AccessibilityTest, TheCurrentRowShowsTheFocusUnlessFocusCuesAreHidden) {
    AddSelected({"a.mpg", "b.mpg"});
    const auto row = [&] {
        Pump();
        return test::PixelsIn(ClientDc(form.StringGrid1.Hwnd()).get(), RECT{0, 32, 325, 48});
    };
    SetFocus(form.Edit1.Hwnd());
    const std::vector<COLORREF> unfocused = row();
    SetFocus(form.StringGrid1.Hwnd());
    const std::vector<COLORREF> focused = row();
    int changed = 0;
    for (std::size_t at = 0; at < focused.size(); ++at) {
        const std::size_t x = at % 325, y = at / 325;
        if (focused[at] != unfocused[at]) {
            ++changed;
            EXPECT_TRUE(x == 0 || x == 324 || y == 0 || y == 15) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 300); // every other pixel of the outline

    // As the system tells each child window; Wine's default window procedure tells none.
    SendMessageW(form.StringGrid1.Hwnd(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(row(), unfocused);
    SendMessageW(form.StringGrid1.Hwnd(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS),
                 0);
    EXPECT_EQ(row(), focused);
}

} // namespace
} // namespace reelbond
