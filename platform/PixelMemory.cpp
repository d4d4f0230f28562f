#include "platform/PixelMemory.h"

#include <cstdlib>
#include <new>

namespace platform {

namespace {
class HeapPixels final : public PixelMemory {
 public:
  explicit HeapPixels(size_t bytes)
      : FBits(static_cast<uint8_t*>(std::calloc(bytes ? bytes : 1, 1))) {
    if (!FBits) throw std::bad_alloc();
  }
  ~HeapPixels() override { std::free(FBits); }
  uint8_t* Bits() override { return FBits; }
  void* DeviceContext() override { return nullptr; }

 private:
  uint8_t* FBits;
};
}  // namespace

std::unique_ptr<PixelMemory> AllocateHeapPixels(size_t bytes) {
  return std::make_unique<HeapPixels>(bytes);
}

}  // namespace platform
