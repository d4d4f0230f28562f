// The window's glyph images: 24-bit device-independent bitmaps drawn from the
// pixel art in Glyphs.cpp.
//
// Option glyphs are 24 by 24 with pure red (0x0000FF) in the three cut-off
// pixels of each corner and nowhere else; the close glyph is 16 by 16 on a white
// background (its bottom-left pixel), with a grey diagonal cross.
#pragma once

#include <memory>

#include "framework/Graphics.h"

enum class TOptionGlyph { x64, x86 };

std::unique_ptr<TBitmap> MakeOptionGlyph(TOptionGlyph Which);
std::unique_ptr<TBitmap> MakeCloseGlyph();
