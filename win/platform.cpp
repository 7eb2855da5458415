#include "win/platform.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <stdexcept>

namespace reelbond {

std::string ProgramPath() {
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length);
}

std::string ApplicationTitleOf(const std::string& programPath) {
    std::string title = programPath.substr(programPath.find_last_of("\\/:") + 1);
    title = title.substr(0, title.find('.'));
    std::transform(title.begin() + std::min<std::size_t>(1, title.size()), title.end(),
                   title.begin() + std::min<std::size_t>(1, title.size()),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return title;
}

std::string ApplicationTitle() {
    return ApplicationTitleOf(ProgramPath());
}

void ShowInformationBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_TASKMODAL);
}

void ShowErrorBox(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

std::string MessageOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Unknown error";
    }
}

std::string TopLevelErrorText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void ShowTopLevelError(const std::exception_ptr& failure) {
    const std::string text = TopLevelErrorText(MessageOf(failure));
    MessageBoxA(GetActiveWindow(), text.c_str(), ApplicationTitle().c_str(),
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

UniqueFont CreateUiFont(const FontSpec& font, UINT dpi) {
    // A negative height asks for the character height without internal leading.
    UniqueFont created(CreateFontA(-Scaled(font.pixels, dpi), 0, 0, 0,
                                   font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, font.face));
    if (!created)
        throw std::runtime_error(std::string("Cannot create the font ") + font.face);
    return created;
}

} // namespace reelbond
