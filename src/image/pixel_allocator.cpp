#include "pixel_allocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tessarin {
namespace {

#ifdef __linux__
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
#endif

}  // namespace

void* AllocatePixels(std::size_t bytes) {
#ifdef __linux__
  if (bytes >= kHugePage) {
    // Mapped one huge page longer, then trimmed to a huge-page boundary at both ends.
    const std::size_t length = RoundUp(bytes);
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t tail = aligned + length;
    const std::uintptr_t end = start + length + kHugePage;
    if (end > tail) munmap(reinterpret_cast<void*>(tail), end - tail);
    // Only advice: without huge pages the buffer works all the same. A tail shorter than a
    // huge page keeps small pages, or touching its first byte would bring in 2 MiB.
    madvise(reinterpret_cast<void*>(aligned), bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
  }
#endif
  void* pixels = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (pixels == nullptr) throw std::bad_alloc();
  return pixels;
}

void FreePixels(void* pixels, std::size_t bytes) noexcept {
#ifdef __linux__
  if (bytes >= kHugePage) {
    munmap(pixels, RoundUp(bytes));
    return;
  }
#endif
  std::free(pixels);
}

}  // namespace tessarin
