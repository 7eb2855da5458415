#include "win/message_box.h"

#include "core/text.h"
#include "win/program_file.h"

namespace reelbond {

void ShowInformationBox(HWND owner, const std::string& text) {
    MessageBoxW(owner, Widened(text).c_str(), Widened(ApplicationTitle()).c_str(),
                MB_OK | MB_TASKMODAL);
}

void ShowErrorBox(HWND owner, const std::string& text) {
    MessageBoxW(owner, Widened(text).c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void ShowStopBox(HWND owner, const std::string& text) {
    MessageBoxW(owner, Widened(text).c_str(), Widened(ApplicationTitle()).c_str(),
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

} // namespace reelbond
