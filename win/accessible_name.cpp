#include "win/accessible_name.h"

namespace reelbond {
namespace {

// "Move file Up(Alt+U)" is "Move file Up".
std::string WithoutKey(std::string hint) {
    const auto key = hint.rfind("(Alt+");
    if (key != std::string::npos && hint.back() == ')') {
        hint.erase(key);
        hint.erase(hint.find_last_not_of(' ') + 1);
    }
    return hint;
}

// "&Link" is "Link", "&&" one "&".
std::string WithoutAccelerator(const std::string& caption) {
    std::string spoken;
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] == '&' && at + 1 < caption.size())
            ++at;
        spoken += caption[at];
    }
    return spoken;
}

} // namespace

void NameForScreenReaders(Control& control, const std::string& caption, const Control* laidIn,
                          const char* hint) {
    const std::string described = hint ? WithoutKey(hint) : "";
    std::string name = WithoutAccelerator(caption);
    if (name.empty() && laidIn)
        name = WithoutAccelerator(laidIn->Text());
    if (name.empty())
        name = described;
    control.AccessibleName = name;
    control.AccessibleDescription = described == name ? "" : described;
}

} // namespace reelbond
