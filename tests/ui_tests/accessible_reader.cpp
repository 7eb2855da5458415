// Reads a window's controls from another process as a screen reader does, for the window
// tests: "accessible_reader WINDOW [ID...]" prints a line for every child control of WINDOW
// (a handle in decimal): id, role, state (hexadecimal), name, description, shortcut and
// default action, separated by tabs; then a line "id.item" with role, state, name and
// "left,top,width,height" for each of its simple children; then presses the control of
// each ID by its default action and prints "press ID" and the result (hexadecimal). Texts
// are UTF-8; one the control does not have is empty.
#include "core/unique.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <oleacc.h>
#include <string>

namespace {

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
using UniqueAccessible = reelbond::Unique<IAccessible*, ComReleaser>;

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// What getter answers into a text (a BSTR) or a number (a VARIANT), as a line's field.
template <typename Getter> std::string Text(Getter getter) {
    BSTR text = nullptr;
    getter(&text);
    const int length = text ? static_cast<int>(SysStringLen(text)) : 0;
    std::string out(static_cast<std::size_t>(length) * 3, '\0');
    out.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_UTF8, 0, text, length, out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
    SysFreeString(text);
    return "\t" + out;
}
template <typename Getter> std::string Number(Getter getter) {
    VARIANT value;
    VariantInit(&value);
    char text[16] = "\t-";
    if (SUCCEEDED(getter(&value)) && value.vt == VT_I4)
        std::snprintf(text, sizeof text, "\t%lx", static_cast<unsigned long>(value.lVal));
    return text;
}

// Role, state and name of the object itself or of one of its simple children.
std::string Basics(IAccessible& object, long child) {
    return Number([&](VARIANT* role) { return object.get_accRole(Child(child), role); }) +
           Number([&](VARIANT* state) { return object.get_accState(Child(child), state); }) +
           Text([&](BSTR* name) { return object.get_accName(Child(child), name); });
}

UniqueAccessible ObjectOf(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return {};
    return UniqueAccessible(object);
}

void PrintControl(HWND control) {
    const int id = GetDlgCtrlID(control);
    const UniqueAccessible object = ObjectOf(control);
    if (!object)
        return;
    IAccessible& read = *object.get();
    const VARIANT self = Child(CHILDID_SELF);
    std::printf("%d%s%s%s%s\n", id, Basics(read, CHILDID_SELF).c_str(),
                Text([&](BSTR* text) { return read.get_accDescription(self, text); }).c_str(),
                Text([&](BSTR* text) { return read.get_accKeyboardShortcut(self, text); }).c_str(),
                Text([&](BSTR* text) { return read.get_accDefaultAction(self, text); }).c_str());
    long count = 0;
    read.get_accChildCount(&count);
    for (long item = 1; item <= count; ++item) {
        IDispatch* itself = nullptr;
        if (read.get_accChild(Child(item), &itself) != S_FALSE) {
            if (itself)
                itself->Release();
            continue;
        }
        long left = 0, top = 0, width = 0, height = 0;
        read.accLocation(&left, &top, &width, &height, Child(item));
        std::printf("%d.%ld%s\t%ld,%ld,%ld,%ld\n", id, item, Basics(read, item).c_str(), left, top,
                    width, height);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    const auto window = reinterpret_cast<HWND>(std::strtoull(argv[1], nullptr, 10));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        PrintControl(child);
    for (int at = 2; at < argc; ++at) {
        const UniqueAccessible object = ObjectOf(GetDlgItem(window, std::atoi(argv[at])));
        const HRESULT result =
            object ? object.get()->accDoDefaultAction(Child(CHILDID_SELF)) : E_FAIL;
        std::printf("press %s\t%lx\n", argv[at], static_cast<unsigned long>(result));
    }
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
