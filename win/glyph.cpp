#include "win/glyph.h"

#include "core/io_error.h"

namespace reelbond {
namespace {

COLORREF BottomLeftColour(HBITMAP bitmap, int height) {
    const UniqueDc dc(CreateCompatibleDC(nullptr));
    const auto selected = SelectedInto(dc.get(), bitmap);
    return GetPixel(dc.get(), 0, height - 1);
}

} // namespace

Glyph::Glyph(const char* resourceName) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, 0)));
    if (!bitmap)
        ThrowLastError();
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof info, &info);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
    images_.reset(ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!images_)
        ThrowLastError();
    ImageList_AddMasked(images_.get(), bitmap.get(), BottomLeftColour(bitmap.get(), height_));
    greyable_.reset(ImageList_GetIcon(images_.get(), 0, ILD_NORMAL));
}

void Glyph::Draw(HDC dc, int x, int y) const {
    ImageList_Draw(images_.get(), 0, dc, x, y, ILD_TRANSPARENT);
}

void Glyph::DrawDisabled(HDC dc, int x, int y) const {
    if (greyable_)
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(greyable_.get()), 0, x, y, width_,
                   height_, DST_ICON | DSS_DISABLED);
}

} // namespace reelbond
