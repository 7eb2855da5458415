#include "win/drive_combo_box.h"

#include "core/path.h"
#include "core/text.h"
#include "win/list_entries.h"
#include "win/owner_draw.h"

#include <algorithm>
#include <cctype>
#include <winnetwk.h>

namespace reelbond {
namespace {

constexpr int LabelBufferSize = 261;
constexpr int GlyphIndent = 2;
// Where the text starts in an entry without a glyph: after a glyph's usual width.
constexpr int TextLeftWithoutGlyph = 16 + 6;
constexpr int DropDownEntries = 8;

char LetterInCase(char letter, TTextCase textCase) {
    const auto c = static_cast<unsigned char>(letter);
    return static_cast<char>(textCase == tcUpperCase ? std::toupper(c) : std::tolower(c));
}

std::string InCaseOf(char letter, const std::string& text) {
    return std::isupper(static_cast<unsigned char>(letter)) ? UpperCaseFileName(text)
                                                            : LowerCaseFileName(text);
}

// Empty when the volume has no label or cannot be read.
std::string VolumeLabel(const std::string& root) {
    wchar_t label[LabelBufferSize] = L"";
    if (!GetVolumeInformationW(Widened(root).c_str(), label, LabelBufferSize, nullptr, nullptr,
                               nullptr, nullptr, 0))
        return {};
    return Narrowed(label);
}

std::string BracketedLabel(char letter, const std::string& root) {
    // Appended piece by piece: "[" + label gives gcc 12 a false -Wrestrict warning.
    std::string text(1, '[');
    text += InCaseOf(letter, VolumeLabel(root));
    text += ']';
    return text;
}

// The remote name of a mapped network drive, such as \\SERVER\SHARE, also of one remembered
// but not connected now, whose volume is then never asked for its label: that would wait on a
// server that may not answer. Nullopt for other drives.
std::optional<std::string> RemoteName(char letter) {
    const std::wstring local = {static_cast<wchar_t>(UpperCaseDrive(letter)), L':'};
    wchar_t remote[LabelBufferSize] = L"";
    DWORD size = LabelBufferSize;
    const DWORD result = WNetGetConnectionW(local.c_str(), remote, &size);
    if (result != NO_ERROR && result != ERROR_CONNECTION_UNAVAIL)
        return std::nullopt;
    return InCaseOf(letter, Narrowed(remote));
}

} // namespace

TDriveComboBox::TDriveComboBox(const GlyphNames& glyphs)
    : glyphs_{glyphs.removable, glyphs.fixed, glyphs.remote, glyphs.cdRom, glyphs.ramDisk} {
    const std::string current = CurrentDirectory();
    drive_ = current[0] == '\\' ? '\0' : current[0];
}

TDriveComboBox::~TDriveComboBox() {
    SetDirList(nullptr);
}

void TDriveComboBox::SetDrive(char drive) {
    if (SelectedIndex() >= 0 && UpperCaseDrive(drive) == UpperCaseDrive(drive_))
        return;
    drive_ = LetterInCase(drive, textCase_);
    SelectEntryOf(drive_);
    if (dirList_)
        dirList_->DriveChange(drive_);
    if (OnChange)
        OnChange();
}

void TDriveComboBox::SetTextCase(TTextCase textCase) {
    textCase_ = textCase;
    RebuildEntries();
}

void TDriveComboBox::SetDirList(TDirectoryListBox* dirList) {
    LinkBothWays(dirList_, dirList, &TDirectoryListBox::SetDriveSelectorLink, this);
}

int TDriveComboBox::EntryCount() const {
    return Hwnd() ? static_cast<int>(SendMessageW(Hwnd(), CB_GETCOUNT, 0, 0)) : 0;
}

std::string TDriveComboBox::EntryText(int index) const {
    return reelbond::EntryText(Hwnd(), ComboBoxEntries, index);
}

int TDriveComboBox::SelectedIndex() const {
    return Hwnd() ? static_cast<int>(SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0)) : -1;
}

std::optional<LRESULT> TDriveComboBox::HandleNotification(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE)
        return std::nullopt;
    const int picked = SelectedIndex();
    if (picked >= 0)
        SetDrive(EntryText(picked)[0]);
    return 0;
}

DWORD TDriveComboBox::Style() const {
    return CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
}

void TDriveComboBox::OnCreated() {
    OnDpiChanged();
    // WM_MEASUREITEM came before this wrapper was attached.
    ResetItemHeight();
    RebuildEntries();
}

LRESULT TDriveComboBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default(message, wParam, lParam);
    if (message == WM_SETFONT) {
        ResetItemHeight();
        RebuildEntries();
    }
    return result;
}

// A rebuild leaves no entry selected, so writing the drive again selects it and notifies.
void TDriveComboBox::RebuildEntries() {
    if (Hwnd()) {
        SendMessageW(Hwnd(), CB_RESETCONTENT, 0, 0);
        const DWORD present = GetLogicalDrives();
        for (char letter = 'a'; letter <= 'z'; ++letter)
            if (present & (1u << (letter - 'a')))
                AddDriveEntry(letter);
        FitDropDownToEntries();
    }
    SetDrive(drive_);
}

// Other drive types (unknown, no root directory) get no entry.
void TDriveComboBox::AddDriveEntry(char letter) {
    const std::string root = {letter, ':', '\\'};
    const UINT type = GetDriveTypeW(Widened(root).c_str());
    if (type < DRIVE_REMOVABLE || type > DRIVE_RAMDISK)
        return;
    const char shown = LetterInCase(letter, textCase_);
    const std::string prefix = {shown, ':'};
    const auto remote = type == DRIVE_REMOTE ? RemoteName(shown) : std::nullopt;
    // Never asks a removable drive for its label: it may have no media.
    const std::string text = type == DRIVE_REMOVABLE
                                 ? prefix
                                 : prefix + " " + (remote ? *remote : BracketedLabel(shown, root));
    AddEntry(Hwnd(), ComboBoxEntries, text, type - DRIVE_REMOVABLE);
}

// The first entry that starts with the letter and a colon, in either case; the selection
// stays as it was when there is none. No drive (a network directory) selects no entry.
void TDriveComboBox::SelectEntryOf(char drive) {
    if (!Hwnd())
        return;
    const std::wstring prefix = {static_cast<wchar_t>(drive), L':'};
    if (drive == '\0')
        SendMessageW(Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    else
        SendMessageW(Hwnd(), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(prefix.c_str()));
}

void TDriveComboBox::ResetItemHeight() {
    const int height = std::max(FontCharacterHeight(Hwnd()), glyphs_.TallestHeight());
    // -1 is the selection field, 0 the entries of the list.
    SendMessageW(Hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    SendMessageW(Hwnd(), CB_SETITEMHEIGHT, 0, height);
    if (fieldHeight_)
        FitComboBoxField(Hwnd(), fieldHeight_);
}

void TDriveComboBox::FitToHeight(int height) {
    fieldHeight_ = height;
    if (Hwnd())
        ResetItemHeight();
}

// The window's height is that of the open list: without room for entries it opens empty.
void TDriveComboBox::FitDropDownToEntries() {
    const RECT field = WindowRect(Hwnd());
    const auto entryHeight = SendMessageW(Hwnd(), CB_GETITEMHEIGHT, 0, 0);
    const int shown = std::clamp(EntryCount(), 1, DropDownEntries);
    SetWindowPos(Hwnd(), nullptr, 0, 0, field.right - field.left,
                 field.bottom - field.top + static_cast<int>(entryHeight) * shown + Scaled(2),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item) const {
    DrawEntry(item, glyphs_.At(item.itemData), GlyphIndent, TextLeftWithoutGlyph,
              EntryText(static_cast<int>(item.itemID)), DT_VCENTER);
}

} // namespace reelbond
