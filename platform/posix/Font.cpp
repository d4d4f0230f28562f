// FreeType + fontconfig font engine (see platform/Font.h).
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <stdexcept>
#include <unordered_map>

#include "platform/Font.h"
#include "platform/Utf8.h"

namespace platform {

namespace {

class FtLibrary {
 public:
  FtLibrary() {
    if (FT_Init_FreeType(&FLib) != 0) throw std::runtime_error("FreeType cannot start");
  }
  ~FtLibrary() { FT_Done_FreeType(FLib); }
  FT_Library Get() const { return FLib; }

 private:
  FT_Library FLib = nullptr;
};

// The library and the faces live until the process ends: never destroyed, so no
// exit-time destructor order can free the library before a face.
FT_Library Library() {
  static FtLibrary* lib = new FtLibrary;
  return lib->Get();
}

struct Resolved {
  std::string file;
  int index = 0;
  std::u16string family;
  bool needBold = false, needItalic = false;  // the file lacks the style: synthesise it
};

// Asks fontconfig for the best file; an unknown family yields its default sans face.
Resolved Resolve(const FontRequest& request) {
  static FcConfig* config = FcInitLoadConfigAndFonts();
  Resolved out;
  FcPattern* pat = FcPatternCreate();
  const std::string family = utf::ToUtf8(request.name);
  if (!family.empty())
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  FcPatternAddInteger(pat, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pat, &result);
  FcPatternDestroy(pat);
  if (match) {
    FcChar8* file = nullptr;
    FcChar8* fam = nullptr;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
      out.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
    if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch)
      out.family = utf::ToUtf16(reinterpret_cast<const char*>(fam));
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    out.needBold = request.bold && weight < FC_WEIGHT_DEMIBOLD;
    out.needItalic = request.italic && slant == FC_SLANT_ROMAN;
    FcPatternDestroy(match);
  }
  return out;
}

class FtFace final : public FontFace {
 public:
  explicit FtFace(const FontRequest& request) {
    Resolved r = Resolve(request);
    FFamily = r.family;
    if (r.file.empty() || FT_New_Face(Library(), r.file.c_str(), r.index, &FFace) != 0)
      throw std::runtime_error("no usable font file for \"" + utf::ToUtf8(request.name) + "\"");
    FT_Select_Charmap(FFace, FT_ENCODING_UNICODE);
    FBold = r.needBold;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
    const double upem = FFace->units_per_EM ? FFace->units_per_EM : 2048;
    double winAsc = os2 ? os2->usWinAscent : FFace->ascender;
    double winDesc = os2 ? os2->usWinDescent : -FFace->descender;
    if (winAsc + winDesc <= 0) {
      winAsc = upem * 0.8;
      winDesc = upem * 0.2;
    }
    // GDI: a negative height is the em size, a positive one the cell height.
    double em = request.height < 0   ? -request.height
                : request.height > 0 ? request.height * upem / (winAsc + winDesc)
                                  : 12.0;
    const int emPx = std::max(1, int(std::lround(em)));
    FT_Set_Pixel_Sizes(FFace, 0, emPx);
    const double scale = emPx / upem;
    FMetrics.ascent = int(std::ceil(winAsc * scale - 1e-6));
    FMetrics.descent = int(std::ceil(winDesc * scale - 1e-6));
    FMetrics.height = FMetrics.ascent + FMetrics.descent;
    FMetrics.internalLeading = std::max(0, FMetrics.height - emPx);
    const double hheaLine = FFace->height;  // ascender - descender + line gap
    FMetrics.externalLeading = std::max(0, int(std::lround((hheaLine - winAsc - winDesc) * scale)));
    const double avg = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
    FMetrics.aveCharWidth = std::max(1, int(std::lround(avg * scale))) + (FBold ? 1 : 0);
    if (r.needItalic) {
      FT_Matrix shear = {0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Set_Transform(FFace, &shear, nullptr);
    }
  }
  ~FtFace() override {
    if (FFace) FT_Done_Face(FFace);
  }

  const FontMetrics& Metrics() const override { return FMetrics; }
  std::u16string FamilyName() const override { return FFamily; }


 private:
  Glyph Render(char16_t ch) override {
    Glyph g;
    const FT_UInt index = FT_Get_Char_Index(FFace, ch);
    if (FT_Load_Glyph(FFace, index, FT_LOAD_TARGET_MONO) != 0) return g;
    FT_GlyphSlot slot = FFace->glyph;
    FT_Pos extra = 0;
    if (FBold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Embolden(&slot->outline, 64);
      extra = 64;
    }
    g.advance = int32_t((slot->advance.x + extra + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = FMetrics.ascent - slot->bitmap_top;
    g.w = int32_t(bm.width);
    g.h = int32_t(bm.rows);
    g.mask.assign(size_t(g.w) * g.h, 0);
    for (int32_t y = 0; y < g.h; ++y) {
      const uint8_t* row = bm.buffer + y * bm.pitch;
      for (int32_t x = 0; x < g.w; ++x) {
        const bool ink = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7))) & 1
                                                             : row[x] >= 128;
        g.mask[size_t(y) * g.w + x] = ink ? 1 : 0;
      }
    }
    return g;
  }

  FT_Face FFace = nullptr;
  FontMetrics FMetrics;
  std::u16string FFamily;
  bool FBold = false;
};

}  // namespace

FontFace* OpenFontFace(const FontRequest& request) {
  static auto* cache = new std::vector<std::pair<FontRequest, FtFace*>>;
  for (auto& [k, face] : *cache)
    if (k == request) return face;
  cache->emplace_back(request, new FtFace(request));
  return cache->back().second;
}

}  // namespace platform
