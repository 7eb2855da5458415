#pragma once

#include "win/file_list_box.h"
#include "win/widget_link.h"
#include "win/window.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace reelbond {

// The file type selector: a drop-down list of descriptions, each standing for a set of
// patterns, which a linked file list takes as its mask.
class TFilterComboBox : public Control, public WidgetLinkSource {
public:
    ~TFilterComboBox() override;

    // Descriptions and their patterns, alternating, separated by "|".
    void SetFilter(const std::string& filter);
    // The patterns of the selected entry, selecting the last entry first when none is
    // selected; "*.*" when there are no entries.
    std::string MaskSelectingLastIfNone();
    void SetFileList(TFileListBox* fileList);
    void ForgetLinkedWidget() noexcept override { fileList_ = nullptr; }

    std::function<void()> OnChange;

    std::optional<LRESULT> HandleNotification(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const wchar_t* ClassName() const override { return L"COMBOBOX"; }
    DWORD Style() const override { return CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; }
    void OnCreated() override { ParseFilter(); }
    void FitToHeight(int height) override;

private:
    void ParseFilter();
    void Change();

    std::string filter_ = "All files (*.*)|*.*";
    // The patterns of each entry, in entry order.
    std::vector<std::string> patterns_;
    TFileListBox* fileList_ = nullptr;
};

} // namespace reelbond
