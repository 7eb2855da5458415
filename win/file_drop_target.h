#pragma once

#include "core/unique.h"
#include "win/com.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

// After windows.h, which it needs.
#include <ole2.h>

namespace reelbond {

class DropTargetObject;

// Takes the files dragged onto a window from Explorer or any other program that drags files
// (the system's drag and drop, as CF_HDROP). Nothing else dragged is taken.
class FileDropTarget {
public:
    FileDropTarget();
    ~FileDropTarget();
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    // Whether a drop would be taken now. Asked while files are dragged over the window, whose
    // pointer then shows a copy, or a refusal.
    std::function<bool()> Accepting;
    // The dropped files' and folders' full paths, in the order the drag carried them. Runs
    // while the dragging program waits for the drop's end: long work belongs later.
    std::function<void(std::vector<std::string>)> OnDrop;

    // Takes drops on the window until Revoke; OLE must be initialised on the thread. Raises
    // IoError with the system's code when the system refuses.
    void Register(HWND window);
    void Revoke() noexcept;

private:
    struct Revoker {
        void operator()(HWND window) const noexcept { RevokeDragDrop(window); }
    };

    Unique<DropTargetObject*, ComReleaser> object_;
    Unique<HWND, Revoker> registration_;
};

} // namespace reelbond
