// GDI font engine (see platform/Font.h): the real system fonts, rendered without
// anti-aliasing into a small DIB section one glyph at a time.
#include "platform/Font.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

class GdiFace final : public FontFace {
 public:
  explicit GdiFace(const FontRequest& request) {
    std::u16string name = request.name.substr(0, LF_FACESIZE - 1);
    FFont = CreateFontW(request.height, 0, 0, 0, request.bold ? FW_BOLD : FW_NORMAL, request.italic, FALSE,
                        FALSE, request.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        reinterpret_cast<const wchar_t*>(name.c_str()));
    FDC = CreateCompatibleDC(nullptr);
    if (!FFont || !FDC) throw std::runtime_error("cannot create a GDI font");
    FOldFont = SelectObject(FDC, FFont);
    TEXTMETRICW tm{};
    GetTextMetricsW(FDC, &tm);
    FMetrics.height = tm.tmHeight;
    FMetrics.ascent = tm.tmAscent;
    FMetrics.descent = tm.tmDescent;
    FMetrics.internalLeading = tm.tmInternalLeading;
    FMetrics.externalLeading = tm.tmExternalLeading;
    FMetrics.aveCharWidth = tm.tmAveCharWidth;
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(FDC, LF_FACESIZE, face);
    FFamily.assign(reinterpret_cast<const char16_t*>(face));
    // Room for overhangs (italic, bold) on both sides of the widest character.
    FPad = std::max<int32_t>(2, tm.tmOverhang + tm.tmHeight / 2);
    FCellW = tm.tmMaxCharWidth + 2 * FPad;
    FCellH = std::max<int32_t>(1, tm.tmHeight);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = FCellW;
    bi.bmiHeader.biHeight = -FCellH;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FCell = CreateDIBSection(FDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!FCell || !bits) throw std::runtime_error("cannot create a glyph bitmap");
    FBits = static_cast<uint32_t*>(bits);
    FOldBitmap = SelectObject(FDC, FCell);
    SetTextColor(FDC, RGB(0, 0, 0));
    SetBkMode(FDC, TRANSPARENT);
    SetTextAlign(FDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  }
  ~GdiFace() override {
    SelectObject(FDC, FOldBitmap);
    SelectObject(FDC, FOldFont);
    DeleteObject(FCell);
    DeleteObject(FFont);
    DeleteDC(FDC);
  }

  const FontMetrics& Metrics() const override { return FMetrics; }
  std::u16string FamilyName() const override { return FFamily; }


 private:
  Glyph Render(char16_t ch) override {
    Glyph g;
    const wchar_t wc = static_cast<wchar_t>(ch);
    SIZE sz{};
    GetTextExtentPoint32W(FDC, &wc, 1, &sz);
    g.advance = sz.cx;
    PatBlt(FDC, 0, 0, FCellW, FCellH, WHITENESS);
    TextOutW(FDC, FPad, 0, &wc, 1);
    GdiFlush();
    int32_t l = FCellW, t = FCellH, r = 0, b = 0;
    for (int32_t y = 0; y < FCellH; ++y)
      for (int32_t x = 0; x < FCellW; ++x)
        if ((FBits[size_t(y) * FCellW + x] & 0xFFFFFF) != 0xFFFFFF) {
          l = std::min(l, x);
          t = std::min(t, y);
          r = std::max(r, x + 1);
          b = std::max(b, y + 1);
        }
    if (r <= l) return g;
    g.left = l - FPad;
    g.top = t;
    g.w = r - l;
    g.h = b - t;
    g.mask.resize(size_t(g.w) * g.h);
    for (int32_t y = 0; y < g.h; ++y)
      for (int32_t x = 0; x < g.w; ++x)
        g.mask[size_t(y) * g.w + x] =
            (FBits[size_t(t + y) * FCellW + l + x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    return g;
  }

  HFONT FFont = nullptr;
  HDC FDC = nullptr;
  HBITMAP FCell = nullptr;
  HGDIOBJ FOldFont = nullptr, FOldBitmap = nullptr;
  uint32_t* FBits = nullptr;
  int32_t FPad = 2, FCellW = 1, FCellH = 1;
  FontMetrics FMetrics;
  std::u16string FFamily;
};

}  // namespace

FontFace* OpenFontFace(const FontRequest& request) {
  // Faces live as long as the process (never destroyed at exit).
  static auto* cache = new std::vector<std::pair<FontRequest, GdiFace*>>;
  for (auto& [k, face] : *cache)
    if (k == request) return face;
  cache->emplace_back(request, new GdiFace(request));
  return cache->back().second;
}

}  // namespace platform
