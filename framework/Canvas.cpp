// TCanvas: the portable software raster (shapes, lines, blits, edges).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/Graphics.h"
#include "framework/Raster.h"

using raster::NativeOf;

namespace {

// Dash patterns of the cosmetic pen styles, in pixels on and off.
struct Dashes {
  int n;
  int len[6];
};
const Dashes& DashesOf(TPenStyle s) {
  static const Dashes kDash{2, {18, 6}}, kDot{2, {3, 3}}, kDashDot{4, {9, 6, 3, 6}},
      kDashDotDot{6, {9, 3, 3, 3, 3, 3}}, kSolid{0, {}};
  switch (s) {
    case psDash:
      return kDash;
    case psDot:
      return kDot;
    case psDashDot:
      return kDashDot;
    case psDashDotDot:
      return kDashDotDot;
    default:
      return kSolid;
  }
}
bool DashOn(const Dashes& d, int step) {
  if (d.n == 0) return true;
  int total = 0;
  for (int i = 0; i < d.n; ++i) total += d.len[i];
  step %= total;
  for (int i = 0; i < d.n; ++i) {
    if (step < d.len[i]) return (i & 1) == 0;
    step -= d.len[i];
  }
  return true;
}

inline uint32_t Rop3(uint8_t idx, uint32_t p, uint32_t s, uint32_t d) {
  switch (idx) {
    case 0x00:
      return 0;
    case 0xFF:
      return 0xFFFFFF;
    case 0xCC:
      return s;
    case 0x66:
      return s ^ d;
    case 0x88:
      return s & d;
    case 0xEE:
      return s | d;
    case 0xF0:
      return p;
    case 0x55:
      return ~d;
    case 0xAA:
      return d;
    case 0x33:
      return ~s;
    case 0x5A:
      return p ^ d;
    case 0xE2:
      return (s & p) | (~s & d);  // DSPDxax
    case 0xB8:
      return (s & d) | (~s & p);  // PSDPxax
    default:
      break;
  }
  // The general case, from the truth table: bit (P<<2 | S<<1 | D) of idx.
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if ((idx >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

// Fills [x0, x1) of a row with one native colour under a pen mode; clipped already.
void Span(TBitmap& b, int32_t y, int32_t x0, int32_t x1, uint32_t n, TPenMode mode) {
  if (x0 >= x1) return;
  if (b.PixelFormat() == pf32bit) {
    uint32_t* p = reinterpret_cast<uint32_t*>(b.ScanLine(y)) + x0;
    const int32_t count = x1 - x0;
    if (mode == pmCopy) {
      std::fill_n(p, count, n);
    } else if (mode == pmXor) {
      for (int32_t i = 0; i < count; ++i) p[i] ^= n;
    } else {
      for (int32_t i = 0; i < count; ++i) p[i] = ~p[i] & 0xFFFFFF;
    }
    return;
  }
  for (int32_t x = x0; x < x1; ++x) {
    uint32_t v = n;
    if (mode == pmXor) v ^= raster::Read(b, x, y);
    if (mode == pmNot) v = ~raster::Read(b, x, y);
    raster::Write(b, x, y, v & 0xFFFFFF);
  }
}

// Reads `count` pixels of a row into out (native words); inside the bitmap.
void ReadRow(const TBitmap& b, int32_t y, int32_t x0, int32_t count, uint32_t* out, bool maskBits) {
  if (b.PixelFormat() == pf32bit) {
    const uint32_t* p = reinterpret_cast<const uint32_t*>(b.ScanLine(y)) + x0;
    for (int32_t i = 0; i < count; ++i) out[i] = p[i] & 0xFFFFFF;
    return;
  }
  if (b.PixelFormat() == pf24bit) {
    const uint8_t* p = b.ScanLine(y) + 3 * x0;
    for (int32_t i = 0; i < count; ++i, p += 3) out[i] = p[0] | p[1] << 8 | uint32_t(p[2]) << 16;
    return;
  }
  if (maskBits && b.PixelFormat() == pf1bit) {  // a mask: 0 black, 1 white
    const uint8_t* row = b.ScanLine(y);
    for (int32_t i = 0; i < count; ++i) {
      const int32_t x = x0 + i;
      out[i] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFF : 0;
    }
    return;
  }
  for (int32_t i = 0; i < count; ++i) out[i] = raster::Read(b, x0 + i, y);
}

void WriteRow(TBitmap& b, int32_t y, int32_t x0, int32_t count, const uint32_t* in) {
  if (b.PixelFormat() == pf32bit) {
    std::memcpy(reinterpret_cast<uint32_t*>(b.ScanLine(y)) + x0, in, size_t(count) * 4);
    return;
  }
  for (int32_t i = 0; i < count; ++i) raster::Write(b, x0 + i, y, in[i]);
}

}  // namespace

// ---------------------------------------------------------------- set-up

TCanvas::TCanvas(TBitmap* target) : FTarget(target) {
  FFont.OnChange = [this](TObject*) { FFace = nullptr; };
}

TCanvas::~TCanvas() = default;

void TCanvas::SetTarget(TBitmap* b) {
  FTarget = b;
  FClipSet = false;
}

TRect TCanvas::DeviceClip() const {
  if (!FTarget) return {};
  const TRect full{0, 0, FTarget->Width(), FTarget->Height()};
  return FClipSet ? IntersectRect(FClip, full) : full;
}

TRect TCanvas::ClipRect() const {
  return DeviceClip().Offset(-FOrigin.X, -FOrigin.Y);
}

void TCanvas::SetClip(const TRect& target_rect) {
  FClip = target_rect;
  FClipSet = true;
}

void TCanvas::ResetClip() {
  FClipSet = false;
}

// ---------------------------------------------------------------- fills

void TCanvas::BrushSpan(int32_t y, int32_t x0, int32_t x1) {
  const TBitmap* pat = FBrush.Bitmap();
  if (pat && !pat->Empty()) {
    // The pattern is anchored at the target's (0, 0), as a brush origin of zero.
    const int32_t pw = pat->Width(), ph = pat->Height();
    const int32_t py = y % ph;
    for (int32_t x = x0; x < x1; ++x) raster::Write(*FTarget, x, y, raster::Read(*pat, x % pw, py));
    return;
  }
  Span(*FTarget, y, x0, x1, NativeOf(FBrush.Color()), pmCopy);
}

void TCanvas::FillRect(const TRect& r) {
  if (FBrush.Style() == bsClear && !FBrush.Bitmap()) return;
  const TRect d = IntersectRect(r.Offset(FOrigin.X, FOrigin.Y), DeviceClip());
  if (d.IsEmpty()) return;
  const TBitmap* pat = FBrush.Bitmap();
  if (FTarget->PixelFormat() == pf32bit && !(pat && !pat->Empty())) {
    // The back buffer's hot path: fill the first row, copy it down.
    const uint32_t n = NativeOf(FBrush.Color());
    uint32_t* first = reinterpret_cast<uint32_t*>(FTarget->ScanLine(d.Top)) + d.Left;
    std::fill_n(first, d.Width(), n);
    for (int32_t y = d.Top + 1; y < d.Bottom; ++y)
      std::memcpy(reinterpret_cast<uint32_t*>(FTarget->ScanLine(y)) + d.Left, first,
                  size_t(d.Width()) * 4);
    return;
  }
  for (int32_t y = d.Top; y < d.Bottom; ++y) BrushSpan(y, d.Left, d.Right);
}

void TCanvas::FrameRect(const TRect& r) {
  if (r.IsEmpty() || (FBrush.Style() == bsClear && !FBrush.Bitmap())) return;
  const TRect dr = r.Offset(FOrigin.X, FOrigin.Y);
  const TRect clip = DeviceClip();
  const TRect sides[4] = {{dr.Left, dr.Top, dr.Right, dr.Top + 1},
                          {dr.Left, dr.Bottom - 1, dr.Right, dr.Bottom},
                          {dr.Left, dr.Top + 1, dr.Left + 1, dr.Bottom - 1},
                          {dr.Right - 1, dr.Top + 1, dr.Right, dr.Bottom - 1}};
  for (const TRect& s : sides) {
    const TRect d = IntersectRect(s, clip);
    for (int32_t y = d.Top; y < d.Bottom; ++y) BrushSpan(y, d.Left, d.Right);
  }
}

// ---------------------------------------------------------------- pen

void TCanvas::PenDot(int32_t dx, int32_t dy) {
  const TRect clip = DeviceClip();
  const int32_t w = std::max(1, FPen.Width());
  const uint32_t n = NativeOf(FPen.Color());
  if (w == 1) {
    if (dx < clip.Left || dx >= clip.Right || dy < clip.Top || dy >= clip.Bottom) return;
    Span(*FTarget, dy, dx, dx + 1, n, FPen.Mode());
    return;
  }
  const TRect d = IntersectRect(Bounds(dx - w / 2, dy - w / 2, w, w), clip);
  for (int32_t y = d.Top; y < d.Bottom; ++y) Span(*FTarget, y, d.Left, d.Right, n, FPen.Mode());
}

void TCanvas::PenLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (!FTarget || FPen.Style() == psClear) return;
  x0 += FOrigin.X;
  x1 += FOrigin.X;
  y0 += FOrigin.Y;
  y1 += FOrigin.Y;
  const int32_t w = std::max(1, FPen.Width());
  const TRect box =
      TRect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1}.Inflate(
          w, w);
  if (IntersectRect(box, DeviceClip()).IsEmpty()) return;
  const Dashes& dashes = DashesOf(FPen.Style());
  // Bresenham; the end point is not drawn.
  const int32_t dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int32_t dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int32_t err = dx + dy;
  int32_t x = x0, y = y0;
  while (x != x1 || y != y1) {
    if (DashOn(dashes, FPenStep++)) PenDot(x, y);
    const int32_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void TCanvas::MoveTo(int32_t x, int32_t y) {
  FPenPos = {x, y};
  FPenStep = 0;
}

void TCanvas::LineTo(int32_t x, int32_t y) {
  PenLine(FPenPos.X, FPenPos.Y, x, y);
  FPenPos = {x, y};
}

void TCanvas::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (!FTarget) return;
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (FPen.Style() == psClear) {
    // Without a pen the platform fills one pixel less to the right and bottom.
    FillRect({l, t, r - 1, b - 1});
    return;
  }
  if (r - l < 1 || b - t < 1) return;
  FillRect({l + 1, t + 1, r - 1, b - 1});
  FPenStep = 0;
  if (r - l == 1 || b - t == 1) {
    // Degenerate: a single line including its end.
    for (int32_t y = t; y < b; ++y)
      for (int32_t x = l; x < r; ++x) PenDot(x + FOrigin.X, y + FOrigin.Y);
    return;
  }
  PenLine(l, t, r - 1, t);
  PenLine(r - 1, t, r - 1, b - 1);
  PenLine(r - 1, b - 1, l, b - 1);
  PenLine(l, b - 1, l, t);
}

// ---------------------------------------------------------------- polygon

void TCanvas::Polygon(const std::vector<TPoint>& pts) {
  if (!FTarget || pts.size() < 2) return;
  const TRect clip = DeviceClip();
  if (clip.IsEmpty()) return;
  if ((FBrush.Style() != bsClear || FBrush.Bitmap()) && pts.size() >= 3) {
    int32_t top = pts[0].Y, bottom = pts[0].Y;
    for (const TPoint& p : pts) {
      top = std::min(top, p.Y);
      bottom = std::max(bottom, p.Y);
    }
    top = std::max(top + FOrigin.Y, clip.Top);
    bottom = std::min(bottom + FOrigin.Y, clip.Bottom);
    std::vector<double> xs;
    for (int32_t y = top; y < bottom; ++y) {
      // Alternate fill: pixel centres between pairs of crossings of the row's centre line.
      const double yc = y + 0.5 - FOrigin.Y;
      xs.clear();
      for (size_t i = 0; i < pts.size(); ++i) {
        const TPoint a = pts[i], b = pts[(i + 1) % pts.size()];
        if (a.Y == b.Y) continue;
        const double lo = std::min(a.Y, b.Y), hi = std::max(a.Y, b.Y);
        if (yc < lo || yc >= hi) continue;
        xs.push_back(a.X + (yc - a.Y) * (b.X - a.X) / double(b.Y - a.Y));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        int32_t x0 = int32_t(std::ceil(xs[i] - 0.5)) + FOrigin.X;
        int32_t x1 = int32_t(std::ceil(xs[i + 1] - 0.5)) + FOrigin.X;
        x0 = std::max(x0, clip.Left);
        x1 = std::min(x1, clip.Right);
        if (x0 < x1) BrushSpan(y, x0, x1);
      }
    }
  }
  FPenStep = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const TPoint a = pts[i], b = pts[(i + 1) % pts.size()];
    PenLine(a.X, a.Y, b.X, b.Y);
  }
}

// ---------------------------------------------------------------- ellipse and pie

void TCanvas::EllipticShape(int32_t l, int32_t t, int32_t r, int32_t b, const double* sector) {
  if (!FTarget) return;
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (r - l < 1 || b - t < 1) return;
  const TRect dev = TRect{l, t, r, b}.Offset(FOrigin.X, FOrigin.Y);
  const TRect d = IntersectRect(dev, DeviceClip());
  if (d.IsEmpty()) return;
  const double cx = (dev.Left + dev.Right) / 2.0, cy = (dev.Top + dev.Bottom) / 2.0;
  const double rx = (dev.Right - dev.Left) / 2.0, ry = (dev.Bottom - dev.Top) / 2.0;
  constexpr double kTwoPi = 6.283185307179586;
  auto inside = [&](int32_t x, int32_t y) {
    if (x < dev.Left || x >= dev.Right || y < dev.Top || y >= dev.Bottom) return false;
    const double px = x + 0.5 - cx, py = y + 0.5 - cy;
    if ((px * px) / (rx * rx) + (py * py) / (ry * ry) > 1.0) return false;
    if (!sector) return true;
    if (std::abs(px) <= 0.5 && std::abs(py) <= 0.5) return true;  // the centre
    double a = std::atan2(-py, px) - sector[0];
    while (a < 0) a += kTwoPi;
    while (a >= kTwoPi) a -= kTwoPi;
    return a <= sector[1] + 1e-9;
  };
  const bool fill = FBrush.Style() != bsClear || FBrush.Bitmap();
  const bool pen = FPen.Style() != psClear;
  for (int32_t y = d.Top; y < d.Bottom; ++y) {
    int32_t run = -1;  // start of a pending brush run
    for (int32_t x = d.Left; x <= d.Right; ++x) {
      const bool in = x < d.Right && inside(x, y);
      const bool edge =
          in && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1));
      const bool body = in && !(edge && pen);
      if (body && run < 0) run = x;
      if (!body && run >= 0) {
        if (fill) BrushSpan(y, run, x);
        run = -1;
      }
      if (edge && pen) Span(*FTarget, y, x, x + 1, NativeOf(FPen.Color()), FPen.Mode());
    }
  }
}

void TCanvas::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
  EllipticShape(l, t, r, b, nullptr);
}

void TCanvas::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2) {
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  const double a1 = std::atan2(cy - y1, x1 - cx), a2 = std::atan2(cy - y2, x2 - cx);
  constexpr double kTwoPi = 6.283185307179586;
  double sweep = a2 - a1;
  while (sweep <= 0) sweep += kTwoPi;  // the same radial twice: the whole ellipse
  const double sector[2] = {a1, sweep};
  EllipticShape(l, t, r, b, sector);
}

// ---------------------------------------------------------------- pixels

TColor TCanvas::Pixel(int32_t x, int32_t y) const {
  const TPoint p{x + FOrigin.X, y + FOrigin.Y};
  if (!DeviceClip().Contains(p)) return clNone;
  return raster::ColorOf(raster::Read(*FTarget, p.X, p.Y));
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor c) {
  const TPoint p{x + FOrigin.X, y + FOrigin.Y};
  if (!DeviceClip().Contains(p)) return;
  raster::Write(*FTarget, p.X, p.Y, NativeOf(c));
}

// ---------------------------------------------------------------- blits

void TCanvas::Blit(int32_t x, int32_t y, int32_t w, int32_t h, const TBitmap* src, int32_t sx,
                   int32_t sy, uint32_t rop, bool keyed, uint32_t key) {
  if (!FTarget || w <= 0 || h <= 0) return;
  const uint8_t idx = uint8_t(rop >> 16);
  const bool useSrc = (((idx >> 2) ^ idx) & 0x33) != 0;
  const bool usePat = (((idx >> 4) ^ idx) & 0x0F) != 0;
  TRect d = IntersectRect(Bounds(x, y, w, h), DeviceClip());
  if (useSrc) {
    if (!src || src->Empty()) return;
    // Keep the source inside its bitmap.
    d = IntersectRect(d, Bounds(x - sx, y - sy, src->Width(), src->Height()));
  }
  if (d.IsEmpty()) return;
  const int32_t n = d.Width();
  const int32_t sx0 = sx + (d.Left - x), sy0 = sy + (d.Top - y);
  // Overlapping copies within one bitmap read from a snapshot of the source.
  std::unique_ptr<TBitmap> snapshot;
  if (useSrc && src == FTarget) {
    snapshot = std::make_unique<TBitmap>(n, d.Height(), pf32bit);
    for (int32_t row = 0; row < d.Height(); ++row)
      ReadRow(*src, sy0 + row, sx0, n, reinterpret_cast<uint32_t*>(snapshot->ScanLine(row)), true);
  }
  auto srcRow = [&](int32_t row, uint32_t* buf) -> const uint32_t* {
    if (snapshot) return reinterpret_cast<const uint32_t*>(snapshot->ScanLine(row));
    ReadRow(*src, sy0 + row, sx0, n, buf, true);
    return buf;
  };
  std::vector<uint32_t> sbuf(n), dbuf(n), pbuf;
  const TBitmap* pat = FBrush.Bitmap();
  const bool patBitmap = usePat && pat && !pat->Empty();
  const uint32_t patColor = NativeOf(FBrush.Color());
  if (patBitmap) pbuf.resize(n);
  const bool dst32 = FTarget->PixelFormat() == pf32bit;
  for (int32_t row = 0; row < d.Height(); ++row) {
    const int32_t dy = d.Top + row;
    if (idx == 0xCC && !keyed && !snapshot && dst32 && src->PixelFormat() == pf32bit) {
      std::memcpy(reinterpret_cast<uint32_t*>(FTarget->ScanLine(dy)) + d.Left,
                  reinterpret_cast<const uint32_t*>(src->ScanLine(sy0 + row)) + sx0, size_t(n) * 4);
      continue;
    }
    const uint32_t* s = useSrc ? srcRow(row, sbuf.data()) : nullptr;
    if (idx == 0xCC && !keyed) {  // plain copy
      WriteRow(*FTarget, dy, d.Left, n, s);
      continue;
    }
    uint32_t* dst =
        dst32 ? reinterpret_cast<uint32_t*>(FTarget->ScanLine(dy)) + d.Left : dbuf.data();
    if (!dst32) ReadRow(*FTarget, dy, d.Left, n, dbuf.data(), false);
    if (patBitmap)
      for (int32_t i = 0; i < n; ++i)
        pbuf[i] = raster::Read(*pat, (d.Left + i) % pat->Width(), dy % pat->Height());
    const uint32_t* pp = patBitmap ? pbuf.data() : nullptr;
    // One loop per common operation so that each inlines; the rest use the table.
    auto apply = [&](auto op) {
      for (int32_t i = 0; i < n; ++i)
        dst[i] = op(pp ? pp[i] : patColor, s ? s[i] : 0, dst[i]) & 0xFFFFFF;
    };
    if (keyed) {
      for (int32_t i = 0; i < n; ++i)
        if (s[i] != key) dst[i] = s[i];
    } else {
      switch (idx) {
        case 0x66:
          apply([](uint32_t, uint32_t sv, uint32_t dv) { return sv ^ dv; });
          break;
        case 0x88:
          apply([](uint32_t, uint32_t sv, uint32_t dv) { return sv & dv; });
          break;
        case 0xEE:
          apply([](uint32_t, uint32_t sv, uint32_t dv) { return sv | dv; });
          break;
        case 0xF0:
          apply([](uint32_t pv, uint32_t, uint32_t) { return pv; });
          break;
        case 0xE2:  // DSPDxax: pattern where the source is white, else the destination
          apply([](uint32_t pv, uint32_t sv, uint32_t dv) { return (sv & pv) | (~sv & dv); });
          break;
        default:
          apply([idx](uint32_t pv, uint32_t sv, uint32_t dv) { return Rop3(idx, pv, sv, dv); });
      }
    }
    if (!dst32) WriteRow(*FTarget, dy, d.Left, n, dbuf.data());
  }
}

void TCanvas::BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const TCanvas* src, int32_t sx,
                     int32_t sy, uint32_t rop) {
  const TBitmap* sb = src ? src->Target() : nullptr;
  const TPoint so = src ? src->Origin() : TPoint{};
  Blit(x + FOrigin.X, y + FOrigin.Y, w, h, sb, sx + so.X, sy + so.Y, rop, false, 0);
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap* b) {
  if (!b || b->Empty()) return;
  const bool keyed = b->Transparent();
  const uint32_t key = keyed ? NativeOf(b->TransparentColor()) : 0;
  Blit(x + FOrigin.X, y + FOrigin.Y, b->Width(), b->Height(), b, 0, 0, SRCCOPY, keyed, key);
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap* b) {
  if (!b || b->Empty() || !FTarget) return;
  if (r.Width() == b->Width() && r.Height() == b->Height()) {
    Draw(r.Left, r.Top, b);
    return;
  }
  if (r.IsEmpty()) return;
  const TRect dev = r.Offset(FOrigin.X, FOrigin.Y);
  const TRect d = IntersectRect(dev, DeviceClip());
  if (d.IsEmpty()) return;
  const bool keyed = b->Transparent();
  const uint32_t key = keyed ? NativeOf(b->TransparentColor()) : 0;
  for (int32_t y = d.Top; y < d.Bottom; ++y) {
    const int32_t syy = int32_t(int64_t(y - dev.Top) * b->Height() / dev.Height());
    for (int32_t x = d.Left; x < d.Right; ++x) {
      const int32_t sxx = int32_t(int64_t(x - dev.Left) * b->Width() / dev.Width());
      const uint32_t v = raster::Read(*b, sxx, syy);
      if (!keyed || v != key) raster::Write(*FTarget, x, y, v);
    }
  }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* src, const TRect& source) {
  if (!src || !src->Target() || !FTarget) return;
  if (dest.Width() == source.Width() && dest.Height() == source.Height()) {
    BitBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top, SRCCOPY);
    return;
  }
  if (dest.IsEmpty() || source.IsEmpty()) return;
  const TBitmap* sb = src->Target();
  const TRect sdev = source.Offset(src->Origin().X, src->Origin().Y);
  const TRect dev = dest.Offset(FOrigin.X, FOrigin.Y);
  const TRect d = IntersectRect(dev, DeviceClip());
  if (d.IsEmpty()) return;
  std::unique_ptr<TBitmap> copy;
  if (sb == FTarget) {
    copy = std::make_unique<TBitmap>();
    copy->Assign(sb);
    sb = copy.get();
  }
  for (int32_t y = d.Top; y < d.Bottom; ++y) {
    const int32_t syy = sdev.Top + int32_t(int64_t(y - dev.Top) * sdev.Height() / dev.Height());
    if (syy < 0 || syy >= sb->Height()) continue;
    for (int32_t x = d.Left; x < d.Right; ++x) {
      const int32_t sxx = sdev.Left + int32_t(int64_t(x - dev.Left) * sdev.Width() / dev.Width());
      if (sxx < 0 || sxx >= sb->Width()) continue;
      raster::Write(*FTarget, x, y, raster::Read(*sb, sxx, syy));
    }
  }
}

// ---------------------------------------------------------------- edges and frames

namespace {
// System colour indexes of the classic edges, as the platform's tables: by the edge
// bits (outer 0x3, inner 0xC), the top-left and bottom-right colours of the outer
// and inner lines; -1: not drawn.
constexpr int COLOR_3DLIGHT = 22, COLOR_3DDKSHADOW = 21, COLOR_BTNSHADOW = 16,
              COLOR_BTNHIGHLIGHT = 20;
constexpr int kLTInner[16] = {-1,
                              -1,
                              -1,
                              -1,
                              -1,
                              COLOR_BTNHIGHLIGHT,
                              COLOR_BTNHIGHLIGHT,
                              -1,
                              -1,
                              COLOR_3DDKSHADOW,
                              COLOR_3DDKSHADOW,
                              -1,
                              -1,
                              -1,
                              -1,
                              -1};
constexpr int kLTOuter[16] = {-1,
                              COLOR_3DLIGHT,
                              COLOR_BTNSHADOW,
                              -1,
                              COLOR_BTNHIGHLIGHT,
                              COLOR_3DLIGHT,
                              COLOR_BTNSHADOW,
                              -1,
                              COLOR_3DDKSHADOW,
                              COLOR_3DLIGHT,
                              COLOR_BTNSHADOW,
                              -1,
                              -1,
                              COLOR_3DLIGHT,
                              COLOR_BTNSHADOW,
                              -1};
constexpr int kRBInner[16] = {
    -1, -1, -1, -1, -1, COLOR_BTNSHADOW, COLOR_BTNSHADOW, -1, -1, COLOR_3DLIGHT, COLOR_3DLIGHT,
    -1, -1, -1, -1, -1};
constexpr int kRBOuter[16] = {-1,
                              COLOR_3DDKSHADOW,
                              COLOR_BTNHIGHLIGHT,
                              -1,
                              COLOR_BTNSHADOW,
                              COLOR_3DDKSHADOW,
                              COLOR_BTNHIGHLIGHT,
                              -1,
                              COLOR_3DLIGHT,
                              COLOR_3DDKSHADOW,
                              COLOR_BTNHIGHLIGHT,
                              -1,
                              -1,
                              COLOR_3DDKSHADOW,
                              COLOR_BTNHIGHLIGHT,
                              -1};
// "Soft" variants (push buttons): the outer top-left line is the brightest.
constexpr int kLTInnerSoft[16] = {
    -1, -1, -1, -1, -1, COLOR_3DLIGHT, COLOR_3DLIGHT, -1, -1, COLOR_BTNSHADOW, COLOR_BTNSHADOW,
    -1, -1, -1, -1, -1};
constexpr int kLTOuterSoft[16] = {-1,
                                  COLOR_BTNHIGHLIGHT,
                                  COLOR_3DDKSHADOW,
                                  -1,
                                  COLOR_3DLIGHT,
                                  COLOR_BTNHIGHLIGHT,
                                  COLOR_3DDKSHADOW,
                                  -1,
                                  COLOR_BTNSHADOW,
                                  COLOR_BTNHIGHLIGHT,
                                  COLOR_3DDKSHADOW,
                                  -1,
                                  -1,
                                  COLOR_BTNHIGHLIGHT,
                                  COLOR_3DDKSHADOW,
                                  -1};
constexpr uint32_t kSoft = 0x1000;  // BF_SOFT

// One-pixel sides of r in a colour per side pair; device coordinates, clipped here.
void EdgeLines(TBitmap& b, const TRect& clip, const TRect& r, uint32_t flags, int lt, int rb) {
  auto fill = [&](TRect s, int color) {
    if (color < 0) return;
    const TRect d = IntersectRect(s, clip);
    for (int32_t y = d.Top; y < d.Bottom; ++y)
      Span(b, y, d.Left, d.Right, NativeOf(SystemColor(color)), pmCopy);
  };
  // Top-left first; bottom-right last so it owns the top-right and bottom-left corners.
  if (flags & BF_TOP) fill({r.Left, r.Top, r.Right, r.Top + 1}, lt);
  if (flags & BF_LEFT) fill({r.Left, r.Top, r.Left + 1, r.Bottom}, lt);
  if (flags & BF_BOTTOM) fill({r.Left, r.Bottom - 1, r.Right, r.Bottom}, rb);
  if (flags & BF_RIGHT) fill({r.Right - 1, r.Top, r.Right, r.Bottom}, rb);
}
}  // namespace

void TCanvas::DrawEdge(TRect& r, uint32_t edge, uint32_t flags) {
  if (!FTarget || r.IsEmpty()) return;
  const TRect clip = DeviceClip();
  TRect dr = r.Offset(FOrigin.X, FOrigin.Y);
  const int i = int(edge & 0xF);
  int ltOuter, rbOuter, ltInner, rbInner;
  if (flags & BF_FLAT) {
    ltOuter = rbOuter = COLOR_BTNSHADOW;
    ltInner = rbInner = (i & 0xC) ? 15 : -1;  // button face
    if (!(i & 0x3)) ltOuter = rbOuter = -1;
  } else {
    const bool soft = flags & kSoft;
    ltOuter = soft ? kLTOuterSoft[i] : kLTOuter[i];
    ltInner = soft ? kLTInnerSoft[i] : kLTInner[i];
    rbOuter = kRBOuter[i];
    rbInner = kRBInner[i];
  }
  if (ltOuter >= 0 || rbOuter >= 0) {
    EdgeLines(*FTarget, clip, dr, flags, ltOuter, rbOuter);
  }
  // The inner line sits one pixel inside on every side drawn.
  auto shrink = [&](TRect& x) {
    if (flags & BF_LEFT) ++x.Left;
    if (flags & BF_TOP) ++x.Top;
    if (flags & BF_RIGHT) --x.Right;
    if (flags & BF_BOTTOM) --x.Bottom;
  };
  if (ltOuter >= 0 || rbOuter >= 0) shrink(dr);
  if (ltInner >= 0 || rbInner >= 0) {
    if (!dr.IsEmpty()) EdgeLines(*FTarget, clip, dr, flags, ltInner, rbInner);
    shrink(dr);
  }
  if ((flags & BF_MIDDLE) && !dr.IsEmpty()) {
    const TRect d = IntersectRect(dr, clip);
    for (int32_t y = d.Top; y < d.Bottom; ++y)
      Span(*FTarget, y, d.Left, d.Right, NativeOf(clBtnFace), pmCopy);
  }
}

void TCanvas::DrawFrameControl(TRect& r, uint32_t type, uint32_t state) {
  if (type != DFC_BUTTON || !(state & DFCS_BUTTONPUSH)) return;
  TRect face = r;
  const uint32_t edge = (state & (DFCS_PUSHED | DFCS_FLAT)) ? EDGE_SUNKEN : EDGE_RAISED;
  DrawEdge(face, edge, (state & DFCS_FLAT) | BF_MIDDLE | BF_RECT | kSoft);
  if (state & DFCS_ADJUSTRECT) r = r.Inflate(-2, -2);
}
