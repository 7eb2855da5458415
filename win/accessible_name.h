#pragma once

#include "win/window.h"

#include <string>

namespace reelbond {

// Tells screen readers what a control of a layout is called and what it is for, from what
// the layout says of it: its caption, without the "&" of its accelerator; without one, the
// caption of the group box it lies in, or else its hint without the key the hint names
// ("Add Files(Alt+A)" is "Add Files"). The hint describes the control where it does not
// already name it.
void NameForScreenReaders(Control& control, const std::string& caption, const Control* laidIn,
                          const char* hint);

} // namespace reelbond
