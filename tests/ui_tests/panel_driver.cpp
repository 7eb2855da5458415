#include "panel_driver.h"

#include "core/text.h"

#include <gtest/gtest.h>

namespace reelbond::test {

void PumpEvents(TForm1& form) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT)
            form.EventLoop().Process(message);
}

std::string PanelState(const TForm1& form) {
    const TDirectoryListBox& directories = form.DirectoryListBox1;
    return "files=" + form.FileListBox1.Directory() + " dirs=" + directories.Directory() +
           " highlighted=" + directories.EntryText(directories.HighlightedIndex());
}

std::string PanelStateAt(const std::string& directory) {
    const std::size_t lastSeparator = directory.find_last_of('\\', directory.size() - 2);
    return "files=" + directory + " dirs=" + directory +
           " highlighted=" + directory.substr(lastSeparator + 1);
}

void RecordPanelNotifications(TForm1& form, std::vector<std::string>& notices) {
    const auto record = [&](std::function<void()>& handler, const char* name) {
        handler = [&form, &notices, name, original = handler] {
            std::string notice = name;
            notices.push_back(notice.append(" ").append(PanelState(form)));
            if (original)
                original();
        };
    };
    record(form.DriveComboBox1.OnChange, "DriveComboBox1Change");
    record(form.DirectoryListBox1.OnChange, "DirectoryListBox1Change");
    record(form.FileListBox1.OnChange, "FileListBox1Change");
}

void DoubleClickEntry(HWND list, const std::string& text) {
    const auto index =
        SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(Widened(text).c_str()));
    ASSERT_GE(index, 0) << text;
    RECT entry;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry));
    const LPARAM at = MAKELPARAM(entry.left + 40, (entry.top + entry.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

} // namespace reelbond::test
