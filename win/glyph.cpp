#include "win/glyph.h"

#include "core/io_error.h"
#include "core/text.h"

#include <algorithm>
#include <new>

namespace reelbond {
namespace {

// GDI and the image lists fail for want of handles or memory, and often leave no error code.
template <typename Handle> Handle Made(Handle handle) {
    if (!handle)
        throw std::bad_alloc();
    return handle;
}

UniqueDc MemoryDc(HDC compatibleWith) {
    return UniqueDc(Made(CreateCompatibleDC(compatibleWith)));
}

COLORREF BottomLeftColour(HBITMAP bitmap, int height) {
    const UniqueDc dc = MemoryDc(nullptr);
    const auto selected = SelectedInto(dc.get(), bitmap);
    return GetPixel(dc.get(), 0, height - 1);
}

// Nearest-neighbour scaling: no blended colours, so the transparent colour stays exact.
UniqueBitmap Enlarged(HBITMAP bitmap, const BITMAP& info, int width, int height) {
    const UniqueWindowDc screen = ClientDc(nullptr);
    UniqueBitmap enlarged(Made(CreateCompatibleBitmap(screen.get(), width, height)));
    const UniqueDc source = MemoryDc(screen.get());
    const UniqueDc target = MemoryDc(screen.get());
    const auto fromSource = SelectedInto(source.get(), bitmap);
    const auto intoTarget = SelectedInto(target.get(), enlarged.get());
    SetStretchBltMode(target.get(), COLORONCOLOR);
    if (!StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, info.bmWidth,
                    info.bmHeight, SRCCOPY))
        ThrowLastError();
    return enlarged;
}

} // namespace

// Made whole before anything is replaced: a failure leaves the glyph as it was.
void Glyph::ScaleTo(UINT dpi) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), Widened(resourceName_).c_str(), IMAGE_BITMAP, 0, 0, 0)));
    if (!bitmap)
        ThrowLastError();
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof info, &info);
    const COLORREF transparent = BottomLeftColour(bitmap.get(), info.bmHeight);
    const int width = Scaled(info.bmWidth, dpi);
    const int height = Scaled(info.bmHeight, dpi);
    if (width != info.bmWidth || height != info.bmHeight)
        bitmap = Enlarged(bitmap.get(), info, width, height);
    UniqueImageList images(Made(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 0)));
    if (ImageList_AddMasked(images.get(), bitmap.get(), transparent) < 0)
        throw std::bad_alloc();
    greyable_.reset(Made(ImageList_GetIcon(images.get(), 0, ILD_NORMAL)));
    images_ = std::move(images);
    width_ = width;
    height_ = height;
}

void Glyph::DrawDisabled(HDC dc, int x, int y) const {
    if (greyable_)
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(greyable_.get()), 0, x, y, width_,
                   height_, DST_ICON | DSS_DISABLED);
}

GlyphSet::GlyphSet(std::initializer_list<const char*> resourceNames) {
    for (const char* name : resourceNames)
        glyphs_.emplace_back(name);
}

void GlyphSet::ScaleTo(UINT dpi) {
    for (Glyph& glyph : glyphs_)
        glyph.ScaleTo(dpi);
}

int GlyphSet::TallestHeight() const {
    int tallest = 0;
    for (const Glyph& glyph : glyphs_)
        tallest = std::max(tallest, glyph.Height());
    return tallest;
}

void Glyph::DrawShape(HDC dc, int x, int y, COLORREF colour) const {
    const UniqueBrush brush(CreateSolidBrush(colour));
    if (greyable_ && brush)
        DrawStateW(dc, brush.get(), nullptr, reinterpret_cast<LPARAM>(greyable_.get()), 0, x, y,
                   width_, height_, DST_ICON | DSS_MONO);
}

} // namespace reelbond
