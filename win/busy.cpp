#include "win/busy.h"

#include <utility>

namespace reelbond {
namespace {

constexpr ULONGLONG PulseMilliseconds = 100;
// A screen reader makes dozens of calls to read a control, each waiting for one of these
// pulses; each costs one look at the queue (under Wine a round trip to its server).
constexpr ULONGLONG ComPulseMilliseconds = 5;
// A window that never validates its area would regenerate WM_PAINT for ever.
constexpr int MostPaintsPerPulse = 64;
constexpr int MostComMessagesPerPulse = 64;
constexpr wchar_t ComWindowClass[] = L"OleMainThreadWndClass";

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

// COM's hidden window of this thread, to which it posts the calls that other processes, such
// as screen readers, make into the thread's objects; null while COM has made none. It is a
// message-only window on current systems, a top-level one on older ones.
HWND ThreadComWindow() {
    const DWORD thread = GetCurrentThreadId();
    for (const HWND parent : {HWND_MESSAGE, HWND{}}) {
        HWND window = nullptr;
        while ((window = FindWindowExW(parent, window, ComWindowClass, nullptr)))
            if (GetWindowThreadProcessId(window, nullptr) == thread)
                return window;
    }
    return nullptr;
}

} // namespace

void LongOperation::Pulse() {
    const ULONGLONG now = GetTickCount64();
    if (now - lastComPulse_ >= ComPulseMilliseconds) {
        lastComPulse_ = now;
        AnswerCom();
    }
    if (now - lastPulse_ < PulseMilliseconds)
        return;
    lastPulse_ = now;
    // Asking for paint messages alone also delivers sent messages and counts, for the
    // system, as the thread taking its messages.
    MSG message;
    for (int paints = 0; paints < MostPaintsPerPulse && TakeMessage(message, WM_PAINT, WM_PAINT);
         ++paints)
        DispatchMessageW(&message);
    // A screen reader's first message, sent, may just have made COM create its window.
    if (!IsWindow(comWindow_))
        comWindow_ = ThreadComWindow();
}

// Only the messages of COM's own window: the calls wait for nothing else, and input and
// commands stay in the queue.
void LongOperation::AnswerCom() {
    MSG message;
    for (int count = 0; comWindow_ && count < MostComMessagesPerPulse &&
                        PeekMessageW(&message, comWindow_, 0, 0, PM_REMOVE);
         ++count)
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
