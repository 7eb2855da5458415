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

using reelbond::UniqueBitmap;

// Every bitmap of the program's resources: drive and folder glyphs, button glyphs.
const char* const Glyphs[] = {"FLOPPY",     "HARD",         "NETWORK",      "CDROM",
                              "RAM",        "OPENFOLDER",   "CLOSEDFOLDER", "CURRENTFOLDER",
                              "GLYPH_ADD",  "GLYPH_REMOVE", "GLYPH_UP",     "GLYPH_DOWN",
                              "GLYPH_CLEAR"};

HINSTANCE Program() {
    return GetModuleHandleA(nullptr);
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR first) {
    *reinterpret_cast<std::string*>(first) = IS_INTRESOURCE(name) ? "#" : name;
    return FALSE;
}

// The glyph's pixels, drawn over white.
std::vector<COLORREF> DrawnPixels(const reelbond::Glyph& glyph) {
    const reelbond::test::Canvas canvas(glyph.Width(), glyph.Height());
    const RECT all{0, 0, glyph.Width(), glyph.Height()};
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    glyph.Draw(canvas.dc(), 0, 0);
    return canvas.Pixels();
}

// Drawn over white, each glyph leaves its ground (the colour of its bottom-left pixel)
// unpainted and draws a picture, not an empty square.
TEST(Resources, EveryGlyphDrawsItsArtOnAnUnpaintedGround) {
    for (const char* name : Glyphs) {
        SCOPED_TRACE(name);
        const reelbond::Glyph glyph(name);
        const std::vector<COLORREF> pixels = DrawnPixels(glyph);
        EXPECT_EQ(pixels[pixels.size() - glyph.Width()], RGB(255, 255, 255));
        const auto drawn = std::count(pixels.begin(), pixels.end(), RGB(255, 255, 255));
        EXPECT_LE(drawn * 5, static_cast<std::ptrdiff_t>(pixels.size()) * 4);
    }
}

// Denser screens get the art with each pixel a block of whole pixels: at 200 % exactly two by
// two, at 150 % with no colour the art does not have; the transparent colour stays unpainted.
TEST(Resources, GlyphsEnlargePixelByPixel) {
    for (const char* name : Glyphs) {
        SCOPED_TRACE(name);
        const reelbond::Glyph art(name), twice(name, 192), half(name, 144);
        ASSERT_EQ(twice.Width(), art.Width() * 2);
        ASSERT_EQ(twice.Height(), art.Height() * 2);
        EXPECT_EQ(half.Width(), MulDiv(art.Width(), 3, 2));
        EXPECT_EQ(half.Height(), MulDiv(art.Height(), 3, 2));
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

// Explorer shows the first icon group as the program's icon.
TEST(Resources, MainIconIsTheFirstIcon) {
    std::string firstIcon;
    EnumResourceNamesA(Program(), RT_GROUP_ICON, KeepFirstName,
                       reinterpret_cast<LONG_PTR>(&firstIcon));
    EXPECT_EQ(firstIcon, "MAINICON");
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

// Explorer shows the numbers, the about box and the package the text: they must agree
// (1, 0, 1, 0 is "1.01").
TEST(Resources, VersionNumbersAndTextAgree) {
    const VersionInfo version;
    const VS_FIXEDFILEINFO fixed = version.Fixed();
    ASSERT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
    EXPECT_EQ(fixed.dwProductVersionLS, fixed.dwFileVersionLS);
    EXPECT_EQ(std::to_string(HIWORD(fixed.dwFileVersionMS)) + "." +
                  std::to_string(LOWORD(fixed.dwFileVersionMS)) +
                  std::to_string(HIWORD(fixed.dwFileVersionLS)),
              version.Text("FileVersion"));
    EXPECT_EQ(version.Text("ProductVersion"), version.Text("FileVersion"));
}

} // namespace
