#include "win/busy.h"

namespace reelbond {
namespace {

constexpr ULONGLONG PulseMilliseconds = 100;
// A window that never validates its area would regenerate WM_PAINT for ever.
constexpr int MostPaintsPerPulse = 64;

} // namespace

void MessagePulse::operator()() {
    const ULONGLONG now = GetTickCount64();
    if (now - last_ < PulseMilliseconds)
        return;
    last_ = now;
    // Asking for paint messages alone also delivers sent messages and counts, for the
    // system, as the thread taking its messages.
    MSG message;
    for (int paints = 0; paints < MostPaintsPerPulse &&
                         PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
         ++paints)
        DispatchMessageW(&message);
}

} // namespace reelbond
