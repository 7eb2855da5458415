#include "win/list_entries.h"

#include "core/text.h"

#include <new>

namespace reelbond {

LRESULT SendToClassProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto procedure = reinterpret_cast<WNDPROC>(GetClassLongPtrW(control, GCLP_WNDPROC));
    return CallWindowProcW(procedure, control, message, wParam, lParam);
}

int AddEntry(HWND control, const EntryMessages& messages, const std::string& text, LPARAM data) {
    const std::wstring wide = Widened(text);
    const auto at =
        SendToClassProcedure(control, messages.add, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (at < 0)
        throw std::bad_alloc();
    SendToClassProcedure(control, messages.setData, at, data);
    return static_cast<int>(at);
}

std::string EntryText(HWND control, const EntryMessages& messages, int index) {
    const auto length = SendToClassProcedure(control, messages.textLength, index, 0);
    if (length < 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendToClassProcedure(
        control, messages.text, index, reinterpret_cast<LPARAM>(text.data()))));
    return Narrowed(text);
}

} // namespace reelbond
