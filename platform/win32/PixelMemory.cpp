#include "platform/PixelMemory.h"

#include <windows.h>

#include <new>

namespace platform {

namespace {

// A bottom-up 32-bit DIB section selected into its own memory DC.
class DibSection final : public PixelMemory {
 public:
  DibSection(int32_t width, int32_t height) {
    FDC = CreateCompatibleDC(nullptr);
    if (!FDC) throw std::bad_alloc();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // positive: bottom-up, as TBitmap stores rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap = CreateDIBSection(FDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!FBitmap || !bits) {
      DeleteDC(FDC);
      throw std::bad_alloc();
    }
    FBits = static_cast<uint8_t*>(bits);
    FOld = SelectObject(FDC, FBitmap);
  }
  ~DibSection() override {
    SelectObject(FDC, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  uint8_t* Bits() override { return FBits; }
  void* DeviceContext() override { return FDC; }
  void Flush() override { GdiFlush(); }

 private:
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  uint8_t* FBits = nullptr;
};

}  // namespace

std::unique_ptr<PixelMemory> AllocatePixelMemory(int32_t width, int32_t height,
                                                 int32_t bitsPerPixel, size_t bytes) {
  // DIB sections are zero-filled, as the heap memory is.
  if (bitsPerPixel == 32 && width > 0 && height > 0)
    return std::make_unique<DibSection>(width, height);
  return AllocateHeapPixels(bytes);
}

}  // namespace platform
