#pragma once

#include "core/unique.h"
#include "win/com.h"

#include <string>
#include <vector>
#include <windows.h>

// After windows.h, which it needs.
#include <ole2.h>

namespace reelbond::test {

using UniqueDataObject = Unique<IDataObject*, ComReleaser>;

// What Explorer offers when files are dragged: their full paths as CF_HDROP, wide.
UniqueDataObject FileDragData(const std::vector<std::string>& paths);

// The effects a drop target answered when files entered it and when they were dropped.
struct DropEffects {
    DWORD entered;
    DWORD dropped;
};
// Drags files over the window and drops them, as Explorer does, through the drop target the
// window registered. Raises std::runtime_error when it registered none.
DropEffects DragAndDrop(HWND window, const std::vector<std::string>& paths);

} // namespace reelbond::test
