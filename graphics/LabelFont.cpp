#include "graphics/LabelFont.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>
#include <mutex>

namespace kv {

namespace {

constexpr const char* kFamily = "Liberation Sans";

// The font file fontconfig picks for the label face (a metric match of the
// family when it is installed, else its nearest sans-serif). A private
// configuration, destroyed afterwards, leaves the process's default one to
// whoever else uses fontconfig.
bool findFontFile(int pixelHeight, std::string& file, int& index, std::string& error) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        error = "fontconfig cannot be initialised";
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFamily));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelHeight);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        found = true;
    }
    if (match) FcPatternDestroy(match);
    FcConfigDestroy(config);
    if (!found) error = std::string("no font for ") + kFamily;
    return found;
}

struct FreeTypeLibrary {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeTypeLibrary() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

bool rasterizeOnce(int pixelHeight, std::vector<GlyphBitmap>& glyphs, std::string& error) {
    std::string file;
    int index = 0;
    if (!findFontFile(pixelHeight, file, index, error)) return false;
    FreeTypeLibrary ft;
    if (FT_Init_FreeType(&ft.library) != 0) {
        error = "FreeType cannot be initialised";
        return false;
    }
    if (FT_New_Face(ft.library, file.c_str(), index, &ft.face) != 0 ||
        FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        error = "the font " + file + " cannot be loaded";
        return false;
    }
    glyphs.assign(LabelFont::kCharCount, GlyphBitmap{});
    for (int i = 0; i < LabelFont::kCharCount; ++i) {
        const FT_ULong code = static_cast<FT_ULong>(LabelFont::kFirstChar + i);
        // One-bit glyphs hinted for that target, as glBitmap draws them.
        if (FT_Load_Char(ft.face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
        const FT_GlyphSlot slot = ft.face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        GlyphBitmap& g = glyphs[static_cast<std::size_t>(i)];
        g.advance = static_cast<float>((slot->advance.x + 32) >> 6);
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO || bm.width == 0 || bm.rows == 0) continue;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.xorig = static_cast<float>(-slot->bitmap_left);
        g.yorig = static_cast<float>(g.height - slot->bitmap_top);
        const int stride = (g.width + 7) / 8;
        g.bits.assign(static_cast<std::size_t>(stride * g.height), 0);
        // FreeType's rows run top to bottom, glBitmap's bottom to top.
        for (int row = 0; row < g.height; ++row) {
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
            unsigned char* dst =
                g.bits.data() + static_cast<std::size_t>((g.height - 1 - row) * stride);
            for (int k = 0; k < stride; ++k) dst[k] = src[k];
        }
    }
    return true;
}

}  // namespace

bool GlyphBitmap::pixel(int x, int row) const {
    if (x < 0 || x >= width || row < 0 || row >= height) return false;
    const int stride = (width + 7) / 8;
    const unsigned char byte = bits[static_cast<std::size_t>(row * stride + x / 8)];
    return (byte >> (7 - x % 8)) & 1;
}

bool LabelFont::rasterize(std::vector<GlyphBitmap>& glyphs, std::string& error, int pixelHeight) {
    if (pixelHeight < 1 || pixelHeight > kMaxPixelHeight) {
        error = "label height " + std::to_string(pixelHeight) + " out of range";
        return false;
    }
    // The glyphs of a height do not change while the program runs: every
    // context shares one rasterisation of each height asked for (a screen
    // has one or two device pixel ratios).
    struct Cache {
        std::vector<GlyphBitmap> glyphs;
        std::string error;
        bool ok = false;
    };
    static std::mutex mutex;
    static std::map<int, Cache> cache;
    const std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(pixelHeight);
    if (it == cache.end()) {
        Cache c;
        c.ok = rasterizeOnce(pixelHeight, c.glyphs, c.error);
        it = cache.emplace(pixelHeight, std::move(c)).first;
    }
    if (!it->second.ok) {
        error = it->second.error;
        return false;
    }
    glyphs = it->second.glyphs;
    return true;
}

bool LabelFont::create(std::string& error, int pixelHeight) {
    destroy();
    std::vector<GlyphBitmap> glyphs;
    if (!rasterize(glyphs, error, pixelHeight)) return false;
    const GLuint base = glGenLists(kCharCount);
    if (base == 0) {
        error = "no display lists for the label font";
        return false;
    }
    // The bitmaps are unpacked when the lists are compiled: byte-aligned rows.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (int i = 0; i < kCharCount; ++i) {
        const GlyphBitmap& g = glyphs[static_cast<std::size_t>(i)];
        glNewList(base + static_cast<GLuint>(i), GL_COMPILE);
        glBitmap(g.width, g.height, g.xorig, g.yorig, g.advance, 0.0f,
                 g.bits.empty() ? nullptr : g.bits.data());
        glEndList();
    }
    glPopClientAttrib();
    base_ = base;
    pixelHeight_ = pixelHeight;
    return true;
}

void LabelFont::destroy() {
    if (base_ != 0) glDeleteLists(base_, kCharCount);
    base_ = 0;
}

}  // namespace kv
