#pragma once

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

namespace reelbond::test {

// Catches every message box this thread opens while it lives: records its caption, text
// and icon, lets the test look at the windows behind it, and presses OK.
class MessageBoxCatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
        bool hasIcon;
    };

    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<Box>& boxes() const { return boxes_; }
    std::vector<std::string> texts() const;
    // Runs while each box is open, before it is closed.
    std::function<void(const Box&)> whileOpen;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Catch(HWND box);

    HHOOK hook_;
    std::vector<Box> boxes_;
};

} // namespace reelbond::test
