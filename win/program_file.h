#pragma once

#include <string>

namespace reelbond {

// The full path of the running program file.
std::string ProgramPath();
// The program file's name without directory and extension, capitalised as "Reelbond":
// it captions the information box and the top-level error box.
std::string ApplicationTitle();
std::string ApplicationTitleOf(const std::string& programPath);

} // namespace reelbond
