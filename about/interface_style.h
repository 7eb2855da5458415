#pragma once

namespace reelbond {

// What both of the program's windows share. It lives with the about box because the main
// window's folder builds on this one, never the other way.

// The face of every text the program's windows draw: the TrueType twin of MS Sans Serif, with
// its metrics. MS Sans Serif itself is a bitmap font of the Western code page in a few sizes;
// this one scales to any density, and Windows' font links extend it to CJK.
inline constexpr char InterfaceFont[] = "Microsoft Sans Serif";
// The input method the program's text controls name; where the system has none of that
// name nothing is switched.
inline constexpr wchar_t ChineseSimplifiedAbc[] = L"中文 (简体) - 智能 ABC";

} // namespace reelbond
