#pragma once

#include "core/unique.h"

#include <windows.h>

namespace reelbond {

// Shows a system pointer (IDC_WAIT, IDC_ARROW) until the end of the scope and then puts back
// the one shown before, also when the work in between fails.
inline auto PointerShown(LPCSTR pointer) noexcept {
    return ScopeExit(
        [previous = SetCursor(LoadCursorA(nullptr, pointer))] { SetCursor(previous); });
}

// Called often during a long operation on the user-interface thread: about every 100 ms it
// lets paint messages through and answers messages that other threads send, so Windows
// never marks the window "Not Responding" and it repaints when uncovered. Input stays in
// the queue: no click or key reaches a window before the operation ends.
class MessagePulse {
public:
    void operator()();

private:
    ULONGLONG last_ = 0;
};

} // namespace reelbond
