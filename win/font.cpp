#include "win/font.h"

#include "core/text.h"

#include <stdexcept>
#include <string>

namespace reelbond {

UniqueFont CreateUiFont(const FontSpec& font, UINT dpi) {
    // A negative height asks for the character height without internal leading.
    UniqueFont created(
        CreateFontW(-Scaled(font.pixels, dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                    FALSE, FALSE, font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Widened(font.face).c_str()));
    if (!created)
        throw std::runtime_error(std::string("Cannot create the font ") + font.face);
    return created;
}

} // namespace reelbond
