#pragma once

#include "win/dpi.h"
#include "win/handles.h"

#include <windows.h>

namespace reelbond {

// A font given as a character height in pixels of the 96-dpi layout, internal leading excluded.
struct FontSpec {
    const char* face;
    int pixels;
    bool bold;
    BYTE charset;
};
UniqueFont CreateUiFont(const FontSpec& font, UINT dpi = LayoutDpi);

} // namespace reelbond
