#include "ui/application.h"

#include "about/about_box.h"
#include "core/io_error.h"
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

namespace {

// A DLL that is not one of the system's known DLLs would be looked for beside the program
// first, where a download may have put one of that name. The program's own are loaded on
// first use, so this governs them all.
void LoadLibrariesFromTheSystemFolderOnly() {
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        ThrowLastError();
}

// A drive without media (or a network drive gone) then fails at once where the system would
// stop the program with a box of its own asking for a disk.
void FailCriticalErrorsWithoutAsking() {
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
}

} // namespace

int RunApplication() {
    LoadLibrariesFromTheSystemFolderOnly();
    FailCriticalErrorsWithoutAsking();
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
    Owned<TForm1> form;
    form.Create();
    // Created before the main window shows: a missing help file is reported at start-up.
    Owned<TAboutBox> aboutBox;
    aboutBox.Create();
    form.OnHelp = [&] { aboutBox.ShowModal(form.Hwnd()); };
    form.Show();
    // Runs until the main window is gone, which asks the loop to quit.
    return form.EventLoop().Run([] { return false; }).value_or(0);
}

} // namespace reelbond
