#include "win/glyph.h"

#include "core/io_error.h"

namespace reelbond {
namespace {

COLORREF BottomLeftColour(HBITMAP bitmap, int height) {
    const UniqueDc dc(CreateCompatibleDC(nullptr));
    const auto selected = SelectedInto(dc.get(), bitmap);
    return GetPixel(dc.get(), 0, height - 1);
}

// Nearest-neighbour scaling: no blended colours, so the transparent colour stays exact.
UniqueBitmap Enlarged(HBITMAP bitmap, const BITMAP& info, int width, int height) {
    const UniqueWindowDc screen = ClientDc(nullptr);
    UniqueBitmap enlarged(CreateCompatibleBitmap(screen.get(), width, height));
    if (!enlarged)
        ThrowLastError();
    const UniqueDc source(CreateCompatibleDC(screen.get()));
    const UniqueDc target(CreateCompatibleDC(screen.get()));
    const auto fromSource = SelectedInto(source.get(), bitmap);
    const auto intoTarget = SelectedInto(target.get(), enlarged.get());
    SetStretchBltMode(target.get(), COLORONCOLOR);
    if (!StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, info.bmWidth,
                    info.bmHeight, SRCCOPY))
        ThrowLastError();
    return enlarged;
}

} // namespace

Glyph::Glyph(const char* resourceName, UINT dpi) : resourceName_(resourceName) {
    ScaleTo(dpi);
}

void Glyph::ScaleTo(UINT dpi) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resourceName_, IMAGE_BITMAP, 0, 0, 0)));
    if (!bitmap)
        ThrowLastError();
    BITMAP info{};
    GetObjectA(bitmap.get(), sizeof info, &info);
    const COLORREF transparent = BottomLeftColour(bitmap.get(), info.bmHeight);
    width_ = Scaled(info.bmWidth, dpi);
    height_ = Scaled(info.bmHeight, dpi);
    if (width_ != info.bmWidth || height_ != info.bmHeight)
        bitmap = Enlarged(bitmap.get(), info, width_, height_);
    images_.reset(ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!images_)
        ThrowLastError();
    ImageList_AddMasked(images_.get(), bitmap.get(), transparent);
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

void Glyph::DrawShape(HDC dc, int x, int y, COLORREF colour) const {
    const UniqueBrush brush(CreateSolidBrush(colour));
    if (greyable_ && brush)
        DrawStateW(dc, brush.get(), nullptr, reinterpret_cast<LPARAM>(greyable_.get()), 0, x, y,
                   width_, height_, DST_ICON | DSS_MONO);
}

} // namespace reelbond
