// Pixel memory of a bitmap: a bottom-up device-independent bitmap (rows padded to
// four bytes, stride * height bytes, zero-filled).
//
// On Windows 32-bit pixel memory is a DIB section selected into a memory device
// context, so GDI and the visual styles can draw into the same pixels; other
// formats and other systems use plain memory and have no device context. The owner
// frees the section, the context and the memory together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class PixelMemory {
 public:
  virtual ~PixelMemory() = default;
  virtual uint8_t* Bits() = 0;
  // An HDC with the pixels selected (Windows, 32 bits); nullptr otherwise.
  virtual void* DeviceContext() = 0;
  // Waits for drawing queued on the device context to land in the pixels.
  virtual void Flush() {}
};

// Throws std::bad_alloc when the memory cannot be had.
std::unique_ptr<PixelMemory> AllocatePixelMemory(int32_t width, int32_t height,
                                                 int32_t bitsPerPixel, size_t bytes);
// Plain zero-filled memory without a device context (every system).
std::unique_ptr<PixelMemory> AllocateHeapPixels(size_t bytes);

}  // namespace platform
