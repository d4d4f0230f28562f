// The font engine under the canvas: opens a face for a font description, gives its
// metrics, and renders glyphs as one-bit masks (no anti-aliasing, so text pixels
// are exactly the font colour).
//
// Windows: GDI (CreateFontW with the height as given, NONANTIALIASED_QUALITY; each
// glyph is rendered into a small DIB section). Elsewhere: fontconfig resolves the
// face name (an unknown face falls back to the system's sans face) and FreeType
// renders monochrome hinted glyphs. Faces and glyphs are cached for the life of the
// process; everything is for the GUI thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

struct FontRequest {
  std::u16string name;
  int32_t height = -11;  // pixels; negative: em height (without internal leading)
  bool bold = false, italic = false;
  uint8_t charset = 1;
  bool operator==(const FontRequest&) const = default;
};

struct FontMetrics {
  int32_t height = 0;  // ascent + descent
  int32_t ascent = 0, descent = 0;
  int32_t internalLeading = 0, externalLeading = 0;
  int32_t aveCharWidth = 0;
};

// One glyph as a mask relative to the top-left of its character cell (the pen
// position at the cell's top); mask is w*h bytes, 1 = ink.
struct Glyph {
  int32_t advance = 0;
  int32_t left = 0, top = 0, w = 0, h = 0;
  std::vector<uint8_t> mask;
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  virtual const FontMetrics& Metrics() const = 0;
  // Each glyph is rendered once; later calls return the cached mask.
  const Glyph& GetGlyph(char16_t ch) {
    if (ch < FLow.size()) {
      if (!FLow[ch]) FLow[ch] = std::make_unique<Glyph>(Render(ch));
      return *FLow[ch];
    }
    auto it = FHigh.find(ch);
    if (it == FHigh.end()) it = FHigh.emplace(ch, Render(ch)).first;
    return it->second;
  }
  // The family actually used (after fallback).
  virtual std::u16string FamilyName() const = 0;

 protected:
  virtual Glyph Render(char16_t ch) = 0;

 private:
  // Latin and Cyrillic, by code.
  std::vector<std::unique_ptr<Glyph>> FLow = std::vector<std::unique_ptr<Glyph>>(0x500);
  std::unordered_map<char16_t, Glyph> FHigh;
};

// Never fails: an unknown face gives the system's default face. The face lives as
// long as the process.
FontFace* OpenFontFace(const FontRequest& request);

}  // namespace platform
