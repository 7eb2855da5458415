#pragma once

#include <utility>

namespace reelbond {

// A move-only owner of one system handle, released by Deleter. A Deleter names the handle's
// invalid value with a static Invalid() where it is not zero, and may carry what the release
// needs besides the handle.
template <typename T, typename Deleter> class Unique {
public:
    Unique() = default;
    explicit Unique(T value, Deleter deleter = {}) noexcept : value_(value), deleter_(deleter) {}
    Unique(Unique&& other) noexcept
        : value_(std::exchange(other.value_, Invalid())), deleter_(other.deleter_) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(std::exchange(other.value_, Invalid()));
        deleter_ = other.deleter_;
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid(); }
    T release() noexcept { return std::exchange(value_, Invalid()); }
    void reset(T value = Invalid()) noexcept {
        if (value_ != Invalid())
            deleter_(value_);
        value_ = value;
    }
    static T Invalid() noexcept {
        if constexpr (requires { Deleter::Invalid(); })
            return Deleter::Invalid();
        return T{};
    }

private:
    T value_ = Invalid();
    Deleter deleter_{};
};

// Runs an action when the scope ends, also when a failure leaves it: puts back what the
// scope changed.
template <typename Action> class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Action action) noexcept : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
};

} // namespace reelbond
