#include "platform/PixelMemory.h"

namespace platform {

// No device contexts here: every bitmap is plain memory.
std::unique_ptr<PixelMemory> AllocatePixelMemory(int32_t, int32_t, int32_t, size_t bytes) {
  return AllocateHeapPixels(bytes);
}

}  // namespace platform
