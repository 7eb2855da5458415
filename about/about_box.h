#pragma once

#include "win/buttons.h"
#include "win/control_layout.h"
#include "win/program_file.h"
#include "win/rich_edit.h"
#include "win/static_controls.h"
#include "win/window.h"

#include <string>

namespace reelbond {

// The help file beside the program file: its directory part, up to and including the last
// "\" or ":", followed by "Help.rtf".
std::string HelpFilePath(const std::string& programPath);

// The program's only help: product name, version and the maker's notice above the help
// text, which is read once, when the box is created. Closing hides the box.
class TAboutBox : public Window {
public:
    explicit TAboutBox(std::string programPath = ProgramPath());
    static void Register();

    // Creates the hidden box with its controls; FormCreate loads the help text meanwhile,
    // and a failure there is shown in the top-level error box.
    void Create();
    // Shows the box centred on the screen and returns when it is closed; owner takes no
    // input meanwhile.
    void ShowModal(HWND owner);

    TLabel copyright;
    TLabel version;
    TLabel mpgname;
    TBevel Bevel1;
    TImage Image1;
    TButton BtnOK;
    TRichEdit RichEdit21;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls() override;
    void LayOut() override;

private:
    void FitLabelsAndIcon();
    void FormCreate();
    void BtnOKClick();
    void Close();
    void RunModalLoop();
    // WM_NEXTDLGCTL: the rich edit asks for the next control on Tab.
    void MoveFocus(WPARAM wParam, LPARAM lParam);

    std::string programPath_;
    ControlLayout layout_;
    bool modal_ = false;
};

} // namespace reelbond
