#include "win/directory_list_box.h"

#include "core/path.h"
#include "core/text.h"
#include "win/list_entries.h"
#include "win/owner_draw.h"

#include <algorithm>
#include <utility>

namespace reelbond {
namespace {

constexpr int IndentStep = 4;
constexpr int IndentStart = 2;

// A name with its wide form, in which the locale's comparison is made.
struct SortableName {
    std::string name;
    std::wstring wide;
};

int BackslashCount(const std::string& path) {
    int count = 0;
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        ++count;
    return count;
}

} // namespace

// The glyphs in the order of EntryKind.
TDirectoryListBox::TDirectoryListBox(const GlyphNames& glyphs)
    : OwnerDrawnListBox({glyphs.openAncestor, glyphs.current, glyphs.closedSubdirectory}),
      directory_(CurrentDirectory()) {}

TDirectoryListBox::~TDirectoryListBox() {
    SetFileList(nullptr);
    if (driveSelector_)
        driveSelector_->ForgetLinkedWidget();
}

void TDirectoryListBox::SetDirectory(const std::string& text) {
    if (!text.empty() && !IsDirectoryShown(text))
        ChangeDirectoryTo(text);
}

void TDirectoryListBox::SetDrive(char drive) {
    if (drive != '\0' && UpperCaseDrive(drive) != UpperCaseDrive(Drive()))
        SetDirectory(std::string{drive, ':'});
}

void TDirectoryListBox::SetFileList(TFileListBox* fileList) {
    LinkBothWays(fileList_, fileList, &TFileListBox::SetDirListLink, this);
}

std::string TDirectoryListBox::ItemPath(int index) const {
    if (index < 0 || index >= EntryCount())
        return {};
    if (index < static_cast<int>(levels_.size()))
        return levels_[index].path;
    return JoinPath(directory_, EntryText(index));
}

// The root of a share, then every ancestor from the drive's root down, then the directory
// itself: a drive root such as C:\ ends in a backslash and is a single current entry.
std::vector<TDirectoryListBox::Level> TDirectoryListBox::LevelsOf(const std::string& directory) {
    std::vector<Level> levels;
    const std::string drive = DrivePart(directory);
    std::size_t start = 0;
    if (drive.size() > 1 && drive[1] == '\\') {
        levels.push_back({drive + "\\", drive + "\\", OpenAncestor});
        start = drive.size() + 1;
    }
    if (start >= directory.size())
        return levels;
    if (!directory.ends_with('\\')) {
        for (std::size_t end; (end = directory.find('\\', start)) != std::string::npos;
             start = end + 1) {
            // The drive's root keeps its backslash.
            const std::size_t length = levels.empty() ? end + 1 : end;
            levels.push_back({directory.substr(start, length - start), directory.substr(0, length),
                              OpenAncestor});
        }
    }
    levels.push_back({directory.substr(start), directory, CurrentEntry});
    return levels;
}

void TDirectoryListBox::OpenHighlighted() {
    SetDirectory(ItemPath(HighlightedIndex()));
}

std::string TDirectoryListBox::DisplayedText(int index) const {
    const bool keepsCase = caseFlags_ & (FILE_CASE_PRESERVED_NAMES | FILE_CASE_SENSITIVE_SEARCH);
    return keepsCase ? EntryText(index) : LowerCaseFileName(EntryText(index));
}

int TDirectoryListBox::HighlightedIndex() const {
    return Hwnd() ? static_cast<int>(SendMessageW(Hwnd(), LB_GETCURSEL, 0, 0)) : -1;
}

std::optional<LRESULT> TDirectoryListBox::HandleNotification(UINT message, WPARAM wParam, LPARAM) {
    // A single click only moves the highlight; a double click opens the entry.
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_DBLCLK) {
        OpenHighlighted();
        return 0;
    }
    return std::nullopt;
}

DWORD TDirectoryListBox::Style() const {
    return WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED |
           LBS_NOINTEGRALHEIGHT;
}

void TDirectoryListBox::OnCreated() {
    OwnerDrawnListBox::OnCreated();
    BuildEntries();
}

LRESULT TDirectoryListBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Enter opens the highlighted entry.
    if (message == WM_GETDLGCODE)
        return DialogCodeTakingEnter(wParam, lParam);
    if (message == WM_CHAR && wParam == VK_RETURN) {
        OpenHighlighted();
        return 0;
    }
    return OwnerDrawnListBox::HandleMessage(message, wParam, lParam);
}

DWORD TDirectoryListBox::VolumeCaseFlags(const std::string& root) const {
    DWORD flags = 0;
    if (!GetVolumeInformationW(Widened(root).c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr,
                               0))
        return FILE_CASE_PRESERVED_NAMES;
    return flags & (FILE_CASE_PRESERVED_NAMES | FILE_CASE_SENSITIVE_SEARCH);
}

// On a volume that distinguishes case, names differing only in case are other directories.
bool TDirectoryListBox::IsDirectoryShown(const std::string& text) const {
    if (!(caseFlags_ & FILE_CASE_SENSITIVE_SEARCH))
        return SamePath(text, directory_);
    return CompareInUserLocale(Widened(text), Widened(directory_), LetterCase::Respected) == 0;
}

// A failure leaves the list as it was.
void TDirectoryListBox::ChangeDirectoryTo(const std::string& text) {
    const PathParts parts = SplitPath(text, directory_);
    if (parts.drive != Drive())
        ChangeDrive(parts.drive);
    // On the drive as the drive change left it, its letter in the case written there.
    directory_ =
        parts.drive == '\0' ? parts.directory : std::string{Drive(), ':'} + parts.directory;
    RememberDirectoryOfDrive(directory_);
    BuildEntries();
    Change();
}

void TDirectoryListBox::ChangeDrive(char drive) {
    driveChangeInProgress_ = true;
    const ScopeExit changed([this] { driveChangeInProgress_ = false; });
    if (driveSelector_)
        driveSelector_->SetDrive(drive);
    else
        DriveChange(drive);
}

void TDirectoryListBox::DriveChange(char drive) {
    if (drive == '\0' || UpperCaseDrive(drive) == UpperCaseDrive(Drive()))
        return;
    // The directory last shown on that drive; fails when the drive is not ready.
    const std::string last = LastDirectoryOfDrive(drive);
    CheckDirectoryExists(last);
    directory_ = last;
    RememberDirectoryOfDrive(directory_);
    if (!driveChangeInProgress_) {
        BuildEntries();
        Change();
    }
}

void TDirectoryListBox::BuildEntries() {
    if (!Hwnd())
        return;
    const auto suspended = RedrawSuspended(Hwnd());
    SendMessageW(Hwnd(), LB_RESETCONTENT, 0, 0);
    caseFlags_ = VolumeCaseFlags(DrivePart(directory_) + "\\");

    levels_ = LevelsOf(directory_);
    for (const Level& level : levels_)
        AddEntry(Hwnd(), ListBoxEntries, level.text, level.kind);
    const int current = EntryCount() - 1;
    for (const std::string& name : Subdirectories())
        AddEntry(Hwnd(), ListBoxEntries, name, ClosedSubdirectory);
    SendMessageW(Hwnd(), LB_SETCURSEL, current, 0);
}

// Visible subdirectories in case-insensitive order, one of names that differ only in case.
std::vector<std::string> TDirectoryListBox::Subdirectories() const {
    std::vector<SortableName> found;
    ForEachFound(JoinPath(directory_, "*.*"), [&](const FoundEntry& entry) {
        const std::string& name = entry.name;
        const DWORD attributes = entry.attributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) && name != "." &&
            name != "..")
            found.push_back({name, Widened(name)});
    });
    // The locale also calls canonical equivalents and "ß"/"ss" equal, which are other
    // directories: names it calls equal are ordered as the file system compares them, so that
    // the only ones merged, the names it takes for one, are neighbours.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const int order = CompareInUserLocale(a.wide, b.wide, LetterCase::Ignored);
        return order != 0 ? order < 0 : CompareIgnoringCase(a.wide, b.wide) < 0;
    });
    const auto merged = std::unique(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return EqualIgnoringCase(a.wide, b.wide);
    });
    std::vector<std::string> names;
    for (auto name = found.begin(); name != merged; ++name)
        names.push_back(std::move(name->name));
    return names;
}

void TDirectoryListBox::Change() {
    if (fileList_)
        fileList_->MoveToDirectory(directory_);
    if (OnChange)
        OnChange();
}

void TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item) const {
    const int index = static_cast<int>(item.itemID);
    const auto kind = static_cast<EntryKind>(item.itemData);
    // Subdirectories sit one level deeper than the directory's own depth.
    const int depth = kind == ClosedSubdirectory ? BackslashCount(directory_) + 1 : index;
    const int indent = IndentStep * depth + IndentStart;
    DrawEntry(item, GlyphOf(item), indent, indent, DisplayedText(index), DT_TOP);
}

} // namespace reelbond
