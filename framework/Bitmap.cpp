// TBitmap: pixel memory, formats, palette, transparency, file loading and saving.
#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/Graphics.h"
#include "framework/Raster.h"
#include "platform/PixelMemory.h"

namespace raster {

int BitsPerPixel(TPixelFormat pf) {
  switch (pf) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

uint8_t NearestIndex(const std::vector<TColor>& palette, uint32_t n) {
  // Palette writes come in runs of one colour; remember the last answer.
  static thread_local const TColor* lastPal = nullptr;
  static thread_local size_t lastSize = 0;
  static thread_local uint32_t lastN = 0;
  static thread_local uint8_t lastIndex = 0;
  if (palette.data() == lastPal && palette.size() == lastSize && n == lastN) return lastIndex;
  int best = 0;
  int64_t bestD = std::numeric_limits<int64_t>::max();
  const int r = (n >> 16) & 0xFF, g = (n >> 8) & 0xFF, b = n & 0xFF;
  for (size_t i = 0; i < palette.size() && i < 256; ++i) {
    const TColor c = palette[i];
    const int dr = GetRValue(c) - r, dg = GetGValue(c) - g, db = GetBValue(c) - b;
    const int64_t d = int64_t(dr) * dr + int64_t(dg) * dg + int64_t(db) * db;
    if (d < bestD) {
      bestD = d;
      best = int(i);
      if (d == 0) break;
    }
  }
  lastPal = palette.data();
  lastSize = palette.size();
  lastN = n;
  lastIndex = uint8_t(best);
  return lastIndex;
}

}  // namespace raster

namespace {

std::vector<TColor> DefaultPalette(TPixelFormat pf) {
  std::vector<TColor> p;
  switch (pf) {
    case pf1bit:
      p = {clBlack, clWhite};
      break;
    case pf4bit:  // the sixteen VGA colours
      p = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
           0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
      break;
    case pf8bit:  // a 6x6x6 colour cube and 40 greys
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b) p.push_back(RGB(r * 51, g * 51, b * 51));
      for (int i = 0; i < 40; ++i) p.push_back(RGB(i * 255 / 39, i * 255 / 39, i * 255 / 39));
      break;
    default:
      break;
  }
  return p;
}

int32_t StrideOf(int32_t w, int bpp) {
  return int32_t(((int64_t(w) * bpp + 31) / 32) * 4);
}

uint32_t Le16(const uint8_t* p) {
  return p[0] | p[1] << 8;
}
uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

constexpr int32_t kMaxSide = 32768;
constexpr int64_t kMaxBytes = int64_t(1) << 30;

}  // namespace

struct TBitmap::Storage {
  std::unique_ptr<platform::PixelMemory> memory;
  uint8_t* bits = nullptr;
  bool dcHandedOut = false;  // GDI may have drawing queued: flush before touching pixels
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int32_t width, int32_t height, TPixelFormat pf) {
  FPixelFormat = pf == pfDevice ? pf32bit : pf;
  FPalette = DefaultPalette(FPixelFormat);
  Allocate(width, height, FPixelFormat, false);
}

TBitmap::~TBitmap() = default;

void TBitmap::Allocate(int32_t w, int32_t h, TPixelFormat pf, bool keep) {
  if (w < 0 || h < 0 || w > kMaxSide || h > kMaxSide)
    throw EInvalidGraphic(Format("Bitmap size %dx%d is out of range", w, h));
  const int bpp = raster::BitsPerPixel(pf);
  const int32_t stride = StrideOf(w, bpp);
  const int64_t bytes = int64_t(stride) * h;
  if (bytes > kMaxBytes) throw EOutOfResources(Format("Bitmap of %dx%d is too large", w, h));
  std::unique_ptr<Storage> next;
  if (w > 0 && h > 0) {
    next = std::make_unique<Storage>();
    try {
      next->memory = platform::AllocatePixelMemory(w, h, bpp, size_t(bytes));
    } catch (const std::bad_alloc&) {
      throw EOutOfResources(Format("Out of memory for a %dx%d bitmap", w, h));
    }
    next->bits = next->memory->Bits();
  }
  const int32_t oldW = FWidth, oldH = FHeight;
  std::unique_ptr<Storage> old = std::move(FStorage);
  FStorage = std::move(next);
  FWidth = w;
  FHeight = h;
  FStride = stride;
  FPixelFormat = pf;
  if (!FStorage) return;
  // New pixels are white, as the platform's fresh bitmaps; kept ones are copied by row.
  const int32_t keepW = keep && old ? std::min(w, oldW) : 0;
  const int32_t keepH = keep && old ? std::min(h, oldH) : 0;
  const uint32_t white = 0xFFFFFF;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = ScanLine(y);
    if (pf == pf32bit) {
      std::fill_n(reinterpret_cast<uint32_t*>(row), w, white);
    } else if (pf == pf24bit) {
      std::memset(row, 0xFF, size_t(w) * 3);
    } else {
      for (int32_t x = 0; x < w; ++x) raster::Write(*this, x, y, white);
    }
  }
  if (keepW > 0 && keepH > 0) {
    const int32_t oldStride = StrideOf(oldW, bpp);
    for (int32_t y = 0; y < keepH; ++y) {
      const uint8_t* src = old->bits + size_t(oldH - 1 - y) * oldStride;
      uint8_t* dst = ScanLine(y);
      if (bpp >= 8) {
        std::memcpy(dst, src, size_t(keepW) * (bpp / 8));
      } else {
        for (int32_t x = 0; x < keepW; ++x) {
          const int shift = bpp == 1 ? 7 - (x & 7) : (x & 1 ? 0 : 4);
          const int mask = (1 << bpp) - 1;
          const int idx = bpp == 1 ? x >> 3 : x >> 1;
          const uint8_t v = uint8_t((src[idx] >> shift) & mask);
          dst[idx] = uint8_t((dst[idx] & ~(mask << shift)) | (v << shift));
        }
      }
    }
  }
}

void TBitmap::Assign(const TBitmap* src) {
  if (src == this) return;
  if (!src) {
    FStorage.reset();
    FWidth = FHeight = FStride = 0;
  } else {
    FPalette = src->FPalette;
    Allocate(src->FWidth, src->FHeight, src->FPixelFormat, false);
    if (FStorage && src->FStorage) {
      if (src->FStorage->dcHandedOut) src->FStorage->memory->Flush();
      std::memcpy(FStorage->bits, src->FStorage->bits, size_t(FStride) * FHeight);
    }
    FTransparent = src->FTransparent;
    FTransparentColor = src->FTransparentColor;
  }
  Changed();
}

void TBitmap::SetWidth(int32_t w) {
  SetSize(w, FHeight);
}
void TBitmap::SetHeight(int32_t h) {
  SetSize(FWidth, h);
}

void TBitmap::SetSize(int32_t w, int32_t h) {
  if (w == FWidth && h == FHeight) return;
  if (FPalette.empty()) FPalette = DefaultPalette(FPixelFormat);
  Allocate(w, h, FPixelFormat, true);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
  if (pf == pfDevice) pf = pf32bit;
  if (pf == FPixelFormat) return;
  if (Empty()) {
    FPixelFormat = pf;
    FPalette = DefaultPalette(pf);
    FStride = StrideOf(FWidth, raster::BitsPerPixel(pf));
    Changed();
    return;
  }
  TBitmap old;
  old.Assign(this);
  FPalette = DefaultPalette(pf);
  Allocate(FWidth, FHeight, pf, false);
  for (int32_t y = 0; y < FHeight; ++y)
    for (int32_t x = 0; x < FWidth; ++x) raster::Write(*this, x, y, raster::Read(old, x, y));
  Changed();
}

uint8_t* TBitmap::ScanLine(int32_t row) {
  if (!FStorage || row < 0 || row >= FHeight)
    throw EInvalidGraphic(Format("Scan line index %d out of range", row));
  if (FStorage->dcHandedOut) FStorage->memory->Flush();
  return FStorage->bits + size_t(FHeight - 1 - row) * FStride;
}

const uint8_t* TBitmap::ScanLine(int32_t row) const {
  return const_cast<TBitmap*>(this)->ScanLine(row);
}

void TBitmap::SetPalette(const std::vector<TColor>& p) {
  FPalette = p;
  Changed();
}

void TBitmap::SetTransparent(bool v) {
  if (FTransparent == v) return;
  FTransparent = v;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  return GetPixel(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor v) {
  if (FTransparentColor == v) return;
  FTransparentColor = v;
  Changed();
}

TColor TBitmap::GetPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
  return raster::ColorOf(raster::Read(*this, x, y));
}

void TBitmap::SetPixel(int32_t x, int32_t y, TColor c) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  raster::Write(*this, x, y, raster::NativeOf(c));
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(this);
  return FCanvas.get();
}

void* TBitmap::NativeDC() {
  if (!FStorage) return nullptr;
  void* dc = FStorage->memory->DeviceContext();
  if (dc) FStorage->dcHandedOut = true;
  return dc;
}

// ---------------------------------------------------------------- file format

void TBitmap::LoadFromBytes(const uint8_t* data, size_t size) {
  if (!data || size < 12) throw EInvalidGraphic("Bitmap data is truncated: no header");
  size_t info = 0;    // offset of the info header
  size_t bitsAt = 0;  // offset of the pixels, 0: right after the palette
  if (data[0] == 'B' && data[1] == 'M') {
    if (size < 14 + 12) throw EInvalidGraphic("Bitmap file is truncated: no info header");
    info = 14;
    bitsAt = Le32(data + 10);
  }
  const uint32_t hsize = Le32(data + info);
  int64_t w = 0, h = 0;
  uint32_t bpp = 0, compression = 0, colorsUsed = 0;
  bool core = false;
  if (hsize == 12) {
    core = true;
    w = Le16(data + info + 4);
    h = int16_t(Le16(data + info + 6));
    bpp = Le16(data + info + 10);
  } else if (hsize >= 40 && hsize <= 1024) {
    if (info + hsize > size)
      throw EInvalidGraphic("Bitmap data is truncated: incomplete info header");
    w = int32_t(Le32(data + info + 4));
    h = int32_t(Le32(data + info + 8));
    bpp = Le16(data + info + 14);
    compression = Le32(data + info + 16);
    colorsUsed = Le32(data + info + 32);
  } else {
    throw EInvalidGraphic(Format("Unsupported bitmap header size %u", hsize));
  }
  if (info + hsize > size)
    throw EInvalidGraphic("Bitmap data is truncated: incomplete info header");
  if (compression == 1 || compression == 2)
    throw EInvalidGraphic(
        Format("Unsupported bitmap compression: RLE%d", compression == 1 ? 8 : 4));
  if (compression != 0 && compression != 3)
    throw EInvalidGraphic(Format("Unsupported bitmap compression %u", compression));
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
    throw EInvalidGraphic(Format("Unsupported bitmap depth: %u bits per pixel", bpp));
  if (compression == 3 && bpp != 32)
    throw EInvalidGraphic("Unsupported bitmap compression: bit fields");
  const bool topDown = h < 0;
  if (topDown) h = -h;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide)
    throw EInvalidGraphic(Format("Invalid bitmap size %dx%d", int(w), int(h)));
  size_t pos = info + hsize;
  if (compression == 3) {
    if (hsize == 40) {
      if (pos + 12 > size) throw EInvalidGraphic("Bitmap data is truncated: no colour masks");
      pos += 12;
    }
    if (info + 52 > size) throw EInvalidGraphic("Bitmap data is truncated: no colour masks");
    const uint8_t* masks = data + info + 40;
    if (Le32(masks) != 0xFF0000 || Le32(masks + 4) != 0xFF00 || Le32(masks + 8) != 0xFF)
      throw EInvalidGraphic("Unsupported bitmap colour masks");
  }
  std::vector<TColor> palette;
  if (bpp <= 8) {
    uint32_t n = colorsUsed ? colorsUsed : 1u << bpp;
    if (n > (1u << bpp)) n = 1u << bpp;
    const size_t entry = core ? 3 : 4;
    if (pos + size_t(n) * entry > size)
      throw EInvalidGraphic("Bitmap data is truncated: incomplete palette");
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* e = data + pos + i * entry;
      palette.push_back(RGB(e[2], e[1], e[0]));
    }
    pos += size_t(n) * entry;
    palette.resize(size_t(1) << bpp, clBlack);
  }
  if (bitsAt == 0) bitsAt = pos;
  const TPixelFormat pf = bpp == 1    ? pf1bit
                          : bpp == 4  ? pf4bit
                          : bpp == 8  ? pf8bit
                          : bpp == 24 ? pf24bit
                                      : pf32bit;
  const int32_t stride = StrideOf(int32_t(w), int(bpp));
  const uint64_t need = uint64_t(stride) * uint64_t(h);
  if (bitsAt > size || need > size - bitsAt)
    throw EInvalidGraphic(Format("Bitmap data is truncated: %u bytes of pixels, %u needed",
                                 unsigned(bitsAt > size ? 0 : size - bitsAt), unsigned(need)));
  FPalette = palette;
  Allocate(int32_t(w), int32_t(h), pf, false);
  for (int32_t y = 0; y < FHeight; ++y) {
    const size_t fileRow = topDown ? size_t(y) : size_t(FHeight - 1 - y);
    std::memcpy(ScanLine(y), data + bitsAt + fileRow * stride, size_t(stride));
  }
  Changed();
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
  const int bpp = raster::BitsPerPixel(FPixelFormat);
  const uint32_t colors = bpp <= 8 ? (1u << bpp) : 0;
  const uint32_t offBits = 14 + 40 + colors * 4;
  const uint32_t imageSize = uint32_t(FStride) * FHeight;
  std::vector<uint8_t> out;
  out.reserve(offBits + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offBits + imageSize);
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, uint32_t(FWidth));
  Put32(out, uint32_t(FHeight));
  Put16(out, 1);
  Put16(out, uint32_t(bpp));
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 3780);  // 96 pixels per inch
  Put32(out, 3780);
  Put32(out, colors);
  Put32(out, 0);
  for (uint32_t i = 0; i < colors; ++i) {
    const TColor c = i < FPalette.size() ? FPalette[i] : clBlack;
    out.push_back(GetBValue(c));
    out.push_back(GetGValue(c));
    out.push_back(GetRValue(c));
    out.push_back(0);
  }
  for (int32_t y = FHeight - 1; y >= 0; --y) {
    const uint8_t* row = ScanLine(y);
    out.insert(out.end(), row, row + FStride);
  }
  return out;
}
