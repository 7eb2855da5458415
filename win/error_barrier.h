#pragma once

#include <exception>
#include <string>
#include <type_traits>

namespace reelbond {

// The box every failure that leaves an event handler ends in.
void ShowTopLevelError(const std::exception_ptr& failure);
// The failure's message, with "." added unless it is empty or ends in "." or a character
// sorting before it.
std::string TopLevelErrorText(const std::string& message);
std::string MessageOf(const std::exception_ptr& failure);

// Runs a handler so that no C++ exception leaves it: a failure goes to the top-level box.
template <typename Handler>
auto Guarded(Handler&& handler, decltype(handler()) fallback = {}) noexcept {
    try {
        return handler();
    } catch (...) {
        ShowTopLevelError(std::current_exception());
        return fallback;
    }
}
template <typename Handler>
requires std::is_void_v<std::invoke_result_t<Handler>>
void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowTopLevelError(std::current_exception());
    }
}

} // namespace reelbond
