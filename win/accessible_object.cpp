#include "win/accessible_object.h"

#include "core/text.h"
#include "win/com.h"

#include <oleacc.h>
#include <utility>

namespace reelbond {
namespace {

using UniqueAccessible = Unique<IAccessible*, ComReleaser>;

HRESULT TextResult(const std::string& text, BSTR* out) {
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    const std::wstring wide = Widened(text);
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT NumberResult(long number, VARIANT* out) {
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

// The messages a click of the mouse at the control's centre brings, posted: the click runs
// as a click would, after the screen reader's call has returned.
HRESULT PostClick(HWND control) {
    const RECT client = ClientRect(control);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    if (!PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre) ||
        !PostMessageW(control, WM_LBUTTONUP, 0, centre))
        return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;
}

// The item that a step in a direction reaches from an item, or from the list itself (0),
// among count items; 0 where it reaches none.
int ItemReached(int from, long direction, int count) {
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
        return from == 0 && count > 0 ? 1 : 0;
    case NAVDIR_LASTCHILD:
        return from == 0 ? count : 0;
    case NAVDIR_NEXT:
    case NAVDIR_DOWN:
        return from > 0 && from < count ? from + 1 : 0;
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP:
        return from > 1 ? from - 1 : 0;
    default:
        return 0;
    }
}

bool IsIntoChildren(long direction) {
    return direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
}

enum class Text { Name, Description, Shortcut, DefaultAction, Other };

// A control's client area as a screen reader reads it: the system's standard object, with
// what the control says of itself in its place. It looks the control up at every call,
// since a screen reader may hold it after the control is gone.
class AccessibleObject final : public ComObject<IAccessible>, public IOleWindow {
public:
    AccessibleObject(HWND hwnd, UniqueAccessible standard)
        : hwnd_(hwnd), standard_(std::move(standard)) {}

    // Both interfaces count the same references.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        return ComObject::QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // No late binding: it would reach the standard object's own methods, past these.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Standard()->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return Answered([&] {
            const AccessibleParts* list = List();
            if (!list || !count)
                return Standard()->get_accChildCount(count);
            *count = list->ItemCount();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Answered([&] {
            if (!ItemOf(child) || !object)
                return Standard()->get_accChild(child, object);
            // An item is a simple element of this object, not an object of its own.
            *object = nullptr;
            return S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return TextOf(child, Text::Name, name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return TextOf(child, Text::Other, value, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return TextOf(child, Text::Description, description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Answered([&] {
            const AccessibleParts* parts = Parts();
            if (!role || (!ItemOf(child) && !(parts && IsSelf(child))))
                return Standard()->get_accRole(child, role);
            return NumberResult(ItemOf(child) ? ROLE_SYSTEM_LISTITEM : parts->AccessibleRole(),
                                role);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Answered([&] {
            const int item = ItemOf(child);
            return item && state ? NumberResult(ItemState(item), state)
                                 : Standard()->get_accState(child, state);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return TextOf(child, Text::Other, help, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return Standard()->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return TextOf(child, Text::Shortcut, shortcut, &IAccessible::get_accKeyboardShortcut);
    }
    // The list itself has the focus while it has no items.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Answered([&] {
            if (!List() || !focus)
                return Standard()->get_accFocus(focus);
            VariantInit(focus);
            return GetFocus() == hwnd_ ? NumberResult(List()->CurrentItem(), focus) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Answered([&] {
            if (!List() || !selection)
                return Standard()->get_accSelection(selection);
            VariantInit(selection);
            const int current = List()->CurrentItem();
            return current ? NumberResult(current, selection) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return TextOf(child, Text::DefaultAction, action, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return Standard()->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return Answered([&] {
            const int item = ItemOf(child);
            if (!item || !left || !top || !width || !height)
                return Standard()->accLocation(left, top, width, height, child);
            const RECT place = List()->ItemPlace(item);
            *left = place.left;
            *top = place.top;
            *width = place.right - place.left;
            *height = place.bottom - place.top;
            return S_OK;
        });
    }
    // Between the items of a list, and into them from the list; the standard object knows
    // the way between windows.
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return Answered([&] {
            const int from = ItemOf(start);
            if (!List() || !end || !(from || (IsSelf(start) && IsIntoChildren(direction))))
                return Standard()->accNavigate(direction, start, end);
            VariantInit(end);
            const int reached = ItemReached(from, direction, List()->ItemCount());
            return reached ? NumberResult(reached, end) : S_FALSE;
        });
    }
    // The item under the point; elsewhere the standard object tells the list itself or
    // nothing.
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return Answered([&] {
            const int item = List() && child ? List()->ItemAt(POINT{left, top}) : 0;
            return item ? NumberResult(item, child) : Standard()->accHitTest(left, top, child);
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Answered([&] {
            if (!IsSelf(child) || !IsPushButton())
                return Standard()->accDoDefaultAction(child);
            // A disabled button takes no click, nor does one under a box that has disabled
            // its window.
            const bool clickable =
                IsWindowEnabled(hwnd_) && IsWindowEnabled(GetAncestor(hwnd_, GA_ROOT));
            return clickable ? PostClick(hwnd_) : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return Standard()->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return Standard()->put_accValue(child, value);
    }

private:
    ~AccessibleObject() override = default;
    void* InterfaceFor(REFIID id) override {
        if (id == IID_IDispatch)
            return static_cast<IAccessible*>(this);
        if (id == IID_IOleWindow)
            return static_cast<IOleWindow*>(this);
        return ComObject::InterfaceFor(id);
    }

    IAccessible* Standard() const noexcept { return standard_.get(); }
    // The control while its window stands, and its parts where it has any.
    const Control* Owner() const noexcept { return Control::FromHandle(hwnd_); }
    const AccessibleParts* Parts() const noexcept {
        return dynamic_cast<const AccessibleParts*>(Owner());
    }
    // The parts when they are of the role; null otherwise.
    const AccessibleParts* PartsIn(long role) const {
        const AccessibleParts* parts = Parts();
        return parts && parts->AccessibleRole() == role ? parts : nullptr;
    }
    const AccessibleParts* List() const { return PartsIn(ROLE_SYSTEM_LIST); }
    bool IsPushButton() const { return PartsIn(ROLE_SYSTEM_PUSHBUTTON) != nullptr; }
    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    // The list item a child id names; 0 for none.
    int ItemOf(const VARIANT& child) const {
        const AccessibleParts* list = List();
        const bool item =
            list && child.vt == VT_I4 && child.lVal >= 1 && child.lVal <= list->ItemCount();
        return item ? static_cast<int>(child.lVal) : 0;
    }
    long ItemState(int item) const;
    // What the control says itself of a text; nullopt leaves it to the standard object.
    std::optional<std::string> OwnText(const VARIANT& child, Text text) const;
    // The text the control says of itself, else the standard object's.
    template <typename StandardText>
    HRESULT TextOf(const VARIANT& child, Text text, BSTR* out, StandardText standardText) {
        if (!out)
            return E_POINTER;
        return Answered([&] {
            const std::optional<std::string> own = OwnText(child, text);
            return own ? TextResult(*own, out) : (Standard()->*standardText)(child, out);
        });
    }

    HWND hwnd_;
    UniqueAccessible standard_;
};

long AccessibleObject::ItemState(int item) const {
    const AccessibleParts& list = *List();
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (item == list.CurrentItem()) {
        state |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == hwnd_)
            state |= STATE_SYSTEM_FOCUSED;
    }
    RECT client = ClientRect(hwnd_);
    MapWindowPoints(hwnd_, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const RECT place = list.ItemPlace(item);
    RECT shown;
    if (!IntersectRect(&shown, &place, &client))
        state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

std::optional<std::string> AccessibleObject::OwnText(const VARIANT& child, Text text) const {
    if (const int item = ItemOf(child))
        return text == Text::Name ? List()->ItemName(item) : std::string();
    const Control* control = Owner();
    const AccessibleParts* parts = Parts();
    if (!control || !IsSelf(child))
        return std::nullopt;
    const std::string own = text == Text::Name            ? control->AccessibleName
                            : text == Text::Description   ? control->AccessibleDescription
                            : text == Text::Shortcut      ? (parts ? parts->KeyboardShortcut() : "")
                            : text == Text::DefaultAction ? (IsPushButton() ? "Press" : "")
                                                          : "";
    return own.empty() ? std::nullopt : std::optional(own);
}

} // namespace

std::optional<LRESULT> AnswerGetObject(const Control& control, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT)
        return std::nullopt;
    if (control.AccessibleName.empty() && control.AccessibleDescription.empty() &&
        !dynamic_cast<const AccessibleParts*>(&control))
        return std::nullopt;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(control.Hwnd(), OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&standard))))
        return std::nullopt;
    UniqueAccessible object(new AccessibleObject(control.Hwnd(), UniqueAccessible(standard)));
    // The system holds its own reference while a screen reader uses the object.
    return LresultFromObject(IID_IAccessible, wParam, object.get());
}

} // namespace reelbond
