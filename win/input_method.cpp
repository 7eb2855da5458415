#include "win/input_method.h"

#include <imm.h>
#include <utility>
#include <vector>

namespace reelbond {
namespace {

// The keyboard layout whose input method has this description, or null.
HKL FindInputMethod(const std::wstring& description) {
    std::vector<HKL> layouts(GetKeyboardLayoutList(0, nullptr));
    layouts.resize(GetKeyboardLayoutList(static_cast<int>(layouts.size()), layouts.data()));
    for (HKL layout : layouts) {
        wchar_t name[256] = L"";
        if (ImmIsIME(layout) && ImmGetDescriptionW(layout, name, 256) && description == name)
            return layout;
    }
    return nullptr;
}

} // namespace

void InputMethodSwitch::SwitchOn() {
    if (name_.empty())
        return;
    if (const HKL inputMethod = FindInputMethod(name_))
        layoutBefore_ = ActivateKeyboardLayout(inputMethod, 0);
}

void InputMethodSwitch::SwitchOff() {
    if (layoutBefore_)
        ActivateKeyboardLayout(std::exchange(layoutBefore_, nullptr), 0);
}

} // namespace reelbond
