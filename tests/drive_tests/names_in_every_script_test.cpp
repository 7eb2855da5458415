// Names outside ASCII through the real main window, in J:\ of the drive prefix, which holds
// each name of NAMES in drive_prefix.sh as a directory and as a clip: what the lists and the
// grid draw, and how the lists order them. The bytes a list stores are right even when its
// drawing is not, so the drawing is checked by its pixels.
#include "core/path.h"
#include "core/text.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui_tests/glyph_pixels.h"
#include "ui_tests/panel_driver.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <commctrl.h>

namespace reelbond {
namespace {

using Strings = std::vector<std::string>;

// The names of NAMES in drive_prefix.sh, in its order.
const Strings Names{
    "caf\xC3\xA9",              // café: Latin-1
    "\xC3\x84rger",             // Ärger and
    "\xC3\xA4rger",             // ärger: equal but for case
    "\xC3\x89\x63lair",         // Éclair
    "\xC3\x98re",               // Øre
    "\xCE\xA9mega",             // Ωmega: Greek
    "\xE6\x97\xA5\xE6\x9C\xAC", // 日本: CJK
    "clip\xF0\x9F\x98\x80",     // clip😀: four UTF-8 bytes, two UTF-16 units
    "Zebra.v1.2",               // two dots
    "cafe\xCC\x81",             // café: e and a combining accent, canonically equal to the first
    "stra\xC3\x9F\x65",         // straße and
    "strasse",                  // strasse: equal in a language, not to a file system
    "Omega",                    // what a Western code page best fits Ωmega to; of another format
};

constexpr UINT ListTextFormat = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
constexpr int ListTextIndent = 2;

class NamesInEveryScriptTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        form.Create();
        form.Show();
        // No focus rectangle over the entries.
        SetFocus(form.Edit1.Hwnd());
        test::PumpEvents(form);
    }

    static Strings Entries(const OwnerDrawnListBox& list, int from) {
        Strings entries;
        for (int index = from; index < list.EntryCount(); ++index)
            entries.push_back(list.EntryText(index));
        return entries;
    }

    // Scrolls the entry into view and returns where its text is drawn.
    static RECT ShownEntryText(const OwnerDrawnListBox& list, int index, int textLeft) {
        SendMessageA(list.Hwnd(), LB_SETTOPINDEX, index, 0);
        UpdateWindow(list.Hwnd());
        RECT entry;
        SendMessageA(list.Hwnd(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry));
        entry.left += textLeft;
        return entry;
    }

    // Scrolls the grid a line at a time, as its arrows do, until the row is in view.
    static void ScrollIntoView(const TStringGrid& grid, int row) {
        RECT client;
        GetClientRect(grid.Hwnd(), &client);
        // The scroll bar's place is the first row in view.
        const auto topRow = [&] { return GetScrollPos(grid.Hwnd(), SB_VERT); };
        while (topRow() > row)
            SendMessageA(grid.Hwnd(), WM_VSCROLL, SB_LINEUP, 0);
        for (int top = 0; grid.CellRect(0, row).bottom > client.bottom && top != topRow();) {
            top = topRow();
            SendMessageA(grid.Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
        }
        UpdateWindow(grid.Hwnd());
    }

    int FirstSubdirectory() const { return form.DirectoryListBox1.HighlightedIndex() + 1; }

    test::CurrentDirectoryGuard inDir{"J:\\"};
    Owned<TForm1> form;
};

// Wine's GDI draws each half of a surrogate pair as a box of its own, in every font (seen with
// DejaVu Sans, which has the emoji): only characters of the Basic Multilingual Plane are
// checked. The pixel comparisons below still cover the emoji.
TEST_F(NamesInEveryScriptTest, TheInterfaceFontHasAGlyphForEveryCharacterOfTheBasicPlane) {
    const auto font =
        reinterpret_cast<HFONT>(SendMessageA(form.FileListBox1.Hwnd(), WM_GETFONT, 0, 0));
    for (const std::string& name : Names) {
        std::wstring basicPlane = Widened(name);
        std::erase_if(basicPlane, [](wchar_t unit) {
            return IS_HIGH_SURROGATE(unit) || IS_LOW_SURROGATE(unit);
        });
        EXPECT_TRUE(test::HasGlyphs(font, basicPlane)) << name << ": a box stands for some";
    }
}

TEST_F(NamesInEveryScriptTest, ListsAndGridDrawEachNameAsTheWideFunctionDoes) {
    const TFileListBox& files = form.FileListBox1;
    ASSERT_EQ(files.EntryCount(), static_cast<int>(Names.size()));
    for (int index = 0; index < files.EntryCount(); ++index) {
        const bool selected = SendMessageA(files.Hwnd(), LB_GETSEL, index, 0) > 0;
        EXPECT_TRUE(test::ShowsText(files.Hwnd(), ShownEntryText(files, index, ListTextIndent),
                                    files.EntryText(index), ListTextFormat,
                                    test::EntryLook(files.Hwnd(), selected)))
            << files.EntryText(index);
    }

    const TDirectoryListBox& directories = form.DirectoryListBox1;
    // Subdirectories of a root are indented by 4 x (1 + 1) + 2, their text 4 after the glyph.
    const int subdirectoryTextLeft = 10 + Glyph("CLOSEDFOLDER").Width() + 4;
    for (int index = FirstSubdirectory(); index < directories.EntryCount(); ++index)
        EXPECT_TRUE(test::ShowsText(directories.Hwnd(),
                                    ShownEntryText(directories, index, subdirectoryTextLeft),
                                    directories.EntryText(index), ListTextFormat,
                                    test::EntryLook(directories.Hwnd(), false)))
            << directories.EntryText(index);

    SendMessageA(files.Hwnd(), LB_SETSEL, TRUE, -1);
    SendMessageA(form.BitnAdd.Hwnd(), BM_CLICK, 0, 0);
    test::PumpEvents(form);
    const InputFileTable& table = form.Table();
    ASSERT_EQ(table.DataRowCount(), static_cast<int>(Names.size()));
    const TStringGrid& grid = form.StringGrid1;
    RECT client;
    GetClientRect(grid.Hwnd(), &client);
    for (int row = 1; row <= table.DataRowCount(); ++row) {
        ScrollIntoView(grid, row);
        RECT text = grid.CellRect(InputFileTable::FileNameColumn, row);
        ASSERT_LE(text.bottom, client.bottom) << "row " << row << " is out of view";
        text.right -= 2;
        const bool current = row == table.CurrentRow();
        const test::TextLook look{
            reinterpret_cast<HFONT>(SendMessageA(grid.Hwnd(), WM_GETFONT, 0, 0)),
            current ? GetSysColor(COLOR_HIGHLIGHTTEXT) : grid.TextColour(),
            GetSysColor(current ? COLOR_HIGHLIGHT : COLOR_WINDOW)};
        const std::string& path = table.Cell(InputFileTable::FileNameColumn, row);
        EXPECT_TRUE(test::ShowsText(grid.Hwnd(), text, path,
                                    DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, look))
            << path;
    }
    // Each row probed the file it names: Ωmega is never taken for Omega.
    const std::pair<std::string, std::string> probed[] = {{Names[5], "352 X 240"},
                                                          {Names[12], "352 X 288"}};
    for (const auto& [name, frameSize] : probed) {
        int row = 1;
        while (row < table.DataRowCount() && table.Cell(0, row) != "J:\\" + name + ".mpg")
            ++row;
        EXPECT_EQ(table.Cell(0, row), "J:\\" + name + ".mpg");
        EXPECT_EQ(table.Cell(1, row), frameSize) << name;
    }
}

// Characters typed as the keyboard delivers them, each a wide character.
void Type(TForm1& form, const std::wstring& text) {
    for (const wchar_t character : text) {
        INPUT keys[2]{};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = character;
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    }
    test::PumpEvents(form);
}

TEST_F(NamesInEveryScriptTest, TypedCharactersReachTheOutputNameWholeAndAreNoAccelerators) {
    ASSERT_TRUE(SetForegroundWindow(form.Hwnd()));
    const std::string typed = Names[0] + Names[6] + Names[7]; // café日本clip😀
    Type(form, Widened(typed));
    EXPECT_EQ(form.Edit1.Text(), typed);

    // U+0145 and U+0165 end in the bytes of "E" and "e", which the grid takes for Exit.
    SetFocus(form.StringGrid1.Hwnd());
    Type(form, L"\x0145\x0165");
    EXPECT_TRUE(IsWindow(form.Hwnd()));
}

// The order of the user's locale (here and on an English Windows): letters first by their
// base letter, whatever their case or accent; Greek after Latin, CJK after Greek. The locale
// calls the names of a group equal, and orders them as it likes among themselves.
const std::vector<Strings> LocaleOrder{
    {Names[1], Names[2]}, {Names[0], Names[9]},   {Names[7]}, {Names[3]}, {Names[12]},
    {Names[4]},           {Names[10], Names[11]}, {Names[8]}, {Names[5]}, {Names[6]}};

// The group in LocaleOrder of each name, -1 for one in none or listed twice.
std::vector<int> LocaleGroups(const Strings& names) {
    std::vector<int> groups;
    for (auto name = names.begin(); name != names.end(); ++name) {
        const auto group = std::ranges::find_if(LocaleOrder, [&](const Strings& equal) {
            return std::ranges::find(equal, *name) != equal.end();
        });
        const bool repeated = std::find(names.begin(), name, *name) != name;
        groups.push_back(group == LocaleOrder.end() || repeated
                             ? -1
                             : static_cast<int>(group - LocaleOrder.begin()));
    }
    return groups;
}

// Only the case pair is one directory to the file system: the directory list shows one of it.
TEST_F(NamesInEveryScriptTest, ListsSortByTheUserLocaleAndTheDirectoryListMergesOnlyCasePairs) {
    const Strings subdirectories = Entries(form.DirectoryListBox1, FirstSubdirectory());
    EXPECT_EQ(LocaleGroups(subdirectories), (std::vector<int>{0, 1, 1, 2, 3, 4, 5, 6, 6, 7, 8, 9}))
        << testing::PrintToString(subdirectories);

    Strings files = Entries(form.FileListBox1, 0);
    for (std::string& file : files)
        file.resize(file.size() - 4);
    EXPECT_EQ(LocaleGroups(files), (std::vector<int>{0, 0, 1, 1, 2, 3, 4, 5, 6, 6, 7, 8, 9}))
        << testing::PrintToString(files);
}

// Each directory holds a clip of its own name: an entry that opened another would show it.
TEST_F(NamesInEveryScriptTest, EachSubdirectoryOpensAndListsItsOwnFiles) {
    TDirectoryListBox& directories = form.DirectoryListBox1;
    const int count = directories.EntryCount() - FirstSubdirectory();
    for (int entry = 0; entry < count; ++entry) {
        const std::string name = directories.EntryText(FirstSubdirectory() + entry);
        directories.SetDirectory(directories.ItemPath(FirstSubdirectory() + entry));
        EXPECT_EQ(directories.Directory(), "J:\\" + name);
        EXPECT_EQ(Entries(form.FileListBox1, 0), Strings{name + ".mpg"}) << name;
        directories.SetDirectory("J:\\");
    }
}

} // namespace
} // namespace reelbond
