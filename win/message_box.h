#pragma once

#include <string>
#include <windows.h>

namespace reelbond {

// Modal, captioned with the application title, no icon, OK for both Enter and Escape.
void ShowInformationBox(HWND owner, const std::string& text);
// Modal, captioned "Error", with the error icon.
void ShowErrorBox(HWND owner, const std::string& text);
// Modal, captioned with the application title, with the stop icon: the top-level error box.
void ShowStopBox(HWND owner, const std::string& text);

} // namespace reelbond
