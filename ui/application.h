#pragma once

namespace reelbond {

// The window classes of the program's windows and controls; start-up registers them once.
void RegisterWindowClasses();

// Start-up: where DLLs are looked for, how failing drives answer, the component-object
// runtime, the window classes, the main window, then events until the main window is closed.
// Returns the process's exit code.
int RunApplication();

} // namespace reelbond
