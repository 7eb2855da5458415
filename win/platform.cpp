#include "win/platform.h"

#include "core/io_error.h"
#include "core/text.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <stdexcept>

namespace reelbond {

// Asked in UTF-16, in a buffer grown until the path fits: under Wine the 8-bit function cuts
// a path too long for its buffer at a whole UTF-8 character, with no error and a length that
// looks like success.
std::string ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            ThrowLastError();
        if (length < path.size()) {
            path.resize(length);
            return Narrowed(path);
        }
        path.resize(path.size() * 2);
    }
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
