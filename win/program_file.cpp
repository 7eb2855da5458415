#include "win/program_file.h"

#include "core/io_error.h"
#include "core/text.h"

#include <cctype>
#include <windows.h>

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
    for (std::size_t at = 1; at < title.size(); ++at)
        title[at] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[at])));
    return title;
}

std::string ApplicationTitle() {
    return ApplicationTitleOf(ProgramPath());
}

} // namespace reelbond
