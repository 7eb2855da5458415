#pragma once

#include "core/unique.h"

#include <functional>
#include <optional>
#include <windows.h>

namespace reelbond {

// Shows a system pointer (IDC_WAIT, IDC_ARROW) until the end of the scope and then puts back
// the one shown before, also when the work in between fails.
inline auto PointerShown(LPCWSTR pointer) noexcept {
    return ScopeExit(
        [previous = SetCursor(LoadCursorW(nullptr, pointer))] { SetCursor(previous); });
}

// Shows the wait pointer from the first Show() to the end of the scope, then puts back the
// one shown before: for work that turns out long only once it has begun.
class WaitPointerOnDemand {
public:
    WaitPointerOnDemand() = default;
    WaitPointerOnDemand(const WaitPointerOnDemand&) = delete;
    WaitPointerOnDemand& operator=(const WaitPointerOnDemand&) = delete;
    ~WaitPointerOnDemand() {
        if (previous_)
            SetCursor(*previous_);
    }
    void Show();

private:
    std::optional<HCURSOR> previous_;
};

// Throws away the mouse and keyboard input waiting in the thread's queue: what was clicked
// or typed while the wait pointer showed must not act on what shows afterwards.
void DiscardInput() noexcept;
// Throws away the commands posted to the thread's windows: those sent during a long operation
// are ignored, as the ones sent then are.
void DiscardPostedCommands() noexcept;

// A long operation of a window, run on its thread while the window keeps answering. Meanwhile
// the window is closed by nobody (a close is held and carried out afterwards) and the session
// does not end under it; when it ends, the input and the commands that arrived meanwhile are
// thrown away.
class LongOperation {
public:
    // shutdownReason: what the system shows the user who logs off meanwhile.
    explicit LongOperation(const wchar_t* shutdownReason) : shutdownReason_(shutdownReason) {}

    bool Running() const noexcept { return running_; }
    // Runs work with the wait pointer shown.
    void Run(HWND window, const std::function<void()>& work);
    // Called often during the work: about every 100 ms it lets paint messages through and
    // answers messages that other threads send, so Windows never marks the window "Not
    // Responding" and it repaints when uncovered; every few milliseconds it answers the
    // calls that screen readers make through COM. Input stays in the queue: no click or key
    // reaches a window before the work ends.
    void Pulse();
    // The window's answer to a close or the end of the session while the work runs; nullopt
    // for other messages and while idle.
    std::optional<LRESULT> Intercept(UINT message);
    // Posts the close that arrived during the work, if one did.
    void CarryOutHeldClose(HWND window);

private:
    void AnswerCom();

    const wchar_t* shutdownReason_;
    ULONGLONG lastPulse_ = 0;
    ULONGLONG lastComPulse_ = 0;
    // COM's window of the thread, once found.
    HWND comWindow_ = nullptr;
    bool running_ = false;
    bool closeHeld_ = false;
};

} // namespace reelbond
