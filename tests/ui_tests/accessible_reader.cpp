// Reads a window's controls from another process as a screen reader does, for the window
// tests:
//   accessible_reader WINDOW [ID...]
// prints, for every child control of WINDOW (a handle in decimal), one line
//   control <TAB> id <TAB> role <TAB> state <TAB> name <TAB> description <TAB> shortcut
//           <TAB> default action
// followed by a line for each simple child (a list's item)
//   item <TAB> child id <TAB> role <TAB> state <TAB> name <TAB> left,top,width,height
// and then presses the control of each ID by its default action:
//   press <TAB> id <TAB> result (an HRESULT in hexadecimal)
// Texts are UTF-8; a text the control does not have is empty.
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

std::string Utf8(BSTR text) {
    if (!text)
        return "";
    const int length = static_cast<int>(SysStringLen(text));
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    SysFreeString(text);
    return out;
}

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

template <typename Getter> std::string TextOf(Getter getter) {
    BSTR text = nullptr;
    getter(&text);
    return Utf8(text);
}

// A number the getter answers; -1 for none.
template <typename Getter> long NumberOf(Getter getter) {
    VARIANT value;
    VariantInit(&value);
    return SUCCEEDED(getter(&value)) && value.vt == VT_I4 ? value.lVal : -1;
}

// Role, state and name of the object itself or of one of its simple children.
std::string Basics(IAccessible& object, long child) {
    char numbers[48];
    const long role =
        NumberOf([&](VARIANT* value) { return object.get_accRole(Child(child), value); });
    const long state =
        NumberOf([&](VARIANT* value) { return object.get_accState(Child(child), value); });
    std::snprintf(numbers, sizeof numbers, "%ld\t%lx\t", role, static_cast<unsigned long>(state));
    return numbers + TextOf([&](BSTR* text) { object.get_accName(Child(child), text); });
}

void PrintItems(IAccessible& object) {
    long count = 0;
    object.get_accChildCount(&count);
    for (long item = 1; item <= count; ++item) {
        IDispatch* itself = nullptr;
        if (object.get_accChild(Child(item), &itself) != S_FALSE) {
            if (itself)
                itself->Release();
            continue;
        }
        long left = 0, top = 0, width = 0, height = 0;
        object.accLocation(&left, &top, &width, &height, Child(item));
        std::printf("item\t%ld\t%s\t%ld,%ld,%ld,%ld\n", item, Basics(object, item).c_str(), left,
                    top, width, height);
    }
}

UniqueAccessible ObjectOf(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return {};
    return UniqueAccessible(object);
}

void PrintControl(HWND control) {
    const UniqueAccessible object = ObjectOf(control);
    if (!object) {
        std::printf("control\t%d\tunreadable\n", GetDlgCtrlID(control));
        return;
    }
    IAccessible& read = *object.get();
    const VARIANT self = Child(CHILDID_SELF);
    std::printf("control\t%d\t%s\t%s\t%s\t%s\n", GetDlgCtrlID(control),
                Basics(read, CHILDID_SELF).c_str(),
                TextOf([&](BSTR* text) { read.get_accDescription(self, text); }).c_str(),
                TextOf([&](BSTR* text) { read.get_accKeyboardShortcut(self, text); }).c_str(),
                TextOf([&](BSTR* text) { read.get_accDefaultAction(self, text); }).c_str());
    PrintItems(read);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: accessible_reader WINDOW [ID...]\n", stderr);
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    const auto window = reinterpret_cast<HWND>(std::strtoull(argv[1], nullptr, 10));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        PrintControl(child);
    for (int at = 2; at < argc; ++at) {
        const int id = std::atoi(argv[at]);
        const UniqueAccessible object = ObjectOf(GetDlgItem(window, id));
        const HRESULT result =
            object ? object.get()->accDoDefaultAction(Child(CHILDID_SELF)) : E_FAIL;
        std::printf("press\t%d\t%lx\n", id, static_cast<unsigned long>(result));
    }
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
