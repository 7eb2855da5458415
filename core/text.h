#pragma once

#include <string>
#include <string_view>

namespace reelbond {

// The program's text is 8-bit in the process's code page (UTF-8 through the manifest); the
// system's wide functions need it as UTF-16. Drawing, measuring and comparing by a locale's
// or the file system's rules go through these, since the 8-bit system calls convert with
// other code pages or compare differently.

std::wstring Widened(std::string_view text);
std::string Narrowed(std::wstring_view wide);

// Ordinal without regard to case, as file systems compare names, not by a language's rules:
// "straße" and "strasse", or "é" as one character and as "e" with an accent, stay apart.
bool EqualIgnoringCase(std::string_view first, std::string_view second);
bool EqualIgnoringCase(std::wstring_view first, std::wstring_view second);
// Negative, zero or positive as first sorts before, with or after second in that comparison.
int CompareIgnoringCase(std::wstring_view first, std::wstring_view second);

// Negative, zero or positive as first sorts before, with or after second in the user's
// locale.
enum class LetterCase { Respected, Ignored };
int CompareInUserLocale(std::wstring_view first, std::wstring_view second, LetterCase letterCase);

} // namespace reelbond
