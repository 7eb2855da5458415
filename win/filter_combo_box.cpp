#include "win/filter_combo_box.h"

#include "core/text.h"
#include "win/list_entries.h"
#include "win/owner_draw.h"

namespace reelbond {

TFilterComboBox::~TFilterComboBox() {
    SetFileList(nullptr);
}

void TFilterComboBox::SetFilter(const std::string& filter) {
    if (EqualIgnoringCase(filter, filter_))
        return;
    filter_ = filter;
    if (Hwnd())
        ParseFilter();
    Change();
}

void TFilterComboBox::FitToHeight(int height) {
    FitComboBoxField(Hwnd(), height);
}

std::string TFilterComboBox::MaskSelectingLastIfNone() {
    if (!Hwnd() || patterns_.empty())
        return "*.*";
    if (SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0) < 0)
        SendMessageW(Hwnd(), CB_SETCURSEL, patterns_.size() - 1, 0);
    return patterns_.at(SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0));
}

void TFilterComboBox::SetFileList(TFileListBox* fileList) {
    LinkBothWays(fileList_, fileList, &TFileListBox::SetFilterLink, this);
}

std::optional<LRESULT> TFilterComboBox::HandleNotification(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE)
        return std::nullopt;
    Change();
    return 0;
}

// Pairs of description and patterns; a description without a bar after it is dropped.
void TFilterComboBox::ParseFilter() {
    SendMessageW(Hwnd(), CB_RESETCONTENT, 0, 0);
    patterns_.clear();
    std::string rest = filter_;
    for (std::size_t bar; (bar = rest.find('|')) != std::string::npos;) {
        const std::string description = rest.substr(0, bar);
        rest.erase(0, bar + 1);
        const std::size_t nextBar = rest.find('|');
        AddEntry(Hwnd(), ComboBoxEntries, description);
        patterns_.push_back(rest.substr(0, nextBar));
        rest.erase(0, nextBar == std::string::npos ? rest.size() : nextBar + 1);
    }
    SendMessageW(Hwnd(), CB_SETCURSEL, 0, 0);
}

void TFilterComboBox::Change() {
    if (fileList_)
        fileList_->SetMask(MaskSelectingLastIfNone());
    if (OnChange)
        OnChange();
}

} // namespace reelbond
