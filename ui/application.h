#pragma once

#include <windows.h>

namespace reelbond {

class TForm1;

// The window classes of the program's windows and controls; start-up registers them once.
void RegisterWindowClasses();

// Start-up: the component-object runtime, the window classes, the main window, then events
// until the main window is closed. Returns the process's exit code.
int RunApplication();

// Handles one message of the event loop: the main window's accelerators first, then the
// dialog keys (Tab, arrows), then the usual dispatch.
void ProcessMessage(TForm1& form, MSG& message);

} // namespace reelbond
