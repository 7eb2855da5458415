#pragma once

#include <string>
#include <windows.h>

namespace reelbond {

// The input method the program's text controls name; where the system has none of that
// name nothing is switched.
inline constexpr wchar_t ChineseSimplifiedAbc[] = L"中文 (简体) - 智能 ABC";

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
