#include "about/about_box.h"

#include "about/interface_style.h"
#include "resources/resource.h"
#include "win/error_barrier.h"
#include "win/high_contrast.h"
#include "win/message_loop.h"

#include <utility>
#include <vector>

namespace reelbond {
namespace {

constexpr wchar_t BoxClass[] = L"ReelbondAboutBox";
// A fixed dialog frame whose title bar has a close button and no icon.
constexpr DWORD BoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD BoxExStyle = WS_EX_DLGMODALFRAME;
constexpr int ClientWidth = 508;
constexpr int ClientHeight = 339;
constexpr int FirstControlId = 100;

constexpr FontSpec TextFont{InterfaceFont, 11, false, DEFAULT_CHARSET};
constexpr FontSpec NameFont{InterfaceFont, 32, true, ANSI_CHARSET};
constexpr FontSpec ButtonFont{InterfaceFont, 11, true, DEFAULT_CHARSET};

// Creation order is the tab order: BtnOK, then RichEdit21.
std::vector<Placement> LayoutOf(TAboutBox& box) {
    return {
        {&box.copyright, nullptr, 183, 72, 113, 13, REELBOND_COPYRIGHT_TEXT, nullptr, true,
         &TextFont},
        {&box.version, nullptr, 206, 51, 59, 13, "Version " REELBOND_VERSION_TEXT, nullptr, true,
         &TextFont},
        {&box.mpgname, nullptr, 159, 9, 147, 37, "Reelbond", nullptr, true, &NameFont},
        {&box.Bevel1, nullptr, 3, 95, 502, 2, ""},
        {&box.Image1, nullptr, 16, 16, 36, 36, ""},
        {&box.BtnOK, nullptr, 434, 312, 72, 25, "OK", nullptr, true, &ButtonFont},
        {&box.RichEdit21, nullptr, 3, 104, 503, 201, ""},
    };
}

} // namespace

std::string HelpFilePath(const std::string& programPath) {
    return programPath.substr(0, programPath.find_last_of("\\:") + 1) + "Help.rtf";
}

TAboutBox::TAboutBox(std::string programPath) : programPath_(std::move(programPath)) {}

void TAboutBox::Register() {
    RegisterWindowClass(BoxClass, Procedure, 0, ClassBackground(COLOR_BTNFACE));
}

void TAboutBox::Create() {
    CreateTopLevelWindow(BoxClass, BoxExStyle, BoxStyle, "About Reelbond...", ClientWidth,
                         ClientHeight);
    // The system menu of a fixed dialog frame: move and close.
    const HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE);
    for (const UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
        DeleteMenu(systemMenu, command, MF_BYCOMMAND);
    CentreOnScreen();
}

void TAboutBox::ShowModal(HWND owner) {
    // Owned, the box stays above its owner and hands the activation back to it.
    SetWindowLongPtrW(Hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    CentreOnScreen();
    const bool ownerTakesInput = owner && IsWindowEnabled(owner);
    if (ownerTakesInput)
        EnableWindow(owner, FALSE);
    ShowWindow(Hwnd(), SW_SHOW);
    RunModalLoop();
    // Enabled before the box goes, so the activation does not pass to another program.
    if (ownerTakesInput)
        EnableWindow(owner, TRUE);
    ShowWindow(Hwnd(), SW_HIDE);
}

void TAboutBox::RunModalLoop() {
    modal_ = true;
    const auto quit = MessageLoop(Hwnd()).Run([this] { return !modal_; });
    modal_ = false;
    // The quit request belongs to the loop beneath.
    if (quit)
        PostQuitMessage(*quit);
}

void TAboutBox::Close() {
    if (modal_)
        modal_ = false;
    else
        ShowWindow(Hwnd(), SW_HIDE);
}

LRESULT TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = KeepFocusOnActivation(message, wParam))
        return *answer;
    switch (message) {
    case WM_CREATE:
        FormCreate();
        return 0;
    case WM_NEXTDLGCTL:
        MoveFocus(wParam, lParam);
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    }
    // No control has the ids IDOK and IDCANCEL, so the dialog manager's Enter and Escape
    // without a focused button reach nobody.
    return Window::HandleMessage(message, wParam, lParam);
}

void TAboutBox::MoveFocus(WPARAM wParam, LPARAM lParam) {
    const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(Hwnd(), GetFocus(), wParam != 0);
    if (next)
        SetFocus(next);
}

void TAboutBox::CreateControls() {
    layout_.Create(Hwnd(), LayoutOf(*this), FirstControlId);
    FitLabelsAndIcon();
    BtnOK.OnClick = [this] { BtnOKClick(); };

    RichEdit21.SetDefaultFont({InterfaceFont, 11, false, GB2312_CHARSET});
    RichEdit21.SetPlainText(true);
    RichEdit21.InputMethod.SetName(ChineseSimplifiedAbc);
}

void TAboutBox::LayOut() {
    layout_.Apply(Hwnd(), LayoutOf(*this));
    FitLabelsAndIcon();
}

// The labels take the size of their text in their font.
void TAboutBox::FitLabelsAndIcon() {
    for (TLabel* label : {&copyright, &version, &mpgname})
        label->SizeToText();
    Image1.SetIcon("MAINICON", Scaled(32));
}

void TAboutBox::FormCreate() {
    RichEdit21.SetPlainText(false);
    // A help file that cannot be read costs the help, not the box.
    Guarded([this] { RichEdit21.LoadFromFile(HelpFilePath(programPath_)); });
}

void TAboutBox::BtnOKClick() {
    Close();
}

} // namespace reelbond
