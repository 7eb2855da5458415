#pragma once

#include <exception>
#include <string>

namespace reelbond {

// The box every failure that leaves an event handler ends in.
void ShowTopLevelError(const std::exception_ptr& failure);
// The failure's message, with "." added unless it is empty or ends in "." or a character
// sorting before it.
std::string TopLevelErrorText(const std::string& message);
std::string MessageOf(const std::exception_ptr& failure);

// Runs a handler so that no C++ exception leaves it: a failure goes to the top-level box, and
// a handler that returns a value then returns fallback (value-initialised when none is given).
template <typename Handler, typename... Fallback>
auto Guarded(Handler&& handler, Fallback... fallback) noexcept {
    try {
        return handler();
    } catch (...) {
        ShowTopLevelError(std::current_exception());
        return decltype(handler())(fallback...);
    }
}

} // namespace reelbond
