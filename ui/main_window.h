#pragma once

#include "core/add_operation.h"
#include "core/input_file_table.h"
#include "core/link_operation.h"
#include "win/busy.h"
#include "win/buttons.h"
#include "win/control_layout.h"
#include "win/directory_list_box.h"
#include "win/drive_combo_box.h"
#include "win/edit_and_bars.h"
#include "win/file_drop_target.h"
#include "win/file_list_box.h"
#include "win/filter_combo_box.h"
#include "win/message_loop.h"
#include "win/static_controls.h"
#include "win/string_grid.h"
#include "win/window.h"

#include <functional>
#include <string>
#include <vector>

namespace reelbond {

// The main window: the file browser on the left, the input file table on the right,
// the output name and the Link, Exit and Help buttons below.
class TForm1 : public Window, private LinkWindow, private GridRows {
    // The rows the grid shows; declared first because the grid is built on it.
    InputFileTable table_;

public:
    TForm1();
    static void Register();
    // Creates the window and its controls, hidden; FormCreate has run when it returns.
    void Create();
    // Shows the window centred on the screen.
    void Show();
    // Keyboard handling before the usual dialog navigation: the speed buttons'
    // accelerators. True when the message was used.
    bool PreTranslateMessage(const MSG& message);
    // The program's event loop, with the window's accelerators and dialog keys.
    MessageLoop EventLoop();

    // Runs when Help is pressed; start-up connects it to the about box.
    std::function<void()> OnHelp;

    const InputFileTable& Table() const { return table_; }

    // The controls in tab order, a group box just before the controls laid over it; they
    // are numbered from FirstControlId in this order. The one statement of the layout.
    std::vector<Placement> Layout();
    static constexpr int FirstControlId = 100;
    // The bitmaps of the browser's drives and folders.
    static constexpr TDriveComboBox::GlyphNames DriveGlyphs{"FLOPPY", "HARD", "NETWORK", "CDROM",
                                                            "RAM"};
    static constexpr TDirectoryListBox::GlyphNames FolderGlyphs{"OPENFOLDER", "CURRENTFOLDER",
                                                                "CLOSEDFOLDER"};

    // The controls, in the order the window declares them.
    TGroupBox GroupBox1;
    TBitBtn BitnAdd;
    TBitBtn BitnRemove;
    TGroupBox GroupBox3;
    TFileListBox FileListBox1;
    TGroupBox GroupBox6;
    TDriveComboBox DriveComboBox1;
    TDirectoryListBox DirectoryListBox1;
    TBitBtn BitnClear;
    TStringGrid StringGrid1;
    TStatusBar StatusBar1;
    TProgressBar ProgressBar1;
    TBitBtn BitUp;
    TBitBtn BitDown;
    TPanel Panel1;
    TSpeedButton SpdBtnLink;
    TSpeedButton SpdBtnExit;
    TSpeedButton SpdBtnHelp;
    TGroupBox GroupBox2;
    TFilterComboBox FilterComboBox1;
    TGroupBox GroupBox4;
    TEdit Edit1;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls() override;
    void LayOut() override;

private:
    void SetScaledSizes();
    void ConnectEvents();
    std::function<void()> Command(void (TForm1::*handler)());
    bool TakesCommands() const;

    void FormCreate();
    void DriveComboBox1Change();
    void BitnAddClick();
    void BitnRemoveClick();
    void BitnClearClick();
    void StringGrid1DrawCell(int column, int row, const RECT& cell, GridCellState state, HDC dc);
    void BitUpClick();
    void BitDownClick();
    void FileListBox1Change();
    void SpdBtnLinkClick();
    void SpdBtnExitClick();
    void SpdBtnHelpClick();
    void FormDropFiles();

    void AddToTable(const std::vector<std::string>& paths);
    void OpenDroppedFolder(const std::string& folder);
    void UpdateFileCount();
    void UpdateMoveButtons();
    void SetTableButtonsEnabled(bool enabled);
    bool ClickAccelerator(char letter);

    // The table as the grid shows it.
    int DataRowCount() const override { return table_.DataRowCount(); }
    std::string CellText(int column, int row) const override { return table_.Cell(column, row); }
    int CurrentRow() const override { return table_.CurrentRow(); }
    void SetCurrentRow(int row) override { table_.SetCurrentRow(row); }

    // What the link operation uses of the window.
    void DefaultBeep() override { MessageBeep(MB_OK); }
    void InformationBox(const std::string& message) override;
    void ErrorBox(const std::string& message) override;
    std::string OutputName() const override { return Edit1.Text(); }
    void FocusOutputName() override { SetFocus(Edit1.Hwnd()); }
    std::string ShownDirectory() const override { return DirectoryListBox1.Directory(); }
    void SetLinkEnabled(bool enabled) override { SpdBtnLink.SetEnabled(enabled); }
    void SetRemoveEnabled(bool enabled) override { BitnRemove.SetEnabled(enabled); }
    void SetClearEnabled(bool enabled) override { BitnClear.SetEnabled(enabled); }
    void ShowProgress(int position) override { ProgressBar1.SetPosition(position); }
    void ShowCountText(const std::string& text) override { StatusBar1.SetPanelText(0, text); }
    void StillWorking() override { operation_.Pulse(); }

    ControlLayout layout_;
    // Add or Link while it runs: the window keeps answering and takes no other command.
    LongOperation operation_{L"Joining files"};
    FileDropTarget dropTarget_;
    // The paths of a drop, until the window takes them after the dragging program's call.
    std::vector<std::string> droppedPaths_;
};

} // namespace reelbond
