#include "message_box_catcher.h"

#include "core/text.h"

namespace reelbond::test {
namespace {

MessageBoxCatcher* active = nullptr;

std::string TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return Narrowed(text);
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
    wchar_t text[2048] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 2048);
    bool hasIcon = false;
    for (int id : {0x14, 0x440}) {
        const HWND icon = GetDlgItem(box, id);
        hasIcon |= icon && SendMessageA(icon, STM_GETICON, 0, 0);
    }
    boxes_.push_back({TextOf(box), Narrowed(text), hasIcon});
    if (whileOpen)
        whileOpen(boxes_.back());
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

} // namespace reelbond::test
