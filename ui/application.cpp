#include "ui/application.h"

#include "about/about_box.h"
#include "ui/main_window.h"

#include <commctrl.h>
#include <ole2.h>

namespace reelbond {

void RegisterWindowClasses() {
    TSpeedButton::Register();
    TStringGrid::Register();
    TRichEdit::Register();
    TForm1::Register();
    TAboutBox::Register();
}

int RunApplication() {
    // OLE's single-threaded apartment: for the rich edit's embedded objects and for files
    // dropped on the main window.
    const bool inApartment = SUCCEEDED(OleInitialize(nullptr));
    const ScopeExit leaveApartment([inApartment] {
        if (inApartment)
            OleUninitialize();
    });
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterWindowClasses();
    TForm1 form;
    form.Create();
    // Created before the main window shows: a missing help file is reported at start-up.
    TAboutBox aboutBox;
    aboutBox.Create();
    form.OnHelp = [&] { aboutBox.ShowModal(form.hwnd()); };
    form.Show();
    // Runs until the main window is gone, which asks the loop to quit.
    return form.EventLoop().Run([] { return false; }).value_or(0);
}

} // namespace reelbond
