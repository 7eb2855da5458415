#include "main_window_fixture.h"
#include "win/owner_draw.h"

#include <array>

namespace reelbond {
namespace {

using test::MainWindowTest;
using Frame = std::array<LONG, 4>;

// Every control's left, top, right and bottom edge in the window's client area.
std::vector<Frame> ControlEdges(const TForm1& form, const std::vector<Placement>& layout) {
    std::vector<Frame> edges;
    for (const Placement& place : layout) {
        RECT frame;
        GetWindowRect(place.control->Hwnd(), &frame);
        MapWindowPoints(HWND_DESKTOP, form.Hwnd(), reinterpret_cast<POINT*>(&frame), 2);
        edges.push_back({frame.left, frame.top, frame.right, frame.bottom});
    }
    return edges;
}

// The system's suggestion keeps the frame's old size, which holds the layout at no other
// density; its place is taken.
void TellDpi(TForm1& form, UINT dpi) {
    RECT frame;
    GetWindowRect(form.Hwnd(), &frame);
    OffsetRect(&frame, 30, 20);
    SendMessageA(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&frame));
    const RECT placed = WindowRect(form.Hwnd());
    EXPECT_EQ((std::array{placed.left, placed.top}), (std::array{frame.left, frame.top}));
}

Frame ClientEdges(const TForm1& form) {
    const RECT client = ClientRect(form.Hwnd());
    return {client.left, client.top, client.right, client.bottom};
}

// Told of a denser screen (as when it is dragged onto one), the window lays itself out at
// it: edges, fonts, item heights, column widths and glyphs scaled; back at 96 dpi, all is
// as it was.
TEST_F(MainWindowTest, ADensityChangeLaysTheWindowOutAgainScaled) {
    Start();
    const std::vector<Placement> layout = form.Layout();
    const std::vector<Frame> at96 = ControlEdges(form, layout);
    const int fontHeight = FontCharacterHeight(form.FileListBox1.Hwnd());

    TellDpi(form, 144);
    Pump();
    EXPECT_EQ(ClientEdges(form), (Frame{0, 0, 983, 458})) << "655 x 305 at 144 dpi";
    const std::vector<Frame> at144 = ControlEdges(form, layout);
    for (std::size_t index = 0; index < layout.size(); ++index) {
        for (int edge = 0; edge < 4; ++edge)
            EXPECT_NEAR(at144[index][edge], MulDiv(at96[index][edge], 144, 96), 1)
                << "control " << index << " edge " << edge;
    }
    EXPECT_EQ(form.StringGrid1.ColumnWidth(0), 183);
    EXPECT_EQ(form.FileListBox1.ItemHeight(), 24);
    EXPECT_NEAR(FontCharacterHeight(form.FileListBox1.Hwnd()), fontHeight * 3 / 2, 2);
    int panelEdges[3] = {};
    SendMessageA(form.StatusBar1.Hwnd(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(panelEdges));
    EXPECT_EQ(panelEdges[0], 207);

    TellDpi(form, 96);
    Pump();
    EXPECT_EQ(ClientEdges(form), (Frame{0, 0, 655, 305}));
    EXPECT_EQ(ControlEdges(form, layout), at96);
    EXPECT_EQ(form.StringGrid1.ColumnWidth(0), 122);
    EXPECT_EQ(form.FileListBox1.ItemHeight(), 16);
    EXPECT_EQ(FontCharacterHeight(form.FileListBox1.Hwnd()), fontHeight);
}

} // namespace
} // namespace reelbond
