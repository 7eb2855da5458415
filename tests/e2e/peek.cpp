// Reads the state of another program's windows from outside, for the end-to-end tests:
//   peek windows         every visible top-level window with its children, as JSON
//   peek version FILE    the version resource and icon groups of a program file, as JSON
//   peek hung CLASS      for each visible top-level window of that class, whether Windows
//                        takes it for hung ("Not Responding"), as JSON; sends it no message
// It only reads; the tests drive the program with real mouse and key input.
#include "core/unique.h"

#include <windows.h>

#include <algorithm>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Field(const char* name, const std::string& json) {
    return Quoted(name) + ":" + json;
}

std::string Number(long long value) {
    return std::to_string(value);
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

// Built by appending: gcc 12 warns falsely (-Wrestrict) about "[" + a temporary string.
std::string Wrapped(char open, const std::vector<std::string>& items, char close) {
    std::string out(1, open);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ',';
        out += items[i];
    }
    out += close;
    return out;
}

std::string Array(const std::vector<std::string>& items) {
    return Wrapped('[', items, ']');
}

std::string Object(const std::vector<std::string>& fields) {
    return Wrapped('{', fields, '}');
}

std::string RectJson(const RECT& rect) {
    return Array({Number(rect.left), Number(rect.top), Number(rect.right - rect.left),
                  Number(rect.bottom - rect.top)});
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// The system carries these two across processes. The wide forms, because Wine hands the
// narrow LB_GETTEXT back in UTF-16 from a control of another process.
std::string TextOf(HWND window) {
    // A rich edit of another process under Wine answers nothing into a buffer of just the
    // length it reports: give room to spare.
    std::wstring text(
        2 * static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 2, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return Utf8(text);
}

// The list may change between the two messages while the program fills it: an entry that
// went away reads as empty, and the buffer has room for any file name, not just for the
// length first reported, so an entry that grew in between cannot overflow it.
std::string EntryText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return "";
    std::wstring text(std::max<std::size_t>(static_cast<std::size_t>(length), MAX_PATH) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return Utf8(text);
}

struct ProcessCloser {
    void operator()(HANDLE process) const noexcept { CloseHandle(process); }
};
using UniqueProcess = reelbond::Unique<HANDLE, ProcessCloser>;

// A buffer inside the window's own process, for the messages whose pointers the system
// does not carry across processes (the status bar's).
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                   processId));
        if (process_)
            address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_)
            VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool valid() const { return address_ != nullptr; }
    LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
    std::string Read() const {
        std::string bytes(size_, '\0');
        SIZE_T read = 0;
        ReadProcessMemory(process_.get(), address_, bytes.data(), size_, &read);
        bytes.resize(read);
        return bytes;
    }

private:
    std::size_t size_;
    UniqueProcess process_;
    void* address_ = nullptr;
};

std::string StatusPanels(HWND bar) {
    const auto count = SendMessageA(bar, SB_GETPARTS, 0, 0);
    std::vector<std::string> panels;
    RemoteBuffer buffer(bar, 1024);
    for (int panel = 0; buffer.valid() && panel < count; ++panel) {
        const auto length = LOWORD(SendMessageA(bar, SB_GETTEXTA, panel, buffer.address()));
        panels.push_back(Quoted(buffer.Read().substr(0, length)));
    }
    return Field("panels", Array(panels));
}

std::string ListEntries(HWND list) {
    const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        entries.push_back(Object({Field("text", Quoted(EntryText(list, i))),
                                  Field("selected", Bool(SendMessageA(list, LB_GETSEL, i, 0) > 0)),
                                  Field("rect", RectJson(item))}));
    }
    return Field("entries", Array(entries));
}

// What a child control shows beyond its text, by its class.
std::vector<std::string> ExtrasOf(HWND child, const std::string& className) {
    if (className == STATUSCLASSNAMEA)
        return {StatusPanels(child)};
    if (className == "ListBox")
        return {ListEntries(child),
                Field("caret", Number(SendMessageA(child, LB_GETCARETINDEX, 0, 0)))};
    if (className == PROGRESS_CLASSA)
        return {Field("position", Number(SendMessageA(child, PBM_GETPOS, 0, 0)))};
    if (className == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        return {Field("icon", Bool(SendMessageA(child, STM_GETICON, 0, 0) != 0))};
    return {};
}

struct Top {
    HWND window;
    HWND focus;
    std::vector<std::string> children;
};

BOOL CALLBACK AddChild(HWND child, LPARAM context) {
    auto& top = *reinterpret_cast<Top*>(context);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, top.window, reinterpret_cast<POINT*>(&rect), 2);
    POINT clientOrigin{0, 0};
    MapWindowPoints(child, top.window, &clientOrigin, 1);
    const std::string className = ClassOf(child);
    std::vector<std::string> fields{
        Field("class", Quoted(className)),
        Field("id", Number(GetDlgCtrlID(child))),
        Field("text", Quoted(TextOf(child))),
        Field("style", Number(GetWindowLongA(child, GWL_STYLE))),
        Field("enabled", Bool(IsWindowEnabled(child))),
        Field("visible", Bool(IsWindowVisible(child))),
        Field("focused", Bool(child == top.focus)),
        Field("rect", RectJson(rect)),
        Field("client_origin", Array({Number(clientOrigin.x), Number(clientOrigin.y)})),
    };
    for (std::string& extra : ExtrasOf(child, className))
        fields.push_back(std::move(extra));
    top.children.push_back(Object(fields));
    return TRUE;
}

// Room for the longest path there is: a program deep in folders must not be cut short, or
// its windows would not be known as its own.
std::string ProgramOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const UniqueProcess process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path.data(), &length))
        length = 0;
    path.resize(length);
    return Utf8(path);
}

BOOL CALLBACK AddTopLevel(HWND window, LPARAM context) {
    if (!IsWindowVisible(window))
        return TRUE;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    Top top{window, thread.hwndFocus, {}};
    EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&top));
    RECT frame;
    GetWindowRect(window, &frame);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT client;
    GetClientRect(window, &client);
    OffsetRect(&client, origin.x, origin.y);
    reinterpret_cast<std::vector<std::string>*>(context)->push_back(Object({
        Field("class", Quoted(ClassOf(window))),
        Field("text", Quoted(TextOf(window))),
        Field("program", Quoted(ProgramOf(window))),
        Field("enabled", Bool(IsWindowEnabled(window))),
        Field("active", Bool(window == thread.hwndActive)),
        Field("frame", RectJson(frame)),
        Field("client", RectJson(client)),
        Field("children", Array(top.children)),
    }));
    return TRUE;
}

std::string Windows() {
    std::vector<std::string> windows;
    EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&windows));
    return Array(windows);
}

BOOL CALLBACK AddIconGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    // A group named by number reads "#<number>", as in a resource script.
    std::string text = "#";
    if (IS_INTRESOURCE(name))
        text += std::to_string(reinterpret_cast<ULONG_PTR>(name));
    else
        text = name;
    reinterpret_cast<std::vector<std::string>*>(context)->push_back(Quoted(text));
    return TRUE;
}

// A string of the version resource's US English block; empty when there is none.
std::string VersionString(const std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (info.empty() ||
        !VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        !length)
        return "";
    return std::string(value, length - 1);
}

std::string Version(const char* file) {
    std::vector<char> info(GetFileVersionInfoSizeA(file, nullptr));
    if (!info.empty() &&
        !GetFileVersionInfoA(file, 0, static_cast<DWORD>(info.size()), info.data()))
        info.clear();
    std::vector<std::string> icons;
    if (const HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        EnumResourceNamesA(module, RT_GROUP_ICON, AddIconGroup, reinterpret_cast<LONG_PTR>(&icons));
        FreeLibrary(module);
    }
    return Object({
        Field("file_version", Quoted(VersionString(info, "FileVersion"))),
        Field("product_version", Quoted(VersionString(info, "ProductVersion"))),
        Field("product_name", Quoted(VersionString(info, "ProductName"))),
        Field("icon_groups", Array(icons)),
    });
}

BOOL CALLBACK AddHungState(HWND window, LPARAM context) {
    auto& found = *reinterpret_cast<std::pair<std::string, std::vector<std::string>>*>(context);
    if (IsWindowVisible(window) && ClassOf(window) == found.first)
        found.second.push_back(Bool(IsHungAppWindow(window)));
    return TRUE;
}

std::string HungStates(const char* className) {
    std::pair<std::string, std::vector<std::string>> found{className, {}};
    EnumWindows(AddHungState, reinterpret_cast<LPARAM>(&found));
    return Array(found.second);
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "windows" && argc == 2) {
        std::puts(Windows().c_str());
        return 0;
    }
    if (command == "version" && argc == 3) {
        std::puts(Version(argv[2]).c_str());
        return 0;
    }
    if (command == "hung" && argc == 3) {
        std::puts(HungStates(argv[2]).c_str());
        return 0;
    }
    std::fputs("usage: peek windows | peek version FILE | peek hung CLASS\n", stderr);
    return 2;
}
