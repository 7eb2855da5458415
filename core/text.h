#pragma once

#include <string>
#include <string_view>

namespace reelbond {

// The program's text is UTF-8, whatever the system's code page; the system's calls take and
// give UTF-16 through their wide functions. These two are the one place where one becomes the
// other.

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
