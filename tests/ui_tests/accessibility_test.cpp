#include "about/about_box.h"
#include "core/file.h"
#include "glyph_pixels.h"
#include "main_window_fixture.h"
#include "win/high_contrast.h"

#include <algorithm>
#include <map>
#include <oleacc.h>
#include <richedit.h>
#include <sstream>

namespace reelbond {
namespace {

using test::ClipA;
using test::ClipB;
using test::MainWindowTest;
using test::Strings;

// What the reader read of one control.
struct Read {
    long role;
    unsigned long state;
    std::string name, description, shortcut, action;
    // id, role, state, name and place of each item.
    std::vector<Strings> items;
};

struct Reading {
    std::map<int, Read> controls;
    std::map<int, std::string> presses;
};

Strings Fields(const std::string& line) {
    Strings fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    fields.resize(std::max<std::size_t>(fields.size(), 9));
    return fields;
}

Reading Parse(const std::string& output) {
    Reading reading;
    Read* last = nullptr;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::erase(line, '\r');
        const Strings fields = Fields(line);
        if (fields[0] == "control") {
            last = &reading.controls[std::stoi(fields[1])];
            *last = {std::stol(fields[2]),
                     std::stoul(fields[3], nullptr, 16),
                     fields[4],
                     fields[5],
                     fields[6],
                     fields[7],
                     {}};
        } else if (fields[0] == "item" && last) {
            last->items.push_back({fields.begin() + 1, fields.begin() + 6});
        } else if (fields[0] == "press") {
            reading.presses[std::stoi(fields[1])] = fields[2];
        }
    }
    return reading;
}

// Runs tests/accessible_reader.exe, a process of its own as a screen reader is, while this
// thread answers the calls it makes into the window.
Reading ReadFromOutside(TForm1& form, const std::string& output, const std::string& presses) {
    char self[MAX_PATH * 4];
    const std::string program(self, GetModuleFileNameA(nullptr, self, sizeof self));
    // Built by appending: gcc 12 warns falsely (-Wrestrict) about "\"" + a temporary string.
    std::string command(1, '"');
    command += program.substr(0, program.rfind('\\') + 1);
    command += "accessible_reader.exe\" ";
    command += std::to_string(reinterpret_cast<UINT_PTR>(form.hwnd())) + " " + presses;
    PROCESS_INFORMATION process{};
    {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const UniqueFileHandle out(CreateFileA(output.c_str(), GENERIC_WRITE, 0, &inherited,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = out.get();
        if (!out || !CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &startup, &process)) {
            ADD_FAILURE() << "cannot run " << command;
            return {};
        }
    }
    const ScopeExit closeHandles([&] {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    });
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
        test::PumpEvents(form);
        if (GetTickCount64() > deadline) {
            TerminateProcess(process.hProcess, 1);
            ADD_FAILURE() << "the reader did not end";
            break;
        }
    }
    test::PumpEvents(form);
    return Parse(test::ReadBytes(output));
}

// The main window with three files in its directory, in a thread ready for screen readers'
// calls.
class AccessibilityTest : public MainWindowTest {
protected:
    void SetUp() override {
        apartment_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CopyMedia(ClipA, "a.mpg");
        CopyMedia(ClipB, "b.mpg");
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
    SetFocus(form.StringGrid1.hwnd());
    const Reading reading = ReadFromOutside(form, dir / "read.txt",
                                            std::to_string(form.SpdBtnHelp.id()) + " " +
                                                std::to_string(form.BitDown.id()) + " " +
                                                std::to_string(form.BitUp.id()));
    ASSERT_EQ(reading.controls.size(), form.Layout().size());

    struct Expected {
        const Control& control;
        const char* name;
        const char* description;
    };
    const Expected named[] = {
        {form.GroupBox1, "Select File(s)", ""},
        {form.FileListBox1, "Select File(s)", "double click to add file"},
        {form.BitnAdd, "Add Files", ""},
        {form.BitnRemove, "Remove the File", ""},
        {form.GroupBox3, "Input Files", ""},
        {form.StringGrid1, "Input Files", ""},
        {form.GroupBox6, "Path and Directory", ""},
        {form.DriveComboBox1, "Path and Directory", "select driver"},
        {form.DirectoryListBox1, "Path and Directory", "select directory"},
        {form.BitnClear, "Clear All Files", ""},
        {form.BitUp, "Move file Up", ""},
        {form.BitDown, "Move file Down", ""},
        {form.SpdBtnLink, "Link", "Link Files"},
        {form.SpdBtnExit, "Exit", ""},
        {form.SpdBtnHelp, "Help", ""},
        {form.GroupBox2, "File Type", ""},
        {form.FilterComboBox1, "File Type", ""},
        {form.GroupBox4, "Output File", ""},
        {form.Edit1, "Output File", ""},
    };
    for (const Expected& expected : named) {
        const Read& read = reading.controls.at(expected.control.id());
        EXPECT_EQ(read.name, expected.name);
        EXPECT_EQ(read.description, expected.description) << expected.name;
    }
    const std::pair<const Control*, const char*> buttons[] = {
        {&form.BitnAdd, ""},         {&form.BitnRemove, ""},     {&form.BitnClear, ""},
        {&form.BitUp, ""},           {&form.BitDown, ""},        {&form.SpdBtnLink, "Alt+L"},
        {&form.SpdBtnExit, "Alt+E"}, {&form.SpdBtnHelp, "Alt+H"}};
    for (const auto& [button, shortcut] : buttons) {
        const Read& read = reading.controls.at(button->id());
        EXPECT_EQ(read.role, ROLE_SYSTEM_PUSHBUTTON) << read.name;
        EXPECT_EQ(read.shortcut, shortcut) << read.name;
        EXPECT_EQ(read.action, "Press") << read.name;
        // Down is greyed with the last row current.
        EXPECT_EQ((read.state & STATE_SYSTEM_UNAVAILABLE) != 0, button == &form.BitDown)
            << read.name;
    }

    const Read& grid = reading.controls.at(form.StringGrid1.id());
    EXPECT_EQ(grid.role, ROLE_SYSTEM_LIST);
    ASSERT_EQ(grid.items.size(), 3u);
    RECT client;
    GetClientRect(form.StringGrid1.hwnd(), &client);
    MapWindowPoints(form.StringGrid1.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const char* files[] = {"a.mpg, 352 X 240, 29.97 f/s, OK", "b.mpg, 352 X 240, 29.97 f/s, OK",
                           "c.mpg, 352 X 288, 25 f/s, format differ"};
    constexpr unsigned long Current = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    for (int row = 1; row <= 3; ++row) {
        const Strings& item = grid.items[row - 1];
        const std::string place =
            std::to_string(client.left) + "," + std::to_string(client.top + 16 * row) + ",325,16";
        EXPECT_EQ(item, (Strings{std::to_string(row), std::to_string(ROLE_SYSTEM_LISTITEM), item[2],
                                 dir / files[row - 1], place}));
        EXPECT_EQ(std::stoul(item[2], nullptr, 16) & Current, row == 3 ? Current : 0) << row;
    }

    // Help is clicked as the mouse clicks it; Up too, moving the current row up; greyed
    // Down refuses.
    EXPECT_EQ(reading.presses, (std::map<int, std::string>{{form.SpdBtnHelp.id(), "0"},
                                                           {form.BitDown.id(), "80020003"},
                                                           {form.BitUp.id(), "0"}}));
    EXPECT_EQ(helps, 1);
    EXPECT_EQ(Column(0), (Strings{dir / "a.mpg", dir / "c.mpg", dir / "b.mpg"}));
}

std::vector<std::pair<DWORD, LONG>>* events = nullptr;
HWND eventWindow = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (events && window == eventWindow && object == OBJID_CLIENT)
        events->push_back({event, child});
}

// The events of one step, in any order: a burst may arrive reversed.
std::vector<std::pair<DWORD, LONG>> Sorted(std::vector<std::pair<DWORD, LONG>>& recorded) {
    auto step = std::exchange(recorded, {});
    std::sort(step.begin(), step.end());
    return step;
}

// As a screen reader listens: a hook for every process (under Wine one for a process hears
// nothing), told apart by window.
TEST_F(AccessibilityTest, TheGridTellsOfItsCurrentRowAndOfNewOrder) {
    AddSelected({"a.mpg", "b.mpg", "c.mpg"});
    std::vector<std::pair<DWORD, LONG>> recorded;
    events = &recorded;
    eventWindow = form.StringGrid1.hwnd();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION,
                                               nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    const ScopeExit unhook([hook] {
        UnhookWinEvent(hook);
        events = nullptr;
    });
    using Events = std::vector<std::pair<DWORD, LONG>>;

    SetFocus(form.StringGrid1.hwnd());
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

// The colours of a control's client area, or of part of it, as the screen shows them.
std::vector<COLORREF> Shown(const Control& control, RECT area = {}) {
    if (IsRectEmpty(&area))
        GetClientRect(control.hwnd(), &area);
    return test::PixelsIn(ClientDc(control.hwnd()).get(), area);
}

bool Bluish(COLORREF colour) {
    return GetBValue(colour) > GetRValue(colour) + 50 && GetBValue(colour) > GetGValue(colour) + 50;
}

bool AnyBluish(const std::vector<COLORREF>& pixels) {
    return std::any_of(pixels.begin(), pixels.end(), Bluish);
}

bool Shows(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
}

bool OnlyIn(const std::vector<COLORREF>& pixels, std::initializer_list<COLORREF> colours) {
    return std::all_of(pixels.begin(), pixels.end(), [&](COLORREF pixel) {
        return std::find(colours.begin(), colours.end(), pixel) != colours.end();
    });
}

// Whether the help view shows the first character in the default text colour.
bool HeadingInDefaultColour(const TAboutBox& box) {
    SendMessageA(box.RichEdit21.hwnd(), EM_SETSEL, 0, 1);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(box.RichEdit21.hwnd(), EM_GETCHARFORMAT, SCF_SELECTION,
                 reinterpret_cast<LPARAM>(&format));
    return format.dwEffects & CFE_AUTOCOLOR;
}

// A black scheme as a user sets it; Wine cannot switch the mode itself on, so the test forces
// it. Its colours hold in this process only.
TEST_F(AccessibilityTest, HighContrastDrawsCaptionsCellsAndGlyphsInTheSystemColours) {
    AddSelected({"a.mpg", "b.mpg"});
    SetFocus(form.Edit1.hwnd());
    test::WriteBytes(dir / "Help.rtf", "{\\rtf1{\\colortbl;\\red0\\green0\\blue128;}\\cf1 Heading"
                                       "\\cf0\\par Text\\par}");
    TAboutBox box(dir / "Reelbond.exe");
    box.Create();
    const RECT caption{0, 0, 100, 13};
    const RECT rows{0, 0, 325, 32}; // the header and the first row, which is not current
    const RECT upGlyph{6, 6, 35, 26};
    Pump();
    EXPECT_TRUE(AnyBluish(Shown(form.GroupBox1, caption)));
    EXPECT_TRUE(AnyBluish(Shown(form.StringGrid1, rows)));
    EXPECT_TRUE(AnyBluish(Shown(form.SpdBtnExit)));
    EXPECT_TRUE(AnyBluish(Shown(form.BitUp, upGlyph)));
    EXPECT_FALSE(HeadingInDefaultColour(box));

    const int parts[] = {COLOR_BTNFACE,       COLOR_BTNTEXT,   COLOR_WINDOW,
                         COLOR_WINDOWTEXT,    COLOR_GRAYTEXT,  COLOR_HIGHLIGHT,
                         COLOR_HIGHLIGHTTEXT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
                         COLOR_3DDKSHADOW,    COLOR_3DLIGHT};
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), yellow = RGB(255, 255, 0),
                   green = RGB(0, 255, 0);
    const COLORREF scheme[] = {black,
                               white,
                               black,
                               yellow,
                               green,
                               RGB(0, 128, 0),
                               white,
                               RGB(128, 128, 128),
                               white,
                               RGB(64, 64, 64),
                               RGB(192, 192, 192)};
    COLORREF usual[std::size(parts)];
    std::transform(std::begin(parts), std::end(parts), usual, GetSysColor);
    const ScopeExit normalAgain([&] {
        ForceHighContrast(std::nullopt);
        SetSysColors(static_cast<int>(std::size(parts)), parts, usual);
    });
    ForceHighContrast(true);
    ASSERT_TRUE(SetSysColors(static_cast<int>(std::size(parts)), parts, scheme));
    Pump();

    const std::vector<COLORREF> captionShown = Shown(form.GroupBox1, caption);
    EXPECT_TRUE(Shows(captionShown, white) && !AnyBluish(captionShown));
    const std::vector<COLORREF> rowsShown = Shown(form.StringGrid1, rows);
    EXPECT_TRUE(Shows(rowsShown, white) && Shows(rowsShown, yellow) && !AnyBluish(rowsShown));
    const std::vector<COLORREF> exitShown = Shown(form.SpdBtnExit);
    EXPECT_TRUE(Shows(exitShown, white) && !AnyBluish(exitShown));
    // Up is enabled, Down greyed with the last row current.
    EXPECT_TRUE(Shows(Shown(form.BitUp, upGlyph), white));
    EXPECT_TRUE(OnlyIn(Shown(form.BitUp, upGlyph), {black, white}));
    EXPECT_TRUE(Shows(Shown(form.BitDown, upGlyph), green));
    EXPECT_TRUE(OnlyIn(Shown(form.BitDown, upGlyph), {black, green}));
    EXPECT_TRUE(HeadingInDefaultColour(box));

    ForceHighContrast(false);
    SetSysColors(static_cast<int>(std::size(parts)), parts, usual);
    Pump();
    EXPECT_TRUE(AnyBluish(Shown(form.StringGrid1, rows)));
    EXPECT_FALSE(HeadingInDefaultColour(box));
}

// As in a list box, and only while the grid has the focus.
TEST_F(AccessibilityTest, TheCurrentRowShowsTheFocusUnlessFocusCuesAreHidden) {
    AddSelected({"a.mpg", "b.mpg"});
    const RECT current{0, 32, 325, 48};
    const auto row = [&] {
        Pump();
        return Shown(form.StringGrid1, current);
    };
    SetFocus(form.Edit1.hwnd());
    const std::vector<COLORREF> unfocused = row();
    SetFocus(form.StringGrid1.hwnd());
    const std::vector<COLORREF> focused = row();
    int changed = 0;
    for (std::size_t at = 0; at < focused.size(); ++at) {
        const std::size_t x = at % 325, y = at / 325;
        const bool outline = x == 0 || x == 324 || y == 0 || y == 15;
        if (focused[at] != unfocused[at]) {
            ++changed;
            EXPECT_TRUE(outline) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 300); // every other pixel of the outline

    // As the system tells each child window; Wine's default window procedure tells none.
    const HWND grid = form.StringGrid1.hwnd();
    SendMessageW(grid, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(row(), unfocused);
    SendMessageW(grid, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(row(), focused);
}

} // namespace
} // namespace reelbond
