#include "win/message_loop.h"

#include "win/error_barrier.h"

#include <utility>

namespace reelbond {

MessageLoop::MessageLoop(HWND dialog, KeyHandler keys) : dialog_(dialog), keys_(std::move(keys)) {}

void MessageLoop::Process(MSG& message) const noexcept {
    Guarded([&] {
        if ((keys_ && keys_(message)) || IsDialogMessageW(dialog_, &message))
            return;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    });
}

std::optional<int> MessageLoop::Run(const std::function<bool()>& stop) const {
    MSG message;
    while (!stop()) {
        if (GetMessageW(&message, nullptr, 0, 0) <= 0)
            return static_cast<int>(message.wParam);
        Process(message);
    }
    return std::nullopt;
}

} // namespace reelbond
