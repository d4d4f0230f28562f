// Fonts, pens, brushes, bitmaps and the canvas: a software raster that behaves the
// same on every system, so pixel tests written on Linux hold on Windows.
//
// Coordinates are pixels; rectangles exclude their right column and bottom row.
// Every canvas operation translates by the canvas origin, clips to the canvas clip
// rectangle (itself inside the bitmap) and returns early on an empty result.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Types.h"

namespace platform {
class FontFace;
}

// ---------------------------------------------------------------- graphics objects

class TGraphicsObject : public TObject {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;  // set of TFontStyle bits
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t RUSSIAN_CHARSET = 204;

class TFont : public TGraphicsObject {
 public:
  TFont();  // default charset, clWindowText, height -11, "MS Sans Serif", no style
  void Assign(const TFont& src);  // copies every attribute, one change notification

  uint8_t Charset() const { return FCharset; }
  void SetCharset(uint8_t v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  // Pixels; negative: character height without internal leading (the usual form).
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t v);
  // Points at 96 pixels per inch, derived from Height.
  int32_t Size() const;
  void SetSize(int32_t points);
  const std::string& Name() const { return FName; }
  void SetName(const std::string& v);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles v);

  bool operator==(const TFont& o) const;

 private:
  uint8_t FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  int32_t FHeight = -11;
  std::string FName = "MS Sans Serif";
  TFontStyles FStyle = 0;
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TPenMode : uint8_t { pmCopy, pmXor, pmNot };

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t v);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode v);

 private:
  TColor FColor = clBlack;
  int32_t FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle : uint8_t { bsSolid, bsClear };

class TBitmap;
class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle v);
  // An 8x8 pattern brush (checkered fills); nullptr for a plain colour.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* v);

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

// ---------------------------------------------------------------- bitmaps

enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

class TCanvas;

// A device-independent bitmap. Rows are stored bottom-up and padded to 4 bytes, as
// in the standard file format, so ScanLine(y) gives row y (0 = top) in place.
// 32-bit pixels are B, G, R, X bytes; 24-bit B, G, R; 4-bit palette indexes, high
// nibble first. pf1bit is a mask (1 = white). New pixels are white. ScanLine of a
// row outside the bitmap raises EInvalidGraphic. On Windows 32-bit pixels live in a
// DIB section (see NativeDC).
class TBitmap : public TGraphicsObject {
 public:
  TBitmap();
  TBitmap(int32_t width, int32_t height, TPixelFormat pf = pf32bit);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  void Assign(const TBitmap* src);  // deep copy (nullptr empties); notifies

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetWidth(int32_t w);
  void SetHeight(int32_t h);
  void SetSize(int32_t w, int32_t h);
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat pf);  // converts the pixels
  int32_t Stride() const { return FStride; }

  uint8_t* ScanLine(int32_t row);
  const uint8_t* ScanLine(int32_t row) const;

  // Palette of 4-bit (16) and 1-bit (2) bitmaps, as colours.
  const std::vector<TColor>& Palette() const { return FPalette; }
  void SetPalette(const std::vector<TColor>& p);

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  // clDefault means: the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor v);

  // Colour of one pixel (0x00BBGGRR), or clNone outside the bitmap.
  TColor GetPixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, TColor c);

  // Loads a bitmap file ("BM" header) or a bare info header + bits (the resource
  // form). Supports uncompressed 1, 4, 8, 24 and 32 bits per pixel, bottom-up or
  // top-down. Raises EInvalidGraphic with a clear message otherwise.
  void LoadFromBytes(const uint8_t* data, size_t size);
  std::vector<uint8_t> SaveToBytes() const;  // a complete bitmap file

  TCanvas* Canvas();

  // The platform's handle for drawing into the pixels directly (an HDC of a DIB
  // section on Windows for 32-bit bitmaps; nullptr elsewhere).
  void* NativeDC();

 private:
  void Allocate(int32_t w, int32_t h, TPixelFormat pf, bool keep);
  struct Storage;
  std::unique_ptr<Storage> FStorage;
  int32_t FWidth = 0, FHeight = 0, FStride = 0;
  TPixelFormat FPixelFormat = pf24bit;
  std::vector<TColor> FPalette;
  bool FTransparent = false;
  TColor FTransparentColor = clDefault;
  std::unique_ptr<TCanvas> FCanvas;
};

// ---------------------------------------------------------------- text drawing flags

constexpr uint32_t DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                   DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                   DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
                   DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000, DT_RTLREADING = 0x20000;

constexpr uint32_t BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4,
                   BDR_SUNKENINNER = 0x8, EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA;
constexpr uint32_t BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF,
                   BF_MIDDLE = 0x800, BF_FLAT = 0x4000;
constexpr uint32_t DFC_BUTTON = 4, DFCS_BUTTONPUSH = 0x10, DFCS_ADJUSTRECT = 0x2000,
                   DFCS_PUSHED = 0x200, DFCS_FLAT = 0x4000;

constexpr uint32_t SRCCOPY = 0x00CC0020, SRCINVERT = 0x00660046, SRCAND = 0x008800C6,
                   SRCPAINT = 0x00EE0086, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
                   PATCOPY = 0x00F00021, ROP_DSPDXAX = 0x00E20746;

// ---------------------------------------------------------------- canvas

class TCanvas : public TObject {
 public:
  explicit TCanvas(TBitmap* target = nullptr);
  ~TCanvas() override;

  // The surface drawn on; a control's canvas points at its form's back buffer.
  TBitmap* Target() const { return FTarget; }
  void SetTarget(TBitmap* b);
  // Logical (0,0) lies at Origin in the target; Clip is in target coordinates.
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(TPoint p) { FOrigin = p; }
  TRect ClipRect() const;  // in logical coordinates
  void SetClip(const TRect& target_rect);
  void ResetClip();  // the whole target

  TFont* Font() { return &FFont; }
  void SetFont(const TFont& f) { FFont.Assign(f); }
  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint p) { FPenPos = p; }

  void FillRect(const TRect& r);                               // brush
  void FrameRect(const TRect& r);                              // one pixel, brush colour
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b);  // pen outline, brush inside
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);  // end point excluded
  void Polygon(const std::vector<TPoint>& pts);
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b);
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
           int32_t y2);  // counter-clockwise from the radial through (x1,y1) to (x2,y2)

  TColor Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, TColor c);

  // Honours the bitmap's transparent colour when it is marked transparent.
  void Draw(int32_t x, int32_t y, const TBitmap* b);
  void StretchDraw(const TRect& r, const TBitmap* b);
  void CopyRect(const TRect& dest, TCanvas* src, const TRect& source);
  // GDI-style block transfer; rop is any ternary raster operation. A pf1bit source
  // maps its 0 bits to black and 1 bits to white.
  void BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const TCanvas* src, int32_t sx,
              int32_t sy, uint32_t rop);

  void DrawEdge(TRect& r, uint32_t edge, uint32_t flags);
  void DrawFrameControl(TRect& r, uint32_t type, uint32_t state);

  // Text: 8-bit texts are code page 1251. As on the platform, a solid brush paints
  // the text's cell box first (opaque mode); bsClear draws the glyphs only.
  // TextOut moves PenPos to the end of the text.
  int32_t TextWidth(const std::string& text);
  int32_t TextHeight(const std::string& text);
  TPoint TextExtent(const std::string& text);
  void TextOut(int32_t x, int32_t y, const std::string& text);
  void TextOutW(int32_t x, int32_t y, const std::u16string& text);
  // Returns the height of the text drawn; with DT_CALCRECT only measures into r.
  int32_t DrawText(const std::string& text, TRect& r, uint32_t flags);
  int32_t DrawTextW(const std::u16string& text, TRect& r, uint32_t flags);

 private:
  TBitmap* FTarget = nullptr;
  TPoint FOrigin;
  TRect FClip;
  bool FClipSet = false;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  TPoint FPenPos;
  platform::FontFace* FFace = nullptr;  // font engine face of FFont, dropped on change

  platform::FontFace* Face();
  TRect DeviceClip() const;  // FClip within the target, in target coordinates
  void PenLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);  // logical; end excluded
  void PenDot(int32_t dx, int32_t dy);                           // device coordinates
  void BrushSpan(int32_t y, int32_t x0, int32_t x1);             // device, clipped already
  void EllipticShape(int32_t l, int32_t t, int32_t r, int32_t b, const double* sector);
  void Blit(int32_t x, int32_t y, int32_t w, int32_t h, const TBitmap* src, int32_t sx, int32_t sy,
            uint32_t rop, bool keyed, uint32_t key);  // device coordinates
  int32_t DrawTextImpl(std::u16string text, TRect& r, uint32_t flags);
  int32_t FPenStep = 0;  // position in the dash pattern of the current line
};

// Screen-independent measuring canvas (a 1x1 bitmap), for controls without a surface.
TCanvas* ScreenCanvas();

// Code page 1251 <-> UTF-16.
std::u16string AnsiToWide(std::string_view s);
std::string WideToAnsi(std::u16string_view s);
// UTF-8 source literal -> code page 1251 (how Russian texts are written in the code).
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);
