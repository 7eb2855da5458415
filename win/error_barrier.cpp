#include "win/error_barrier.h"

#include "win/message_box.h"

#include <new>
#include <windows.h>

namespace reelbond {

std::string MessageOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Unknown error";
    }
}

std::string TopLevelErrorText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void ShowTopLevelError(const std::exception_ptr& failure) {
    ShowStopBox(GetActiveWindow(), TopLevelErrorText(MessageOf(failure)));
}

} // namespace reelbond
