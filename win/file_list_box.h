#pragma once

#include "win/owner_drawn_list_box.h"
#include "win/widget_link.h"

#include <functional>
#include <optional>
#include <string>

namespace reelbond {

// What a file list needs of a directory list linked to it.
class DirListLink : public WidgetLinkSource {
public:
    // Moves the directory list to the directory that text names; the list then moves the
    // file list there through its set-directory step.
    virtual void SetDirectory(const std::string& text) = 0;

protected:
    ~DirListLink() = default;
};

struct FoundEntry;

// The file list: the files of Directory that match Mask, sorted, with multiple selection.
// Directory is a value of its own: the process's current directory stays where it is.
class TFileListBox : public OwnerDrawnListBox {
public:
    TFileListBox();
    ~TFileListBox() override;

    const std::string& Directory() const { return directory_; }
    // Applies text as a path, a relative one taken from Directory: its directory is listed, a
    // file name in it is focused and a pattern becomes the mask.
    void SetDirectory(const std::string& text) { SetFileName(text); }
    char Drive() const { return directory_[0]; }
    // Moves to the directory last shown on drive; 0 (no drive) leaves the list where it is.
    void SetDrive(char drive);
    // The focused entry's full path when it is selected, else empty.
    std::string FileName() const;
    void SetFileName(const std::string& text);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& mask);
    // Extended selection (Shift and Ctrl clicks); takes effect when the window is created.
    void SetMultiSelect(bool on) { multiSelect_ = on; }

    bool IsSelected(int index) const;
    // The selected entries' texts in list order.
    std::vector<std::string> SelectedNames() const;
    // The entry with the caret, -1 when there is none.
    int FocusedIndex() const;

    // Set by a directory list when it links to this list; null unlinks.
    void SetDirListLink(DirListLink* dirList) { dirList_ = dirList; }
    // Set by a file type selector when it links to this list; null unlinks.
    void SetFilterLink(WidgetLinkSource* filter) { filter_ = filter; }
    // The set-directory step, by which a linked directory list moves this list: lists the
    // existing directory at the full path, unless it is Directory already.
    void MoveToDirectory(const std::string& path);

    std::function<void()> OnChange;
    std::function<void()> OnDblClick;

    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    DWORD Style() const override;
    void OnCreated() override;

private:
    void ApplyPath(const std::string& text);
    void FocusFile(const std::string& name);
    template <typename Setting> void StoreAndRescan(Setting& setting, const Setting& value);
    void Rescan();
    // Inserts a file's name at its sorted place; returns that place.
    int InsertEntry(const std::string& name);
    void Change();
    void DrawItem(const DRAWITEMSTRUCT& item) const override;

    std::string directory_;
    std::string mask_ = "*.*";
    bool multiSelect_ = false;
    int lastNotifiedFocus_ = -1;
    DirListLink* dirList_ = nullptr;
    WidgetLinkSource* filter_ = nullptr;
};

} // namespace reelbond
