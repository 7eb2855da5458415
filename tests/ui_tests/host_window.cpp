#include "host_window.h"

namespace reelbond::test {

HostWindow::HostWindow() {
    constexpr char className[] = "ReelbondTestHost";
    RegisterWindowClass(className, Procedure, 0, GetSysColorBrush(COLOR_BTNFACE));
    CreateWindowOfClass(className, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, "Test host",
                        RECT{0, 0, 400, 400}, nullptr);
}

} // namespace reelbond::test
