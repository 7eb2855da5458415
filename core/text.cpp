#include "text.h"

#include <windows.h>

namespace reelbond {

std::wstring Widened(std::string_view text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrowed(std::wstring_view wide) {
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

bool EqualIgnoringCase(std::string_view first, std::string_view second) {
    return EqualIgnoringCase(Widened(first), Widened(second));
}

bool EqualIgnoringCase(std::wstring_view first, std::wstring_view second) {
    return CompareIgnoringCase(first, second) == 0;
}

int CompareIgnoringCase(std::wstring_view first, std::wstring_view second) {
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) -
           CSTR_EQUAL;
}

int CompareInUserLocale(std::wstring_view first, std::wstring_view second, LetterCase letterCase) {
    const DWORD flags = letterCase == LetterCase::Ignored ? NORM_IGNORECASE : 0;
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, flags, first.data(),
                           static_cast<int>(first.size()), second.data(),
                           static_cast<int>(second.size()), nullptr, nullptr, 0) -
           CSTR_EQUAL;
}

} // namespace reelbond
