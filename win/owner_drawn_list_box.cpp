#include "win/owner_drawn_list_box.h"

#include "win/list_entries.h"
#include "win/owner_draw.h"

#include <algorithm>

namespace reelbond {

int OwnerDrawnListBox::ItemHeight() const {
    return static_cast<int>(SendMessageW(Hwnd(), LB_GETITEMHEIGHT, 0, 0));
}

void OwnerDrawnListBox::SetItemHeight(int height) {
    explicitItemHeight_ = height;
    SendMessageW(Hwnd(), LB_SETITEMHEIGHT, 0, height);
}

int OwnerDrawnListBox::EntryCount() const {
    return Hwnd() ? static_cast<int>(SendMessageW(Hwnd(), LB_GETCOUNT, 0, 0)) : 0;
}

std::string OwnerDrawnListBox::EntryText(int index) const {
    return reelbond::EntryText(Hwnd(), ListBoxEntries, index);
}

void OwnerDrawnListBox::OnCreated() {
    OnDpiChanged();
    // WM_MEASUREITEM came before this wrapper was attached.
    if (explicitItemHeight_)
        SetItemHeight(explicitItemHeight_);
    else
        ResetItemHeight();
}

LRESULT OwnerDrawnListBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default(message, wParam, lParam);
    if (message == WM_SETFONT && !explicitItemHeight_)
        ResetItemHeight();
    return result;
}

int OwnerDrawnListBox::MinimumItemHeight() const {
    return glyphs_.TallestHeight() ? glyphs_.TallestHeight() + Scaled(1) : 0;
}

void OwnerDrawnListBox::ResetItemHeight() {
    SendMessageW(Hwnd(), LB_SETITEMHEIGHT, 0,
                 std::max(FontCharacterHeight(Hwnd()), MinimumItemHeight()));
}

} // namespace reelbond
