#pragma once

#include <string>
#include <utility>
#include <windows.h>

namespace reelbond {

// Switches to a named input method while a control has the focus and back after it.
class InputMethodSwitch {
public:
    void SetName(std::wstring name) { name_ = std::move(name); }
    void SwitchOn();
    void SwitchOff();

private:
    std::wstring name_;
    HKL layoutBefore_ = nullptr;
};

} // namespace reelbond
