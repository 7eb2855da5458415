#include "win/busy.h"

#include <utility>

namespace reelbond {
namespace {

constexpr ULONGLONG PulseMilliseconds = 100;
// A window that never validates its area would regenerate WM_PAINT for ever.
constexpr int MostPaintsPerPulse = 64;

// PeekMessage hands out a quit request whatever the filter asks for: it goes back in the
// queue for the loop it belongs to, and the caller stops looking.
bool TakeMessage(MSG& message, UINT first, UINT last) {
    if (!PeekMessageW(&message, nullptr, first, last, PM_REMOVE))
        return false;
    if (message.message != WM_QUIT)
        return true;
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
}

} // namespace

void LongOperation::Pulse() {
    const ULONGLONG now = GetTickCount64();
    if (now - lastPulse_ < PulseMilliseconds)
        return;
    lastPulse_ = now;
    // Asking for paint messages alone also delivers sent messages and counts, for the
    // system, as the thread taking its messages.
    MSG message;
    for (int paints = 0; paints < MostPaintsPerPulse && TakeMessage(message, WM_PAINT, WM_PAINT);
         ++paints)
        DispatchMessageW(&message);
}

void DiscardInput() noexcept {
    MSG message;
    while (TakeMessage(message, WM_KEYFIRST, WM_KEYLAST)) {
    }
    while (TakeMessage(message, WM_MOUSEFIRST, WM_MOUSELAST)) {
    }
    while (TakeMessage(message, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK)) {
    }
}

void DiscardPostedCommands() noexcept {
    MSG message;
    while (TakeMessage(message, WM_COMMAND, WM_COMMAND)) {
    }
}

void LongOperation::Run(HWND window, const std::function<void()>& work) {
    running_ = true;
    ShutdownBlockReasonCreate(window, shutdownReason_);
    const ScopeExit ended([&]() noexcept {
        ShutdownBlockReasonDestroy(window);
        DiscardInput();
        DiscardPostedCommands();
        running_ = false;
    });
    const auto wait = PointerShown(IDC_WAIT);
    work();
}

void WaitPointerOnDemand::Show() {
    if (!previous_)
        previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

std::optional<LRESULT> LongOperation::Intercept(UINT message) {
    if (!running_)
        return std::nullopt;
    switch (message) {
    case WM_CLOSE:
        closeHeld_ = true;
        return 0;
    case WM_QUERYENDSESSION:
        return FALSE;
    default:
        return std::nullopt;
    }
}

void LongOperation::CarryOutHeldClose(HWND window) {
    if (std::exchange(closeHeld_, false))
        PostMessageW(window, WM_CLOSE, 0, 0);
}

} // namespace reelbond
