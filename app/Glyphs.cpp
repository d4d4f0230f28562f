#include "app/Glyphs.h"

#include <cstring>
#include <stdexcept>

namespace {

// One character per pixel, top row first. Every character used must be in the
// palette passed along.
struct TPaletteEntry {
  char Key;
  TColor Color;
};

std::unique_ptr<TBitmap> FromArt(const char* const* Rows, int32_t Size,
                                 const TPaletteEntry* Palette, size_t PaletteSize) {
  auto b = std::make_unique<TBitmap>(Size, Size, pf24bit);
  for (int32_t y = 0; y < Size; ++y) {
    if (static_cast<int32_t>(std::strlen(Rows[y])) != Size)
      throw std::logic_error("glyph row of the wrong length");
    for (int32_t x = 0; x < Size; ++x) {
      const char k = Rows[y][x];
      size_t i = 0;
      while (i < PaletteSize && Palette[i].Key != k) ++i;
      if (i == PaletteSize) throw std::logic_error("glyph colour missing from its palette");
      b->SetPixel(x, y, Palette[i].Color);
    }
  }
  return b;
}

// A package box in front of a four-pane window on a blue tile, with a round
// download badge; the badge is green for the 64-bit package and amber for the
// 32-bit one, whose box also carries a smaller label.
const char* const kOptionArt[24] = {
    "..BBBBBBBBBBBBBBBBBBBB..",  //
    ".BllllllllllllllllllllB.",  //
    "BllllllllllllllllllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllllllllllllllllllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwwwllllllB",  //
    "BllwwwwwwlwwwwwggggglllB",  //
    "BllllllllllllggGGGGGgglB",  //
    "BbbbbbbbbbbbbgGGGWGGGgbB",  //
    "BbbbbbbbbbbbbgGGGWGGGgbB",  //
    "BbbbbbbbbbbbgGGGGWGGGGgB",  //
    "BbbbbbbbbbbbgGGWWWWWGGgB",  //
    "BbbbbbbbbbbbbgGGWWWGGgbB",  //
    "BbbbbbbbbbbbbgGGGWGGGgbB",  //
    "BbbbbbbbbbbbbbggGGGggbbB",  //
    ".BbbbbbbbbbbbbbbgggbbbB.",  //
    "..BBBBBBBBBBBBBBBBBBBB..",  //
};

const char* const kCloseArt[16] = {
    "wwwwwwwwwwwwwwww",  //
    "wwwwwwwwwwwwwwww",  //
    "wwwwwwwwwwwwwwww",  //
    "wwwlgwwwwwwglwww",  //
    "wwwgGgwwwwgGgwww",  //
    "wwwwgGgwwgGgwwww",  //
    "wwwwwgGggGgwwwww",  //
    "wwwwwwgGGgwwwwww",  //
    "wwwwwwgGGgwwwwww",  //
    "wwwwwgGggGgwwwww",  //
    "wwwwgGgwwgGgwwww",  //
    "wwwgGgwwwwgGgwww",  //
    "wwwlgwwwwwwglwww",  //
    "wwwwwwwwwwwwwwww",  //
    "wwwwwwwwwwwwwwww",  //
    "wwwwwwwwwwwwwwww",  //
};

}  // namespace

std::unique_ptr<TBitmap> MakeOptionGlyph(TOptionGlyph Which) {
  const bool x64 = Which == TOptionGlyph::x64;
  const TPaletteEntry palette[] = {
      {'.', RGB(255, 0, 0)},  // the cut-off corners: the buttons key this colour out
      {'B', RGB(24, 72, 140)},
      {'l', RGB(66, 133, 214)},
      {'b', RGB(44, 104, 186)},
      {'w', RGB(226, 238, 252)},
      {'W', RGB(255, 255, 255)},
      {'g', x64 ? RGB(22, 112, 40) : RGB(168, 84, 8)},
      {'G', x64 ? RGB(52, 176, 72) : RGB(240, 150, 30)},
  };
  auto b = FromArt(kOptionArt, 24, palette, sizeof palette / sizeof palette[0]);
  if (!x64) {
    // The 32-bit package's window shows two panes fewer: the right column is shut.
    for (int32_t y = 9; y <= 12; ++y)
      for (int32_t x = 10; x <= 16; ++x) b->SetPixel(x, y, RGB(66, 133, 214));
  }
  return b;
}

std::unique_ptr<TBitmap> MakeCloseGlyph() {
  const TPaletteEntry palette[] = {
      {'w', RGB(255, 255, 255)},
      {'G', RGB(96, 96, 96)},
      {'g', RGB(150, 150, 150)},
      {'l', RGB(210, 210, 210)},
  };
  return FromArt(kCloseArt, 16, palette, sizeof palette / sizeof palette[0]);
}
