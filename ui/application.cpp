#include "ui/application.h"

#include "about/about_box.h"
#include "ui/main_window.h"

#include <commctrl.h>
#include <objbase.h>

namespace reelbond {
namespace {

// Messages are taken and handed on as wide ones, so that a typed character reaches the wide
// controls whole: as an 8-bit message it is converted with the keyboard's code page.
int RunEventLoop(TForm1& form) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        ProcessMessage(form, message);
    return static_cast<int>(message.wParam);
}

} // namespace

void RegisterWindowClasses() {
    SpeedButton::Register();
    TStringGrid::Register();
    TRichEdit::Register();
    TForm1::Register();
    TAboutBox::Register();
}

void ProcessMessage(TForm1& form, MSG& message) {
    if (form.PreTranslateMessage(message) || IsDialogMessageW(form.hwnd(), &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int RunApplication() {
    const bool inApartment = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const ScopeExit leaveApartment([inApartment] {
        if (inApartment)
            CoUninitialize();
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
    return RunEventLoop(form);
}

} // namespace reelbond
