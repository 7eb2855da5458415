#pragma once

namespace reelbond {

// The face of every text the program's windows draw.
inline constexpr char InterfaceFont[] = "MS Sans Serif";
// The input method the program's text controls name; where the system has none of that
// name nothing is switched.
inline constexpr wchar_t ChineseSimplifiedAbc[] = L"中文 (简体) - 智能 ABC";

} // namespace reelbond
