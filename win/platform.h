#pragma once

#include "win/dpi.h"
#include "win/handles.h"

#include <exception>
#include <string>
#include <type_traits>
#include <windows.h>

namespace reelbond {

// The program file's name without directory and extension, capitalised as "Reelbond":
// it captions the information box and the top-level error box.
std::string ApplicationTitle();
std::string ApplicationTitleOf(const std::string& programPath);
// The full path of the running program file.
std::string ProgramPath();

// Modal, captioned with the application title, no icon, OK for both Enter and Escape.
void ShowInformationBox(HWND owner, const std::string& text);
// Modal, captioned "Error", with the error icon.
void ShowErrorBox(HWND owner, const std::string& text);
// The box every failure that leaves an event handler ends in.
void ShowTopLevelError(const std::exception_ptr& failure);
// The failure's message, with "." added unless it is empty or ends in "." or a character
// sorting before it.
std::string TopLevelErrorText(const std::string& message);
std::string MessageOf(const std::exception_ptr& failure);

// Runs a handler so that no C++ exception leaves it: a failure goes to the top-level box.
template <typename Handler>
auto Guarded(Handler&& handler, decltype(handler()) fallback = {}) noexcept {
    try {
        return handler();
    } catch (...) {
        ShowTopLevelError(std::current_exception());
        return fallback;
    }
}
template <typename Handler>
requires std::is_void_v<std::invoke_result_t<Handler>>
void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowTopLevelError(std::current_exception());
    }
}

// A font given as a character height in pixels of the 96-dpi layout, internal leading excluded.
struct FontSpec {
    const char* face;
    int pixels;
    bool bold;
    BYTE charset;
};
UniqueFont CreateUiFont(const FontSpec& font, UINT dpi = LayoutDpi);

inline constexpr char InterfaceFont[] = "MS Sans Serif";

} // namespace reelbond
