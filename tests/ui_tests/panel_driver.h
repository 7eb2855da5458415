#pragma once

#include "ui/main_window.h"

#include <string>
#include <vector>
#include <windows.h>

namespace reelbond::test {

// Handles what is queued the way the program's event loop does.
void PumpEvents(TForm1& form);

// What the window's file browser shows: the lists' directories and the directory list's
// highlighted entry.
std::string PanelState(const TForm1& form);
// The same when both lists are in directory, its last name highlighted.
std::string PanelStateAt(const std::string& directory);

// Notes each change notification of the panel, with the panel's state at that moment,
// before the window's own handler runs.
void RecordPanelNotifications(TForm1& form, std::vector<std::string>& notices);

// A double click on the entry of a list box with that text, as the mouse makes it.
void DoubleClickEntry(HWND list, const std::string& text);

} // namespace reelbond::test
