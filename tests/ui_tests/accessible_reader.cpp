// Reads a window's controls from another process as a screen reader does, for the window
// tests: "accessible_reader [--after EVENT] WINDOW [ID...]" prints a line for every child
// control of WINDOW (a handle in decimal), or for WINDOW itself where it has none: id, role,
// state (hexadecimal), name, description, shortcut and default action, separated by tabs.
// For a control with simple children, a line "id.0" with the children reached from it first
// and last and what lies at its top left corner; then a line "id.item" for each with role,
// state, name, "left,top,width,height", what lies at its centre and the children reached
// from it next, previous, down and up (a child by its number, 0 the control itself, "-"
// none). Then it presses the control of each ID by its default action and prints "press ID"
// and the result (hexadecimal); last "slowest" and the longest a reading call waited for its
// answer, in milliseconds. Texts are UTF-8; one the control does not have is empty. Given
// EVENT, it sets the event "EVENT ready" once started and reads once EVENT is set.
#include "core/unique.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <oleacc.h>
#include <string>

namespace {

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueAccessible = reelbond::Unique<IAccessible*, ComReleaser>;

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

ULONGLONG slowest = 0;

// The calls that read go through here, timed.
template <typename Call> HRESULT Timed(Call call) {
    const ULONGLONG start = GetTickCount64();
    const HRESULT result = call();
    slowest = std::max(slowest, GetTickCount64() - start);
    return result;
}

// What getter answers into a text (a BSTR) or a number (a VARIANT), as a line's field.
template <typename Getter> std::string Text(Getter getter) {
    BSTR text = nullptr;
    Timed([&] { return getter(&text); });
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
    if (SUCCEEDED(Timed([&] { return getter(&value); })) && value.vt == VT_I4)
        std::snprintf(text, sizeof text, "\t%lx", static_cast<unsigned long>(value.lVal));
    return text;
}

// Role, state and name of the object itself or of one of its simple children.
std::string Basics(IAccessible& object, long child) {
    return Number([&](VARIANT* role) { return object.get_accRole(Child(child), role); }) +
           Number([&](VARIANT* state) { return object.get_accState(Child(child), state); }) +
           Text([&](BSTR* name) { return object.get_accName(Child(child), name); });
}

// A child found by navigation or hit test, as a field.
template <typename Finder> std::string Found(Finder finder) {
    VARIANT found;
    VariantInit(&found);
    const HRESULT result = Timed([&] { return finder(&found); });
    char text[16] = "\t-";
    if (result == S_OK && found.vt == VT_I4)
        std::snprintf(text, sizeof text, "\t%ld", found.lVal);
    VariantClear(&found);
    return text;
}

std::string Reached(IAccessible& object, long from, long direction) {
    return Found([&](VARIANT* end) { return object.accNavigate(direction, Child(from), end); });
}

std::string HitAt(IAccessible& object, long x, long y) {
    return Found([&](VARIANT* child) { return object.accHitTest(x, y, child); });
}

UniqueAccessible ObjectOf(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(Timed([&] {
            return AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                              IID_IAccessible, reinterpret_cast<void**>(&object));
        })))
        return {};
    return UniqueAccessible(object);
}

// The line "id.0" of a control with simple children.
void PrintWaysIn(int id, IAccessible& read) {
    long left = 0, top = 0, width = 0, height = 0;
    read.accLocation(&left, &top, &width, &height, Child(CHILDID_SELF));
    std::printf("%d.0%s%s%s\n", id, Reached(read, CHILDID_SELF, NAVDIR_FIRSTCHILD).c_str(),
                Reached(read, CHILDID_SELF, NAVDIR_LASTCHILD).c_str(),
                HitAt(read, left + 1, top + 1).c_str());
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
    if (count > 0)
        PrintWaysIn(id, read);
    for (long item = 1; item <= count; ++item) {
        IDispatch* itself = nullptr;
        if (read.get_accChild(Child(item), &itself) != S_FALSE) {
            if (itself)
                itself->Release();
            continue;
        }
        long left = 0, top = 0, width = 0, height = 0;
        read.accLocation(&left, &top, &width, &height, Child(item));
        std::printf(
            "%d.%ld%s\t%ld,%ld,%ld,%ld%s%s%s%s%s\n", id, item, Basics(read, item).c_str(), left,
            top, width, height, HitAt(read, left + width / 2, top + height / 2).c_str(),
            Reached(read, item, NAVDIR_NEXT).c_str(), Reached(read, item, NAVDIR_PREVIOUS).c_str(),
            Reached(read, item, NAVDIR_DOWN).c_str(), Reached(read, item, NAVDIR_UP).c_str());
    }
}

// Tells that the reader is ready, then waits to be let go; false where the events are missing.
bool ReadyAndLetGo(const std::string& name) {
    using UniqueHandle = reelbond::Unique<HANDLE, HandleCloser>;
    const UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + " ready").c_str()));
    const UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    return ready && go && SetEvent(ready.get()) &&
           WaitForSingleObject(go.get(), INFINITE) == WAIT_OBJECT_0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    int first = 1;
    if (argc > 3 && std::string(argv[1]) == "--after") {
        if (!ReadyAndLetGo(argv[2]))
            return 2;
        first = 3;
    }
    const auto window = reinterpret_cast<HWND>(std::strtoull(argv[first], nullptr, 10));
    if (!GetWindow(window, GW_CHILD))
        PrintControl(window);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        PrintControl(child);
    for (int at = first + 1; at < argc; ++at) {
        const UniqueAccessible object = ObjectOf(GetDlgItem(window, std::atoi(argv[at])));
        const HRESULT result =
            object ? object.get()->accDoDefaultAction(Child(CHILDID_SELF)) : E_FAIL;
        std::printf("press %s\t%lx\n", argv[at], static_cast<unsigned long>(result));
    }
    std::printf("slowest\t%llu\n", static_cast<unsigned long long>(slowest));
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
