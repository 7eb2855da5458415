#pragma once

#include "win/directory_list_box.h"
#include "win/glyph.h"
#include "win/window.h"

#include <functional>
#include <optional>
#include <string>

namespace reelbond {

// The case of the drive letters a drive selector shows and keeps.
enum TTextCase { tcLowerCase, tcUpperCase };

// The drive selector: a drop-down list of the computer's drives, each shown with the glyph of
// its kind and its volume label or network name. The user can only pick, never type.
class TDriveComboBox : public Control, public DriveSelectorLink {
public:
    // Starts on the drive of the process's current directory; 0 on a network path.
    // The bitmap resources of the glyphs of drives, by kind.
    struct GlyphNames {
        const char* removable;
        const char* fixed;
        const char* remote;
        const char* cdRom;
        const char* ramDisk;
    };
    explicit TDriveComboBox(const GlyphNames& glyphs);
    ~TDriveComboBox() override;

    char Drive() const { return drive_; }
    // Selects the drive's entry, tells a linked directory list and notifies; does nothing
    // when that drive is already selected.
    void SetDrive(char drive) override;
    // Rebuilds the entries in the new case and selects the drive again, which notifies.
    void SetTextCase(TTextCase textCase);
    void SetDirList(TDirectoryListBox* dirList);
    void ForgetLinkedWidget() noexcept override { dirList_ = nullptr; }

    int EntryCount() const;
    std::string EntryText(int index) const;
    // The selected entry, -1 when there is none.
    int SelectedIndex() const;

    std::function<void()> OnChange;

    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const wchar_t* ClassName() const override { return L"COMBOBOX"; }
    DWORD Style() const override;
    void OnCreated() override;
    // The height of the closed selector, kept through font changes.
    void FitToHeight(int height) override;
    void OnDpiChanged() override { glyphs_.ScaleTo(WindowDpi(Hwnd())); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The entries are built when the window is made and when the case or the font changes;
    // drives that come or go later are not noticed.
    void RebuildEntries();
    void AddDriveEntry(char letter);
    void SelectEntryOf(char drive);
    void ResetItemHeight();
    void FitDropDownToEntries();
    void DrawItem(const DRAWITEMSTRUCT& item) const override;

    char drive_;
    TTextCase textCase_ = tcLowerCase;
    TDirectoryListBox* dirList_ = nullptr;
    int fieldHeight_ = 0;
    // In the order of the drive types, DRIVE_REMOVABLE to DRIVE_RAMDISK.
    GlyphSet glyphs_;
};

} // namespace reelbond
