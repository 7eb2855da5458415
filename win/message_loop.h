#pragma once

#include <functional>
#include <optional>
#include <windows.h>

namespace reelbond {

// The event loop of a window whose controls take the dialog keys (Tab, arrows, Enter).
// Messages are taken and handed on as wide ones, so that a typed character reaches the wide
// controls whole: as an 8-bit message it is converted with the keyboard's code page.
class MessageLoop {
public:
    // The window's own keyboard handling before the dialog keys; true when it used the
    // message.
    using KeyHandler = std::function<bool(const MSG&)>;

    explicit MessageLoop(HWND dialog, KeyHandler keys = {});

    // Handles one message: the window's own keys, the dialog keys, then translation and
    // dispatch. Each step runs inside the barrier, so a failure ends in the top-level error
    // box whether a key or the mouse started it, and the loop goes on.
    void Process(MSG& message) const noexcept;
    // Takes and handles messages until stop() says so (nullopt) or a quit request arrives
    // (its exit code).
    std::optional<int> Run(const std::function<bool()>& stop) const;

private:
    HWND dialog_;
    KeyHandler keys_;
};

} // namespace reelbond
