#include "glyph_pixels.h"
#include "win/glyph.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using reelbond::SelectedInto;
using reelbond::UniqueBitmap;
using reelbond::UniqueDc;
using reelbond::UniqueIcon;

constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Magenta = RGB(255, 0, 255);
constexpr COLORREF Olive = RGB(128, 128, 0);

struct Glyph {
    const char* name;
    int width;
    int height;
    int bitsPerPixel;
    COLORREF transparent;
};

const Glyph Glyphs[] = {
    {"FLOPPY", 16, 11, 4, Blue},       {"HARD", 16, 11, 4, Blue},
    {"NETWORK", 16, 11, 4, Blue},      {"CDROM", 16, 11, 4, Blue},
    {"RAM", 16, 11, 4, Blue},          {"OPENFOLDER", 16, 15, 4, Blue},
    {"CLOSEDFOLDER", 16, 15, 4, Blue}, {"CURRENTFOLDER", 16, 15, 4, Blue},
    {"EXECUTABLE", 16, 15, 4, Blue},   {"UNKNOWNFILE", 16, 15, 4, Blue},
    {"GLYPH_ADD", 20, 16, 4, Olive},   {"GLYPH_REMOVE", 16, 16, 4, Magenta},
    {"GLYPH_UP", 16, 16, 8, Olive},    {"GLYPH_DOWN", 16, 16, 8, Olive},
    {"GLYPH_CLEAR", 16, 16, 4, Olive},
};

HINSTANCE Program() {
    return GetModuleHandleA(nullptr);
}

std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int width, int height) {
    const UniqueDc dc(CreateCompatibleDC(nullptr));
    const auto select = SelectedInto(dc.get(), bitmap);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc.get(), x, y));
    return pixels;
}

TEST(Resources, EveryGlyphHasItsSizeDepthAndBottomLeftTransparentColour) {
    for (const Glyph& glyph : Glyphs) {
        SCOPED_TRACE(glyph.name);
        EXPECT_TRUE(UniqueBitmap(LoadBitmapA(Program(), glyph.name)));
        UniqueBitmap dib(static_cast<HBITMAP>(
            LoadImageA(Program(), glyph.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (!dib) {
            ADD_FAILURE() << "not found";
            continue;
        }
        BITMAP info{};
        GetObjectA(dib.get(), sizeof info, &info);
        EXPECT_EQ(info.bmWidth, glyph.width);
        EXPECT_EQ(info.bmHeight, glyph.height);
        EXPECT_EQ(info.bmBitsPixel, glyph.bitsPerPixel);

        const auto pixels = PixelsOf(dib.get(), info.bmWidth, info.bmHeight);
        const COLORREF bottomLeft = pixels[pixels.size() - info.bmWidth];
        EXPECT_EQ(bottomLeft, glyph.transparent);
        // A picture, not an empty square of the transparent colour.
        const auto drawn = std::count_if(pixels.begin(), pixels.end(),
                                         [&](COLORREF pixel) { return pixel != bottomLeft; });
        EXPECT_GE(drawn * 5, static_cast<std::ptrdiff_t>(pixels.size()));
    }
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR first) {
    *reinterpret_cast<std::string*>(first) = IS_INTRESOURCE(name) ? "#" : name;
    return FALSE;
}

// The icon image the system picks for a size, as stored: its header tells the colour depth.
const BITMAPINFOHEADER* StoredIconImage(const char* name, int size) {
    HRSRC group = FindResourceA(Program(), name, RT_GROUP_ICON);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Program(), group)));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(Program(), MAKEINTRESOURCEA(id), RT_ICON);
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Program(), image)));
}

// The glyph's pixels, drawn over white.
std::vector<COLORREF> DrawnPixels(const reelbond::Glyph& glyph) {
    const reelbond::test::Canvas canvas(glyph.Width(), glyph.Height());
    const RECT all{0, 0, glyph.Width(), glyph.Height()};
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    glyph.Draw(canvas.dc(), 0, 0);
    return canvas.Pixels();
}

// Denser screens get the art with each pixel a block of whole pixels: at 200 % exactly two by
// two, at 150 % with no colour the art does not have; the transparent colour stays unpainted.
TEST(Resources, GlyphsEnlargePixelByPixel) {
    for (const Glyph& glyph : Glyphs) {
        SCOPED_TRACE(glyph.name);
        const reelbond::Glyph art(glyph.name), twice(glyph.name, 192), half(glyph.name, 144);
        ASSERT_EQ(twice.Width(), glyph.width * 2);
        ASSERT_EQ(twice.Height(), glyph.height * 2);
        EXPECT_EQ(half.Width(), MulDiv(glyph.width, 3, 2));
        EXPECT_EQ(half.Height(), MulDiv(glyph.height, 3, 2));
        const std::vector<COLORREF> artPixels = DrawnPixels(art);
        const std::vector<COLORREF> twicePixels = DrawnPixels(twice);
        for (int y = 0; y < twice.Height(); ++y)
            for (int x = 0; x < twice.Width(); ++x)
                ASSERT_EQ(twicePixels[y * twice.Width() + x],
                          artPixels[y / 2 * art.Width() + x / 2])
                    << x << "," << y;
        const std::set<COLORREF> colours(artPixels.begin(), artPixels.end());
        for (const COLORREF colour : DrawnPixels(half))
            ASSERT_TRUE(colours.count(colour)) << std::hex << colour;
    }
}

// Takes every GDI handle the process can get but a few, for the scope's lifetime.
class HandlesUsedUp {
public:
    explicit HandlesUsedUp(std::size_t spare) {
        while (held_.size() < 1'000'000) {
            UniqueBitmap bitmap(CreateBitmap(1, 1, 1, 1, nullptr));
            if (!bitmap)
                break;
            held_.push_back(std::move(bitmap));
        }
        held_.resize(held_.size() - std::min(spare, held_.size()));
    }

private:
    std::vector<UniqueBitmap> held_;
};

// When GDI handles run out while a glyph is made, it fails: no glyph that draws as nothing, or
// as part of itself, with nothing said. (Its disabled look can still come out blank: Wine's
// ImageList_GetIcon draws the icon into a device context it does not check.)
TEST(Resources, GlyphsAreMadeWholeOrFailWhenHandlesRunOut) {
    const std::vector<COLORREF> whole = DrawnPixels(reelbond::Glyph("GLYPH_ADD", 192));
    int failures = 0;
    for (std::size_t spare = 0; spare <= 16; ++spare) {
        std::optional<reelbond::Glyph> made;
        try {
            const HandlesUsedUp usedUp(spare);
            made.emplace("GLYPH_ADD", 192);
        } catch (const std::exception&) {
            ++failures;
            continue;
        }
        EXPECT_TRUE(DrawnPixels(*made) == whole)
            << "drawn otherwise with " << spare << " handles to spare";
    }
    EXPECT_GT(failures, 0) << "the handles never ran out";
    EXPECT_LT(failures, 17) << "no glyph was made even with handles to spare";
}

TEST(Resources, MainIconIsTheFirstIconAndHas32By32In16Colours) {
    std::string firstIcon;
    EnumResourceNamesA(Program(), RT_GROUP_ICON, KeepFirstName,
                       reinterpret_cast<LONG_PTR>(&firstIcon));
    EXPECT_EQ(firstIcon, "MAINICON");

    EXPECT_NE(LoadIconA(Program(), "MAINICON"), nullptr);
    UniqueIcon icon(static_cast<HICON>(LoadImageA(Program(), "MAINICON", IMAGE_ICON, 32, 32, 0)));
    ICONINFO parts{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &parts));
    UniqueBitmap colour(parts.hbmColor), mask(parts.hbmMask);
    BITMAP info{};
    GetObjectA(colour.get(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 32);
    EXPECT_EQ(info.bmHeight, 32);

    const BITMAPINFOHEADER* stored = StoredIconImage("MAINICON", 32);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->biWidth, 32);
    EXPECT_EQ(stored->biHeight, 2 * 32); // colour image and mask
    EXPECT_EQ(stored->biBitCount, 4);
}

// What Explorer shows in the file's properties. version.dll is loaded by hand so that
// nothing is linked into the tests that the program itself does without.
class VersionInfo {
public:
    VersionInfo() {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        HMODULE library = LoadLibraryA("version.dll");
        const auto sizeOf =
            Function<decltype(&GetFileVersionInfoSizeA)>(library, "GetFileVersionInfoSizeA");
        const auto read = Function<decltype(&GetFileVersionInfoA)>(library, "GetFileVersionInfoA");
        query_ = Function<decltype(&VerQueryValueA)>(library, "VerQueryValueA");
        data_.resize(sizeOf(path, nullptr));
        read(path, 0, static_cast<DWORD>(data_.size()), data_.data());
    }

    std::string Text(const std::string& name) const {
        const std::string key = "\\StringFileInfo\\040904B0\\" + name;
        const auto* text = static_cast<const char*>(Value(key.c_str()));
        return text ? text : "";
    }

    VS_FIXEDFILEINFO Fixed() const {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Value("\\"));
        return fixed ? *fixed : VS_FIXEDFILEINFO{};
    }

private:
    const void* Value(const char* key) const {
        void* value = nullptr;
        UINT length = 0;
        return !data_.empty() && query_(data_.data(), key, &value, &length) ? value : nullptr;
    }

    template <typename Pointer> static Pointer Function(HMODULE library, const char* name) {
        return reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    }

    std::vector<char> data_;
    decltype(&VerQueryValueA) query_ = nullptr;
};

TEST(Resources, VersionResourceSays101) {
    const VersionInfo version;
    EXPECT_EQ(version.Text("ProductName"), "Reelbond");
    EXPECT_EQ(version.Text("FileDescription"), "Reelbond - joins MPEG video files");
    EXPECT_EQ(version.Text("FileVersion"), "1.01");
    EXPECT_EQ(version.Text("ProductVersion"), "1.01");
    EXPECT_EQ(version.Text("OriginalFilename"), "Reelbond.exe");
    EXPECT_EQ(version.Text("CompanyName"), "The Reelbond developers");

    const VS_FIXEDFILEINFO fixed = version.Fixed();
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00010000u);
}

} // namespace
