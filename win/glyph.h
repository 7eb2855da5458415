#pragma once

#include "win/handles.h"

#include <commctrl.h>
#include <windows.h>

namespace reelbond {

// A bitmap of the program's resources drawn transparently: the colour of its bottom-left
// pixel is not painted. Disabled, it is drawn greyed.
class Glyph {
public:
    explicit Glyph(const char* resourceName);

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void Draw(HDC dc, int x, int y) const;
    void DrawDisabled(HDC dc, int x, int y) const;

private:
    UniqueImageList images_;
    UniqueIcon greyable_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace reelbond
