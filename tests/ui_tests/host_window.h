#pragma once

#include "win/window.h"

namespace reelbond::test {

// A visible top-level window of our own that hosts the controls under test and reflects
// their notifications to them, as the main window does.
class HostWindow : public Window {
public:
    HostWindow();
    // Registers the window class of host windows.
    static void Register();
};

} // namespace reelbond::test
