// Colour arithmetic and canvas routines shared by the header panel and the glyph
// button.
//
// Colours may name system colours; every routine resolves them before doing
// arithmetic. Routines draw on the canvas they are given with its current origin
// and clip; off-screen images they make are freed before they return, also when
// drawing raises. None of them keeps state between calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Graphics.h"

// Per channel (A * Alpha + B * (255 - Alpha)) >> 8, so Alpha 255 gives A scaled by
// 255/256. Alpha must lie in 0..255.
TColor BlendColors(TColor A, TColor B, int32_t Alpha);
// Per channel C2 * Ratio + (1 - Ratio) * C1, rounded half to even.
TColor MixColors(TColor C1, TColor C2, double Ratio);

// One line per row from Start (first row) toward End (never reached).
void DrawGradient(TCanvas* Canvas, const TRect& Rect, TColor Start, TColor End);
// Rows from TopColor toward BaseColor, the first HighlightRows washed toward white
// and a white sheen centred horizontally; one off-screen image, one draw.
void DrawGlossyGradient(TCanvas* Canvas, const TRect& Rect, TColor TopColor, TColor BaseColor,
                        int32_t HighlightRows);
// Whitens the upper rows (Rect.Bottom div 2 of them at most) of what the canvas
// already holds: alpha 150 in the first row, 7 less in each next, until below 0.
void DrawGlass(TCanvas* Canvas, const TRect& Rect);

// One line, vertically centred, ended with an ellipsis, transparent background;
// without NoPrefix an ampersand underlines the next character.
void DrawTextRect(TCanvas* Canvas, const TRect& Rect, TAlignment Alignment, bool NoPrefix,
                  const std::u16string& Text);
// As DrawTextRect, left-aligned with ampersands shown as they are.
void DrawCaptionText(TCanvas* Canvas, const TRect& Rect, const std::u16string& Text,
                     bool RightToLeft);
// Embossed text: highlight one pixel right and down, then shadow in place. The
// canvas font colour is left at clBtnShadow.
void DrawDisabledText(TCanvas* Canvas, const TRect& Rect, const std::string& Text, bool NoPrefix,
                      TAlignment Alignment);

// Turns a glyph grey in place: 24 and 32 bits average their three channels, 4 bits
// become the embossed look of classic disabled buttons (and 24 bits deep), other
// formats stay as they are.
void MakeDisabledGlyph(TBitmap* Bitmap);
// Draws a glyph; a 32-bit one is blended over the canvas by its fourth byte with
// BlendColors, any other is drawn keyed when it is marked transparent.
void DrawGlyph(TCanvas* Canvas, int32_t X, int32_t Y, const TBitmap* Bitmap);
// Draws one of the program's embedded bitmaps keyed by KeyColor. An unknown name
// raises Exception.
void DrawResourceBitmap(TCanvas* Canvas, int32_t X, int32_t Y, TColor KeyColor,
                        const std::string& Name);
// A copy of an embedded bitmap (24 bits), or nullptr when there is none by that name.
std::unique_ptr<TBitmap> LoadResourceBitmap(const std::string& Name);

class TMaskProvider {
 public:
  static TColor BlendColors(TColor A, TColor B, int32_t Alpha) {
    return ::BlendColors(A, B, Alpha);
  }
};

class TDrawProvider {
 public:
  // The button's variant: a 32-bit glyph is combined per channel as
  // min(255, Round(src * a / 255) + Round((1 - a / 255) * dst)).
  static void DrawGlyph(TCanvas* Canvas, int32_t X, int32_t Y, const TBitmap* Bitmap);
};
