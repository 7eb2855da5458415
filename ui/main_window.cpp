#include "ui/main_window.h"

#include "about/interface_style.h"
#include "core/io_error.h"
#include "core/path.h"
#include "win/error_barrier.h"
#include "win/font.h"
#include "win/high_contrast.h"
#include "win/message_box.h"
#include "win/owner_draw.h"

#include <cctype>
#include <utility>

namespace reelbond {
namespace {

constexpr wchar_t WindowClassName[] = L"TForm1";
constexpr int ClientWidth = 655;
constexpr int ClientHeight = 305;
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Navy = RGB(0, 0, 128);
constexpr COLORREF Black = RGB(0, 0, 0);
// Posted by a drop, so that the files are added after the dragging program's call returned.
constexpr UINT DroppedFilesMessage = WM_APP;

constexpr FontSpec CaptionFont{InterfaceFont, 11, false, DEFAULT_CHARSET};
constexpr FontSpec SmallFont{InterfaceFont, 11, false, DEFAULT_CHARSET};
constexpr FontSpec ListFont{InterfaceFont, 13, false, DEFAULT_CHARSET};
constexpr FontSpec SpeedButtonFont{InterfaceFont, 13, true, DEFAULT_CHARSET};

} // namespace

TForm1::TForm1()
    : DriveComboBox1(DriveGlyphs), DirectoryListBox1(FolderGlyphs),
      StringGrid1(*this, InputFileTable::ColumnCount) {
    // Selection modes are fixed when the list's window is made.
    FileListBox1.SetMultiSelect(true);
    for (Control* control : std::initializer_list<Control*>{
             &FileListBox1, &DirectoryListBox1, &DriveComboBox1, &FilterComboBox1, &Edit1})
        control->InputMethod.SetName(ChineseSimplifiedAbc);
}

void TForm1::Register() {
    RegisterWindowClass(WindowClassName, Procedure, CS_DBLCLKS, ClassBackground(COLOR_BTNFACE),
                        LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
}

void TForm1::Create() {
    CreateTopLevelWindow(WindowClassName, WS_EX_CONTROLPARENT, FormStyle, " Reelbond", ClientWidth,
                         ClientHeight);
}

void TForm1::Show() {
    CentreOnScreen();
    ShowWindow(Hwnd(), SW_SHOW);
    UpdateWindow(Hwnd());
}

// The end-to-end driver finds the controls by the ids numbered in this order.
std::vector<Placement> TForm1::Layout() {
    return {
        {&GroupBox1, nullptr, 150, 8, 116, 217, "Select File(s)", nullptr, true, &CaptionFont,
         Blue},
        {&FileListBox1, &GroupBox1, 2, 17, 111, 197, "", "double click to add file", true,
         &ListFont, Black},
        {&BitnAdd, nullptr, 272, 27, 41, 32, "", "Add Files(Alt+A)", false, nullptr, 0},
        {&BitnRemove, nullptr, 272, 67, 41, 32, "", "Remove the File(Alt+R)", false, nullptr, 0},
        {&GroupBox3, nullptr, 320, 10, 334, 216, "Input Files", nullptr, true, &CaptionFont, Blue},
        {&StringGrid1, &GroupBox3, 2, 16, 329, 197, "", nullptr, true, &SmallFont, Navy},
        {&GroupBox6, nullptr, 0, 8, 139, 217, "Path and Directory", nullptr, true, &CaptionFont,
         Blue},
        {&DriveComboBox1, &GroupBox6, 5, 17, 131, 22, "", "select driver", true, &ListFont, Black},
        {&DirectoryListBox1, &GroupBox6, 4, 45, 131, 169, "", "select directory", true, &ListFont,
         Black},
        {&BitnClear, nullptr, 272, 187, 41, 32, "", "Clear All Files(Alt+C)", false, nullptr, 0},
        // A bar shows no caption: this one names it for screen readers, as the status bar's
        // text beside it does on the screen.
        {&ProgressBar1, nullptr, 336, 286, 316, 18, "Progress", nullptr, true, nullptr, 0},
        {&BitUp, nullptr, 272, 107, 41, 32, "", "Move file Up(Alt+U)", false, nullptr, 0},
        {&BitDown, nullptr, 272, 147, 41, 32, "", "Move file Down(Alt+D)", false, nullptr, 0},
        {&Panel1, nullptr, 320, 230, 334, 50, "", nullptr, true, nullptr, 0},
        {&SpdBtnLink, &Panel1, 45, 13, 56, 26, "&Link", "Link Files(Alt+L)", false,
         &SpeedButtonFont, Navy},
        {&SpdBtnExit, &Panel1, 146, 13, 56, 26, "&Exit", "Exit(Alt+E)", true, &SpeedButtonFont,
         Navy},
        {&SpdBtnHelp, &Panel1, 247, 13, 56, 26, "&Help", "Help(Alt+H)", true, &SpeedButtonFont,
         Navy},
        {&GroupBox2, nullptr, 0, 229, 139, 50, "File Type", nullptr, true, &CaptionFont, Blue},
        {&FilterComboBox1, &GroupBox2, 5, 19, 132, 21, "", nullptr, true, &SmallFont, Black},
        {&GroupBox4, nullptr, 150, 229, 116, 50, "Output File", nullptr, true, &CaptionFont, Blue},
        {&Edit1, &GroupBox4, 2, 19, 111, 21, "", nullptr, true, &SmallFont, Black},
        {&StatusBar1, nullptr, 0, 283, 655, 22, "", nullptr, true, nullptr, 0},
    };
}

void TForm1::CreateControls() {
    layout_.Create(Hwnd(), Layout(), FirstControlId);
    // The bar lies over the status bar's last panel.
    SetWindowPos(ProgressBar1.Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    dropTarget_.Register(Hwnd());
}

void TForm1::LayOut() {
    layout_.Apply(Hwnd(), Layout());
    SetScaledSizes();
    StringGrid1.Refresh();
}

void TForm1::ConnectEvents() {
    DriveComboBox1.OnChange = [this] { DriveComboBox1Change(); };
    FileListBox1.OnChange = [this] { FileListBox1Change(); };
    FileListBox1.OnDblClick = Command(&TForm1::BitnAddClick);
    BitnAdd.OnClick = Command(&TForm1::BitnAddClick);
    BitnRemove.OnClick = Command(&TForm1::BitnRemoveClick);
    BitnClear.OnClick = Command(&TForm1::BitnClearClick);
    BitUp.OnClick = Command(&TForm1::BitUpClick);
    BitDown.OnClick = Command(&TForm1::BitDownClick);
    StringGrid1.OnDrawCell = std::bind_front(&TForm1::StringGrid1DrawCell, this);
    SpdBtnLink.OnClick = Command(&TForm1::SpdBtnLinkClick);
    SpdBtnExit.OnClick = Command(&TForm1::SpdBtnExitClick);
    SpdBtnHelp.OnClick = Command(&TForm1::SpdBtnHelpClick);
    // One drop at a time, taken when a click would be.
    dropTarget_.Accepting = [this] { return TakesCommands() && droppedPaths_.empty(); };
    dropTarget_.OnDrop = [this](std::vector<std::string> paths) {
        droppedPaths_ = std::move(paths);
        if (!PostMessageW(Hwnd(), DroppedFilesMessage, 0, 0))
            droppedPaths_.clear();
    };
}

// A command runs only when a click could run it, whether a click, a key, another program's
// message or a screen reader sent it: not while Add or Link works, nor while a box over the
// window has disabled it. A close asked for meanwhile follows the command, after its failure
// box if it failed.
std::function<void()> TForm1::Command(void (TForm1::*handler)()) {
    return [this, handler] {
        if (!TakesCommands())
            return;
        Guarded([&] { (this->*handler)(); });
        operation_.CarryOutHeldClose(Hwnd());
    };
}

bool TForm1::TakesCommands() const {
    return !operation_.Running() && IsWindowEnabled(Hwnd());
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = operation_.Intercept(message))
        return *answer;
    // Another program's change to the drive, the directory or the file type would move the
    // browser under the running Add or Link.
    if (message == WM_COMMAND && operation_.Running())
        return 0;
    if (const auto answer = KeepFocusOnActivation(message, wParam))
        return *answer;
    switch (message) {
    case WM_CREATE:
        ConnectEvents();
        FormCreate();
        return 0;
    case DroppedFilesMessage: {
        const auto dropFiles = Command(&TForm1::FormDropFiles);
        dropFiles();
        // A drop the window could not take then is dropped.
        droppedPaths_.clear();
        return 0;
    }
    case WM_DESTROY:
        dropTarget_.Revoke();
        PostQuitMessage(0);
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

MessageLoop TForm1::EventLoop() {
    return MessageLoop(Hwnd(), [this](const MSG& message) { return PreTranslateMessage(message); });
}

bool TForm1::PreTranslateMessage(const MSG& message) {
    // The characters are wide: one beyond ASCII is no accelerator letter, whatever its low byte.
    if (message.wParam > 0x7F)
        return false;
    // With no control focused, plain keys too arrive as system keys; only Alt makes a
    // letter an accelerator (the context code, bit 29).
    constexpr LPARAM AltHeld = LPARAM{1} << 29;
    if (message.message == WM_SYSCHAR)
        return (message.lParam & AltHeld) && ClickAccelerator(static_cast<char>(message.wParam));
    if (message.message != WM_CHAR)
        return false;
    // Where typed characters mean nothing, a plain letter works as its accelerator.
    const Control* focused = Control::FromHandle(message.hwnd);
    const bool takesNoCharacters =
        dynamic_cast<const TBitBtn*>(focused) || dynamic_cast<const TStringGrid*>(focused);
    return takesNoCharacters && ClickAccelerator(static_cast<char>(message.wParam));
}

bool TForm1::ClickAccelerator(char letter) {
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (TSpeedButton* button : {&SpdBtnLink, &SpdBtnExit, &SpdBtnHelp}) {
        if (button->Accelerator() == key && button->Enabled() && IsWindowVisible(button->Hwnd())) {
            button->Click();
            return true;
        }
    }
    return false;
}

void TForm1::FormCreate() {
    // The header row is the table's own; the window writes the status texts.
    SetScaledSizes();
    StatusBar1.SetPanelText(0, InitialCountText);
    StatusBar1.SetPanelText(2, "   Progress");
    BitnAdd.SetGlyph("GLYPH_ADD");
    BitnRemove.SetGlyph("GLYPH_REMOVE");
    BitUp.SetGlyph("GLYPH_UP");
    BitDown.SetGlyph("GLYPH_DOWN");
    BitnClear.SetGlyph("GLYPH_CLEAR");
    DriveComboBox1.SetTextCase(tcUpperCase);
    DirectoryListBox1.SetFileList(&FileListBox1);
    FileListBox1.SetMask("*.mpg;*.mpeg");
    FilterComboBox1.SetFileList(&FileListBox1);
    FilterComboBox1.SetFilter("mpeg files(*.mpg;*.mpeg)|*.mpg;*.mpeg");
}

// The sizes the layout table does not hold, at the window's density.
void TForm1::SetScaledSizes() {
    StatusBar1.SetPanelWidths({Scaled(138), Scaled(127), Scaled(500)});
    StatusBar1.SetBorderWidth(Scaled(1));
    ProgressBar1.SetBorderWidth(Scaled(2));
    StringGrid1.SetColumnWidths({Scaled(122), Scaled(65), Scaled(68), Scaled(70)});
    StringGrid1.SetRowHeight(Scaled(16));
    DirectoryListBox1.SetItemHeight(Scaled(16));
    FileListBox1.SetItemHeight(Scaled(16));
}

// Both lists follow the picked drive. A drive that cannot be entered (not ready, no media)
// falls back to drive C; failures of the fall-back itself go to the top-level box.
void TForm1::DriveComboBox1Change() {
    try {
        DirectoryListBox1.SetDrive(DriveComboBox1.Drive());
        FileListBox1.SetDrive(DriveComboBox1.Drive());
    } catch (const IoError&) {
        ShowInformationBox(Hwnd(), "The disk driver does not prepared.");
        DriveComboBox1.SetDrive('C');
        DirectoryListBox1.SetDirectory("c:\\My Documents");
    }
}

void TForm1::FileListBox1Change() {
    BitnAdd.SetEnabled(FileListBox1.EntryCount() > 0);
}

void TForm1::BitnAddClick() {
    AddToTable(FullPaths({FileListBox1.Directory(), FileListBox1.SelectedNames()}));
}

// Add's steps, for the selected files and for dropped ones alike.
void TForm1::AddToTable(const std::vector<std::string>& paths) {
    AddOutcome outcome;
    operation_.Run(Hwnd(),
                   [&] { outcome = AddPaths(table_, paths, [this] { operation_.Pulse(); }); });
    if (outcome.added > 0)
        SetTableButtonsEnabled(true);
    StringGrid1.Refresh();
    if (outcome.stoppedAtIneligibleFile)
        ShowInformationBox(Hwnd(), "The file is not an eligible one.");
    // Also after a failure: the files added before it are in the table.
    UpdateFileCount();
    if (outcome.failure)
        std::rethrow_exception(outcome.failure);
}

void TForm1::BitnRemoveClick() {
    if (table_.RemoveCurrentRow()) {
        UpdateFileCount();
    } else {
        SetTableButtonsEnabled(false);
        StatusBar1.SetPanelText(0, EmptiedCountText);
    }
    StringGrid1.Refresh();
}

void TForm1::BitnClearClick() {
    table_.ResetGrid();
    SetTableButtonsEnabled(false);
    StatusBar1.SetPanelText(0, EmptiedCountText);
    StringGrid1.Refresh();
}

void TForm1::BitUpClick() {
    table_.MoveCurrentRowUp();
    StringGrid1.Refresh();
}

void TForm1::BitDownClick() {
    table_.MoveCurrentRowDown();
    StringGrid1.Refresh();
}

void TForm1::StringGrid1DrawCell(int column, int row, const RECT& cell, GridCellState state,
                                 HDC dc) {
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
    // Right-aligned paths keep their file names in view when the column is narrow; they
    // keep a small margin from the next column. Centred texts may use the whole cell.
    const bool path = column == InputFileTable::FileNameColumn && !state.fixed;
    const UINT alignment = path ? DT_RIGHT : DT_CENTER;
    RECT text = cell;
    if (path)
        text.right -= 2;
    DrawTextWidened(dc, table_.Cell(column, row), text,
                    alignment | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    UpdateMoveButtons();
}

void TForm1::SpdBtnLinkClick() {
    operation_.Run(Hwnd(), [this] { LinkOperation(table_, *this); });
    StringGrid1.Refresh();
}

void TForm1::SpdBtnExitClick() {
    Destroy();
}

void TForm1::SpdBtnHelpClick() {
    if (OnHelp)
        OnHelp();
}

// Dropped files join the table in Explorer's order whatever order the drag carried; a folder
// dropped alone opens in the browser, folders dropped with files are left out.
void TForm1::FormDropFiles() {
    std::vector<std::string> paths = std::exchange(droppedPaths_, {});
    if (paths.size() == 1 && DirectoryExists(paths.front())) {
        OpenDroppedFolder(paths.front());
        return;
    }
    std::erase_if(paths, [](const std::string& path) { return DirectoryExists(path); });
    if (!paths.empty())
        AddToTable(InExplorerOrder(std::move(paths)));
}

// As a double click in the directory list opens it; the drive selector, which is not linked
// to the list, follows a folder on another drive.
void TForm1::OpenDroppedFolder(const std::string& folder) {
    DirectoryListBox1.SetDirectory(folder);
    if (const std::string drive = DrivePart(DirectoryListBox1.Directory()); drive.size() == 2)
        DriveComboBox1.SetDrive(drive[0]);
}

void TForm1::UpdateFileCount() {
    StatusBar1.SetPanelText(0, table_.FileCountText());
}

void TForm1::UpdateMoveButtons() {
    BitUp.SetEnabled(table_.CanMoveUp());
    BitDown.SetEnabled(table_.CanMoveDown());
}

void TForm1::SetTableButtonsEnabled(bool enabled) {
    SpdBtnLink.SetEnabled(enabled);
    BitnRemove.SetEnabled(enabled);
    BitnClear.SetEnabled(enabled);
}

void TForm1::InformationBox(const std::string& message) {
    // The table may have changed under the grid; show it as it is behind the box.
    StringGrid1.Refresh();
    // The link shows its boxes while the wait pointer is up; what was typed meanwhile
    // must not close them unseen.
    const auto normal = PointerShown(IDC_ARROW);
    DiscardInput();
    ShowInformationBox(Hwnd(), message);
}

void TForm1::ErrorBox(const std::string& message) {
    const auto normal = PointerShown(IDC_ARROW);
    DiscardInput();
    ShowErrorBox(Hwnd(), message);
}

} // namespace reelbond
