#include "host_window.h"

namespace reelbond::test {

namespace {
constexpr wchar_t ClassName[] = L"ReelbondTestHost";
} // namespace

void HostWindow::Register() {
    RegisterWindowClass(ClassName, Procedure, 0, GetSysColorBrush(COLOR_BTNFACE));
}

HostWindow::HostWindow() {
    CreateWindowOfClass(ClassName, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, "Test host",
                        RECT{0, 0, 400, 400}, nullptr);
}

} // namespace reelbond::test
