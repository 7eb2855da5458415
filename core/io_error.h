#pragma once

#include <stdexcept>
#include <string>

namespace reelbond {

// The one failure of every file operation: the system's error code, or one of the
// program's own codes below, with the message the user is shown for it.
class IoError : public std::runtime_error {
public:
    static constexpr int ShortRead = 100;
    static constexpr int ShortWrite = 101;
    static constexpr int FileNotOpen = 103;

    explicit IoError(int code);

    int Code() const noexcept { return code_; }

    static std::string MessageFor(int code);

private:
    int code_;
};

// Raises the IoError of the calling thread's last system error.
[[noreturn]] void ThrowLastError();

} // namespace reelbond
