#pragma once

#include "core/text.h"
#include "message_box_catcher.h"
#include "panel_driver.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <string>
#include <vector>

namespace reelbond::test {

using Strings = std::vector<std::string>;

inline constexpr char ClipA[] = "mpeg1_ps_352x240_2997_a.mpg";
inline constexpr char ClipB[] = "mpeg1_ps_352x240_2997_b.mpg";
inline constexpr char Pal[] = "mpeg1_es_352x288_25.mpg";

// The main window of a test, in a fresh directory that is the current one; every message
// box it opens is caught.
class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void CopyMedia(const std::string& name, const std::string& as = "") {
        CopyFileW(Widened(TestMedia(name)).c_str(), Widened(dir / (as.empty() ? name : as)).c_str(),
                  FALSE);
    }

    void Start() {
        form.Create();
        form.Show();
        Pump();
    }

    void Pump() { PumpEvents(form); }

    void Select(const std::string& name) {
        const HWND list = form.FileListBox1.Hwnd();
        const auto index = SendMessageW(list, LB_FINDSTRINGEXACT, -1,
                                        reinterpret_cast<LPARAM>(Widened(name).c_str()));
        ASSERT_GE(index, 0) << name;
        SendMessageA(list, LB_SETSEL, TRUE, index);
    }

    // Clicks, then lets the window repaint: the move buttons follow the painted table.
    void Click(const TBitBtn& button) {
        SendMessageA(button.Hwnd(), BM_CLICK, 0, 0);
        Pump();
    }
    void Click(const TSpeedButton& button) {
        SendMessageA(button.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
    }

    void AddSelected(std::initializer_list<const char*> names) {
        for (const char* name : names)
            Select(name);
        Click(form.BitnAdd);
        Pump();
    }

    Strings Column(int column) const {
        Strings cells;
        for (int row = 1; row <= form.Table().DataRowCount(); ++row)
            cells.push_back(form.Table().Cell(column, row));
        return cells;
    }

    Strings EnabledButtons() const {
        Strings names;
        const std::pair<const Control*, const char*> buttons[] = {
            {&form.BitnAdd, "Add"},     {&form.BitnRemove, "Remove"}, {&form.BitUp, "Up"},
            {&form.BitDown, "Down"},    {&form.BitnClear, "Clear"},   {&form.SpdBtnLink, "Link"},
            {&form.SpdBtnExit, "Exit"}, {&form.SpdBtnHelp, "Help"}};
        for (const auto& [button, name] : buttons)
            if (button->Enabled())
                names.push_back(name);
        return names;
    }

    std::string Panel0() const { return form.StatusBar1.PanelText(0); }

    // Real input: the system turns it into messages as it does for a user.
    static POINT CentreOf(const Control& control) {
        RECT frame;
        GetWindowRect(control.Hwnd(), &frame);
        return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
    }
    static void SendMouse(POINT at, DWORD buttons = 0) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (at.x * 65536 + width - 1) / width;
        input.mi.dy = (at.y * 65536 + height - 1) / height;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
        ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
    }
    void ClickWithMouse(const Control& control) {
        const POINT at = CentreOf(control);
        SendMouse(at);
        SendMouse(at, MOUSEEVENTF_LEFTDOWN);
        SendMouse(at, MOUSEEVENTF_LEFTUP);
        Pump();
    }
    void PressKey(WORD key) { PressKeys({key}); }
    // Presses the keys in order and releases them in reverse: {VK_MENU, 'L'} is Alt+L.
    void PressKeys(std::initializer_list<WORD> chord) {
        std::vector<INPUT> keys;
        const auto press = [&](WORD key, DWORD flags) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            keys.push_back(input);
        };
        for (const WORD key : chord)
            press(key, 0);
        for (auto key = std::rbegin(chord); key != std::rend(chord); ++key)
            press(*key, KEYEVENTF_KEYUP);
        const auto count = static_cast<UINT>(keys.size());
        ASSERT_EQ(SendInput(count, keys.data(), sizeof keys[0]), count);
        Pump();
    }

    void DoubleClickDirectory(const std::string& name) {
        DoubleClickEntry(form.DirectoryListBox1.Hwnd(), name);
        Pump();
    }

    TempDir dir;
    CurrentDirectoryGuard inDir{dir.path()};
    MessageBoxCatcher boxes;
    Owned<TForm1> form;
    Strings notices;
};

} // namespace reelbond::test
