#pragma once

#include "win/font.h"
#include "win/window.h"

#include <optional>
#include <string>

namespace reelbond {

class File;

// The system's rich edit control 2.0 as a read-only view: lines wrap at its width, a
// vertical scroll bar comes when needed, web addresses are shown as written.
class TRichEdit : public Control {
public:
    // The font of text that carries no font of its own, in the window-text colour.
    void SetDefaultFont(const FontSpec& font);
    // On, a loaded file is read as plain text; off, as rich text. The control takes the
    // switch only while it is empty.
    bool PlainText() const;
    void SetPlainText(bool plainText);
    // Replaces the whole content by the file's; fails with "Cannot open file <path>" or as
    // LoadFromStream does.
    void LoadFromFile(const std::string& path);
    // Replaces the whole content by what the open file holds from its current position on.
    // Rich text the control cannot read is read again as plain text; a failure of that or
    // of a plain-text read is "Failed to Load Stream".
    void LoadFromStream(File& file);
    // Under high contrast every character takes the default text colour; the colours the text
    // was loaded with come back when it ends.
    void FollowContrast();
    // The control measures its text at the system's density, which is not the window's once
    // it has been told of another screen's: the text is zoomed by the difference.
    void OnDpiChanged() override;

    // Loads the system library that registers the control's window class; it stays loaded.
    static void Register();

protected:
    const wchar_t* ClassName() const override { return L"RichEdit20W"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    void OnCreated() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UINT TextFormat() const;

    // The content as loaded, kept while high contrast shows it in the default colour.
    std::optional<std::string> colouredContent_;
};

} // namespace reelbond
