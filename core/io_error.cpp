#include "io_error.h"

#include <windows.h>

namespace reelbond {

IoError::IoError(int code) : std::runtime_error(MessageFor(code)), code_(code) {}

std::string IoError::MessageFor(int code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return "File not found";
    case ERROR_PATH_NOT_FOUND:
        return "Invalid filename";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "Too many open files";
    case ERROR_ACCESS_DENIED:
        return "File access denied";
    case ShortRead:
        return "Read beyond end of file";
    case ShortWrite:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

void ThrowLastError() {
    throw IoError(static_cast<int>(GetLastError()));
}

} // namespace reelbond
