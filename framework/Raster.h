// Pixel access shared by the bitmap and canvas code (framework-internal).
//
// Pixels travel as "native" words 0x00RRGGBB, the little-endian reading of a
// 32-bit B, G, R, X pixel, whatever the bitmap's format. Read/Write assume the
// coordinates are inside the bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

namespace raster {

inline uint32_t NativeOf(TColor c) {
  const uint32_t v = static_cast<uint32_t>(ColorToRGB(c));
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
inline TColor ColorOf(uint32_t n) {
  return static_cast<TColor>(((n & 0xFF) << 16) | (n & 0xFF00) | ((n >> 16) & 0xFF));
}

int BitsPerPixel(TPixelFormat pf);
// Index of the palette entry closest to n (squared distance over the channels).
uint8_t NearestIndex(const std::vector<TColor>& palette, uint32_t n);

inline uint32_t Read(const TBitmap& b, int32_t x, int32_t y) {
  const uint8_t* row = b.ScanLine(y);
  switch (b.PixelFormat()) {
    case pf32bit:
    case pfDevice:
      return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    case pf24bit:
      return row[3 * x] | row[3 * x + 1] << 8 | uint32_t(row[3 * x + 2]) << 16;
    case pf8bit: {
      const auto& pal = b.Palette();
      const uint8_t i = row[x];
      return i < pal.size() ? NativeOf(pal[i]) : 0;
    }
    case pf4bit: {
      const auto& pal = b.Palette();
      const uint8_t i = (x & 1) ? row[x >> 1] & 0xF : row[x >> 1] >> 4;
      return i < pal.size() ? NativeOf(pal[i]) : 0;
    }
    case pf1bit: {
      const auto& pal = b.Palette();
      const uint8_t i = (row[x >> 3] >> (7 - (x & 7))) & 1;
      return i < pal.size() ? NativeOf(pal[i]) : (i ? 0xFFFFFF : 0);
    }
  }
  return 0;
}

inline void Write(TBitmap& b, int32_t x, int32_t y, uint32_t n) {
  uint8_t* row = b.ScanLine(y);
  switch (b.PixelFormat()) {
    case pf32bit:
    case pfDevice:
      reinterpret_cast<uint32_t*>(row)[x] = n & 0xFFFFFF;
      return;
    case pf24bit:
      row[3 * x] = uint8_t(n);
      row[3 * x + 1] = uint8_t(n >> 8);
      row[3 * x + 2] = uint8_t(n >> 16);
      return;
    case pf8bit:
      row[x] = NearestIndex(b.Palette(), n);
      return;
    case pf4bit: {
      const uint8_t i = NearestIndex(b.Palette(), n);
      uint8_t& byte = row[x >> 1];
      byte = (x & 1) ? (byte & 0xF0) | i : uint8_t((byte & 0x0F) | i << 4);
      return;
    }
    case pf1bit: {
      const uint8_t i = NearestIndex(b.Palette(), n);
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = i ? row[x >> 3] | bit : row[x >> 3] & ~bit;
      return;
    }
  }
}

}  // namespace raster
