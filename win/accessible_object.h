#pragma once

#include "win/window.h"

#include <optional>
#include <string>
#include <windows.h>

namespace reelbond {

// What a control tells a screen reader beyond its name and what the system's standard
// object knows of its class. A control that says more derives from it besides Control.
class AccessibleParts {
public:
    // ROLE_SYSTEM_PUSHBUTTON: a button whose default action clicks it as the mouse does.
    // ROLE_SYSTEM_LIST: a list whose items are the ones below.
    virtual long AccessibleRole() const = 0;
    // As "Alt+L"; empty leaves it to the standard object.
    virtual std::string KeyboardShortcut() const { return {}; }

    // A list's items, numbered from 1: how many, what each is called and where it lies on
    // the screen.
    virtual int ItemCount() const { return 0; }
    virtual std::string ItemName(int) const { return {}; }
    virtual RECT ItemPlace(int) const { return {}; }
    // The item shown at a point of the screen; 0 for none.
    virtual int ItemAt(POINT) const { return 0; }
    // The item that is selected, and focused while the list has the focus; 0 for none.
    virtual int CurrentItem() const { return 0; }

protected:
    ~AccessibleParts() = default;
};

// Answers WM_GETOBJECT for a control's client area with an object that wraps the system's
// standard one and adds what the control says of itself: its name, description and parts.
// nullopt leaves the message to the system.
std::optional<LRESULT> AnswerGetObject(const Control& control, WPARAM wParam, LPARAM lParam);

} // namespace reelbond
