#pragma once

#include "win/file_list_box.h"
#include "win/owner_drawn_list_box.h"
#include "win/widget_link.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace reelbond {

// What a directory list needs of a drive selector linked to it.
class DriveSelectorLink : public WidgetLinkSource {
public:
    // Selects the drive; the selector then moves the list there through its drive-change step.
    virtual void SetDrive(char drive) = 0;

protected:
    ~DriveSelectorLink() = default;
};

// The directory list: the open ancestors of Directory, Directory itself and its closed
// subdirectories. A linked file list follows every change of Directory.
class TDirectoryListBox : public OwnerDrawnListBox, public DirListLink {
public:
    // Starts on the process's current directory.
    // The bitmap resources of the glyphs of folders: those above the one shown, the one shown,
    // those below it.
    struct GlyphNames {
        const char* openAncestor;
        const char* current;
        const char* closedSubdirectory;
    };
    explicit TDirectoryListBox(const GlyphNames& glyphs);
    ~TDirectoryListBox() override;

    const std::string& Directory() const { return directory_; }
    // Moves to the directory that text names, a relative one taken from Directory; nothing
    // when text is empty or names Directory.
    void SetDirectory(const std::string& text) override;
    char Drive() const { return directory_[0]; }
    // Moves to the directory last shown on drive; 0 (no drive) leaves the list where it is.
    void SetDrive(char drive);
    void SetFileList(TFileListBox* fileList);
    // The directory the entry at index stands for; empty beyond the last entry.
    std::string ItemPath(int index) const;
    // Moves to the highlighted entry's directory, as a double click or Enter does.
    void OpenHighlighted();

    // The entry's text as it is drawn: lower-cased on a volume that neither keeps nor
    // distinguishes letter case.
    std::string DisplayedText(int index) const;
    // The highlighted entry, -1 when there is none.
    int HighlightedIndex() const;

    // Set by a drive selector when it links to this list; null unlinks.
    void SetDriveSelectorLink(DriveSelectorLink* driveSelector) { driveSelector_ = driveSelector; }
    // The drive-change step, by which a linked drive selector moves this list.
    void DriveChange(char drive);

    std::function<void()> OnChange;

    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ForgetLinkedWidget() noexcept override { fileList_ = nullptr; }

protected:
    DWORD Style() const override;
    void OnCreated() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Whether the volume at root keeps (FILE_CASE_PRESERVED_NAMES) and distinguishes
    // (FILE_CASE_SENSITIVE_SEARCH) letter case. A volume that cannot be asked, such as a
    // network share under Wine, counts as keeping case without distinguishing it.
    virtual DWORD VolumeCaseFlags(const std::string& root) const;

private:
    enum EntryKind { OpenAncestor, CurrentEntry, ClosedSubdirectory };

    bool IsDirectoryShown(const std::string& text) const;
    void ChangeDirectoryTo(const std::string& text);
    void ChangeDrive(char drive);
    // An entry above the subdirectories: what it shows and the path it opens.
    struct Level {
        std::string text;
        std::string path;
        EntryKind kind;
    };
    static std::vector<Level> LevelsOf(const std::string& directory);
    void BuildEntries();
    std::vector<std::string> Subdirectories() const;
    void Change();
    void DrawItem(const DRAWITEMSTRUCT& item) const override;

    std::string directory_;
    // What VolumeCaseFlags said of the directory's volume.
    DWORD caseFlags_ = FILE_CASE_PRESERVED_NAMES;
    std::vector<Level> levels_;
    // Set while a directory change switches drives: the intermediate drive change then
    // neither rebuilds nor notifies.
    bool driveChangeInProgress_ = false;
    TFileListBox* fileList_ = nullptr;
    DriveSelectorLink* driveSelector_ = nullptr;
};

} // namespace reelbond
