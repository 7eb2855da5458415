#include "message_box_catcher.h"

namespace reelbond::test {
namespace {

MessageBoxCatcher* active = nullptr;

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsMessageBox(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher()
    : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
    active = this;
}

MessageBoxCatcher::~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook_);
    active = nullptr;
}

std::vector<std::string> MessageBoxCatcher::texts() const {
    std::vector<std::string> result;
    for (const Box& box : boxes_)
        result.push_back(box.text);
    return result;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active && IsMessageBox(reinterpret_cast<HWND>(wParam)))
        active->Catch(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCatcher::Catch(HWND box) {
    // The message text is the static control with id 0xFFFF; the icon's static has id
    // 0x14 on Windows and 0x440 under Wine.
    char text[2048] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    bool hasIcon = false;
    for (int id : {0x14, 0x440}) {
        const HWND icon = GetDlgItem(box, id);
        hasIcon |= icon && SendMessageA(icon, STM_GETICON, 0, 0);
    }
    boxes_.push_back({TextOf(box), text, hasIcon});
    if (whileOpen)
        whileOpen(boxes_.back());
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

} // namespace reelbond::test
