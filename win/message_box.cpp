#include "win/message_box.h"

#include "win/program_file.h"

namespace reelbond {

void ShowInformationBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_TASKMODAL);
}

void ShowErrorBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void ShowStopBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), ApplicationTitle().c_str(),
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

} // namespace reelbond
