#pragma once

#include <string>
#include <windows.h>

namespace reelbond {

// Switches to a named input method while a control has the focus and back after it.
class InputMethodSwitch {
public:
    std::wstring name;

    void SwitchOn();
    void SwitchOff();

private:
    HKL layoutBefore_ = nullptr;
};

} // namespace reelbond
