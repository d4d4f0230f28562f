// Bitmap formats, loading and saving.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/Graphics.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// A bitmap file of w x h (negative h: top-down) with the given rows as stored.
std::vector<uint8_t> BmpFile(int32_t w, int32_t h, int bpp, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& bits, uint32_t compression = 0,
                             bool withFileHeader = true) {
  std::vector<uint8_t> v;
  const uint32_t off = 14 + 40 + uint32_t(palette.size()) * 4;
  if (withFileHeader) {
    v.push_back('B');
    v.push_back('M');
    Put32(v, off + uint32_t(bits.size()));
    Put32(v, 0);
    Put32(v, off);
  }
  Put32(v, 40);
  Put32(v, uint32_t(w));
  Put32(v, uint32_t(h));
  Put16(v, 1);
  Put16(v, uint32_t(bpp));
  Put32(v, compression);
  Put32(v, uint32_t(bits.size()));
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, uint32_t(palette.size()));
  Put32(v, 0);
  for (uint32_t c : palette) Put32(v, c);  // B, G, R, 0
  v.insert(v.end(), bits.begin(), bits.end());
  return v;
}

TEST(Bitmap, RowsAreBottomUpAndPadded) {
  TBitmap b(3, 2, pf24bit);
  EXPECT_EQ(b.Stride(), 12);
  EXPECT_EQ(b.ScanLine(0) - b.ScanLine(1), 12);  // row 0 is the last in memory
  b.SetPixel(2, 1, RGB(1, 2, 3));
  EXPECT_EQ(b.ScanLine(1)[6], 3);  // B, G, R
  EXPECT_EQ(b.ScanLine(1)[8], 1);
  TBitmap m(9, 1, pf1bit);
  EXPECT_EQ(m.Stride(), 4);
  EXPECT_EQ(b.GetPixel(0, 0), clWhite);  // new pixels are white
  EXPECT_EQ(b.GetPixel(3, 0), clNone);
  EXPECT_THROW(b.ScanLine(2), EInvalidGraphic);
}

TEST(Bitmap, LoadsEveryUncompressedDepth) {
  const std::vector<uint32_t> pal4 = {0x000000, 0x0000FF /* blue */, 0x00FF00, 0xFF0000 /* red */};
  struct {
    const char* name;
    std::vector<uint8_t> file;
    TPixelFormat pf;
  } cases[] = {
      // 2 x 2: bottom row first (blue, red), then the top row (green, black).
      {"4 bpp", BmpFile(2, 2, 4, pal4, {0x13, 0, 0, 0, 0x20, 0, 0, 0}), pf4bit},
      {"4 bpp top-down", BmpFile(2, -2, 4, pal4, {0x20, 0, 0, 0, 0x13, 0, 0, 0}), pf4bit},
      {"24 bpp", BmpFile(2, 2, 24, {}, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0}),
       pf24bit},
      {"24 bpp top-down",
       BmpFile(2, -2, 24, {}, {0, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0}), pf24bit},
      {"32 bpp", BmpFile(2, 2, 32, {}, {0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0}),
       pf32bit},
      {"32 bpp top-down",
       BmpFile(2, -2, 32, {}, {0, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0}), pf32bit},
      {"bare info header",
       BmpFile(2, 2, 32, {}, {0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0}, 0, false),
       pf32bit},
  };
  for (const auto& t : cases) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.LoadFromBytes(t.file.data(), t.file.size());
    EXPECT_EQ(b.PixelFormat(), t.pf) << t.name;
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.GetPixel(0, 1), clBlue) << t.name;
    EXPECT_EQ(b.GetPixel(1, 1), clRed) << t.name;
    EXPECT_EQ(b.GetPixel(0, 0), clLime) << t.name;
    EXPECT_EQ(b.GetPixel(1, 0), clBlack) << t.name;
    EXPECT_EQ(changes, 1);
    // Saving and loading again gives the same pixels.
    const auto saved = b.SaveToBytes();
    TBitmap c;
    c.LoadFromBytes(saved.data(), saved.size());
    EXPECT_EQ(c.PixelFormat(), t.pf);
    EXPECT_EQ(c.GetPixel(1, 1), clRed) << t.name;
    EXPECT_EQ(c.GetPixel(0, 0), clLime) << t.name;
  }
}

TEST(Bitmap, RejectsBadDataWithAClearMessage) {
  const auto good = BmpFile(2, 2, 24, {}, std::vector<uint8_t>(16, 0));
  struct {
    const char* name;
    std::vector<uint8_t> data;
    const char* message;
  } cases[] = {
      {"empty", {}, "truncated"},
      {"pixels cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), "truncated"},
      {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 30), "truncated"},
      {"RLE8", BmpFile(2, 2, 8, std::vector<uint32_t>(256, 0), std::vector<uint8_t>(8, 0), 1),
       "RLE8"},
      {"16 bpp", BmpFile(2, 2, 16, {}, std::vector<uint8_t>(8, 0)), "16 bits per pixel"},
      {"zero width", BmpFile(0, 2, 24, {}, {}), "size"},
      {"huge", BmpFile(100000, 100000, 24, {}, {}), "size"},
  };
  for (const auto& t : cases) {
    TBitmap b;
    try {
      b.LoadFromBytes(t.data.data(), t.data.size());
      ADD_FAILURE() << t.name << ": no exception";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(e.Message().find(t.message), std::string::npos) << t.name << ": " << e.Message();
    }
  }
}

TEST(Bitmap, ConvertsFormatsAndCopiesDeeply) {
  TBitmap a(4, 3, pf32bit);
  a.SetPixel(1, 2, RGB(10, 20, 30));
  a.SetPixel(3, 0, clBlack);
  for (TPixelFormat pf : {pf24bit, pf32bit}) {
    a.SetPixelFormat(pf);
    EXPECT_EQ(a.GetPixel(1, 2), RGB(10, 20, 30));
  }
  a.SetPixelFormat(pf1bit);
  EXPECT_EQ(a.GetPixel(1, 2), clBlack);
  EXPECT_EQ(a.GetPixel(0, 0), clWhite);
  a.SetPixelFormat(pf4bit);
  EXPECT_EQ(a.GetPixel(3, 0), clBlack);
  EXPECT_EQ(a.GetPixel(2, 0), clWhite);

  TBitmap b;
  a.SetTransparent(true);
  b.Assign(&a);
  a.SetPixel(2, 0, clRed);
  EXPECT_EQ(b.GetPixel(2, 0), clWhite);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.PixelFormat(), pf4bit);

  // Resizing keeps the top-left pixels; new ones are white.
  TBitmap c(2, 2, pf24bit);
  c.SetPixel(0, 0, clRed);
  c.SetSize(3, 3);
  EXPECT_EQ(c.GetPixel(0, 0), clRed);
  EXPECT_EQ(c.GetPixel(2, 2), clWhite);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, NativeDeviceContextOnlyOnWindows) {
  TBitmap b(4, 4, pf32bit);
#ifdef _WIN32
  EXPECT_NE(b.NativeDC(), nullptr);
#else
  EXPECT_EQ(b.NativeDC(), nullptr);
#endif
  TBitmap e;
  EXPECT_EQ(e.NativeDC(), nullptr);
}

}  // namespace
