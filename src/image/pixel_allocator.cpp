#include "pixel_allocator.h"

#include <cstdlib>
#include <new>

namespace tessarin {

void* AllocatePixels(std::size_t bytes) {
  void* pixels = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (pixels == nullptr) throw std::bad_alloc();
  return pixels;
}

void FreePixels(void* pixels, std::size_t) noexcept {
  std::free(pixels);
}

}  // namespace tessarin
