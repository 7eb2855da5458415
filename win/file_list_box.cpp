#include "win/file_list_box.h"

#include "core/path.h"
#include "core/text.h"
#include "win/busy.h"
#include "win/list_entries.h"
#include "win/owner_draw.h"

#include <utility>
#include <vector>

namespace reelbond {
namespace {

constexpr int WaitPointerPosition = 100;
constexpr int TextIndent = 2;

std::vector<std::string> SplitMask(const std::string& mask) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    for (std::size_t end; (end = mask.find(';', start)) != std::string::npos; start = end + 1)
        patterns.push_back(mask.substr(start, end - start));
    patterns.push_back(mask.substr(start));
    return patterns;
}

} // namespace

TFileListBox::TFileListBox() : OwnerDrawnListBox({}), directory_(CurrentDirectory()) {}

TFileListBox::~TFileListBox() {
    if (filter_)
        filter_->ForgetLinkedWidget();
    if (dirList_)
        dirList_->ForgetLinkedWidget();
}

void TFileListBox::SetDrive(char drive) {
    if (drive != '\0' && UpperCaseDrive(drive) != UpperCaseDrive(Drive()))
        ApplyPath(std::string{drive, ':'});
}

std::string TFileListBox::FileName() const {
    const int focused = FocusedIndex();
    if (focused < 0 || focused >= EntryCount() || !IsSelected(focused))
        return {};
    return JoinPath(directory_, EntryText(focused));
}

void TFileListBox::SetFileName(const std::string& text) {
    if (!text.empty() && !SamePath(text, FileName()))
        ApplyPath(text);
}

// A rescan that fails leaves the setting as it was, so that the list still shows it.
template <typename Setting>
void TFileListBox::StoreAndRescan(Setting& setting, const Setting& value) {
    if (setting == value)
        return;
    Setting previous = std::exchange(setting, value);
    try {
        Rescan();
    } catch (...) {
        setting = std::move(previous);
        throw;
    }
}

void TFileListBox::SetMask(const std::string& mask) {
    StoreAndRescan(mask_, mask);
}

bool TFileListBox::IsSelected(int index) const {
    return SendToClassProcedure(Hwnd(), LB_GETSEL, index, 0) > 0;
}

std::vector<std::string> TFileListBox::SelectedNames() const {
    std::vector<std::string> names;
    for (int index = 0, count = EntryCount(); index < count; ++index)
        if (IsSelected(index))
            names.push_back(EntryText(index));
    return names;
}

int TFileListBox::FocusedIndex() const {
    return Hwnd() ? static_cast<int>(SendMessageW(Hwnd(), LB_GETCARETINDEX, 0, 0)) : -1;
}

std::optional<LRESULT> TFileListBox::HandleNotification(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND)
        return std::nullopt;
    switch (HIWORD(wParam)) {
    case LBN_SELCHANGE:
        // Moving the selection notifies only when the caret moved to another entry.
        if (FocusedIndex() != lastNotifiedFocus_)
            Change();
        return 0;
    case LBN_DBLCLK:
        if (OnDblClick)
            OnDblClick();
        return 0;
    default:
        return std::nullopt;
    }
}

DWORD TFileListBox::Style() const {
    return WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED |
           LBS_NOINTEGRALHEIGHT | (multiSelect_ ? LBS_EXTENDEDSEL : 0);
}

void TFileListBox::OnCreated() {
    OwnerDrawnListBox::OnCreated();
    Rescan();
}

void TFileListBox::ApplyPath(const std::string& text) {
    const PathParts parts = SplitPath(text, directory_);
    if (dirList_)
        dirList_->SetDirectory(text);
    else
        MoveToDirectory(parts.drive ? std::string{parts.drive, ':'} + parts.directory
                                    : parts.directory);
    if (HasWildcard(parts.last))
        SetMask(parts.last);
    else if (!parts.last.empty())
        FocusFile(parts.last);
}

void TFileListBox::MoveToDirectory(const std::string& path) {
    if (SamePath(path, directory_))
        return;
    CheckDirectoryExists(path);
    directory_ = path;
    RememberDirectoryOfDrive(directory_);
    Rescan();
}

// Selects the entry of an existing file, widening the mask to it when the mask hides it.
void TFileListBox::FocusFile(const std::string& name) {
    const std::wstring wide = Widened(name);
    const auto find = [&] {
        return static_cast<int>(
            SendMessageW(Hwnd(), LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(wide.c_str())));
    };
    int index = find();
    if (index < 0) {
        SetMask(name);
        index = find();
    }
    if (index < 0)
        return;
    if (multiSelect_) {
        SendMessageW(Hwnd(), LB_SETSEL, FALSE, -1);
        SendMessageW(Hwnd(), LB_SETSEL, TRUE, index);
        SendMessageW(Hwnd(), LB_SETANCHORINDEX, index, 0);
        SendMessageW(Hwnd(), LB_SETCARETINDEX, index, FALSE);
    } else {
        SendMessageW(Hwnd(), LB_SETCURSEL, index, 0);
    }
    Change();
}

void TFileListBox::Rescan() {
    if (!Hwnd())
        return;
    // Files only: no directory, nor what the system hides.
    constexpr DWORD passedOver =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    // A vanished directory fails here, before the entries are touched.
    CheckDirectoryExists(directory_);
    {
        const auto suspended = RedrawSuspended(Hwnd());
        SendMessageW(Hwnd(), LB_RESETCONTENT, 0, 0);
        WaitPointerOnDemand wait;
        for (const std::string& pattern : SplitMask(mask_)) {
            if (pattern.empty())
                continue;
            ForEachFound(JoinPath(directory_, pattern), [&](const FoundEntry& found) {
                if (found.attributes & passedOver)
                    return;
                if (InsertEntry(found.name) == WaitPointerPosition)
                    wait.Show();
            });
        }
    }
    Change();
}

int TFileListBox::InsertEntry(const std::string& name) {
    return AddEntry(Hwnd(), ListBoxEntries, name);
}

void TFileListBox::Change() {
    lastNotifiedFocus_ = FocusedIndex();
    if (OnChange)
        OnChange();
}

void TFileListBox::DrawItem(const DRAWITEMSTRUCT& item) const {
    DrawEntry(item, nullptr, 0, TextIndent, EntryText(static_cast<int>(item.itemID)), DT_TOP);
}

} // namespace reelbond
